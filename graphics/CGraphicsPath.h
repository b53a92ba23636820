#pragma once

#include "AffineTransform.h"
#include "CRefCountObject.h"
#include "Geometry.h"

#include <cstdint>

// Vertex commands of a path. A point vertex (move, line, quadratic, cubic)
// carries coordinates; the closing vertex carries (0, 0).
enum PathCommand : std::uint32_t {
    kPathStop = 0,          // ends the path: drawing stops reading here
    kPathMoveTo = 1,        // starts a sub-path
    kPathLineTo = 2,        // straight segment to the vertex
    kPathCurve3 = 3,        // quadratic curve: control vertex, then end vertex
    kPathCurve4 = 4,        // cubic curve: two control vertices, then end vertex
    kPathEndPolyClosed = 0x4F  // closes the current sub-path to its first vertex
};

// A closing vertex has the "end polygon" bits 0x0F set; it may carry the
// close flag 0x40 and the orientation flags 0x10/0x20.
constexpr bool isPathPointCommand(std::uint32_t command) { return command >= kPathMoveTo && command <= kPathCurve4; }
constexpr bool isPathEndPolyCommand(std::uint32_t command) { return (command & 0x0F) == 0x0F; }
constexpr bool isPathClosedEnd(std::uint32_t command) { return (command & 0x40) != 0; }

// One stored vertex: coordinates in double precision and its command.
struct PathVertex
{
    double x = 0.0;
    double y = 0.0;
    std::uint32_t command = kPathStop;

    friend bool operator==(const PathVertex&, const PathVertex&) = default;
};

// The abstract path the drawing context works with. Its only implementation
// is CAGGraphicsPath; the interface exists so that callers that only build
// or query outlines do not depend on the rasteriser.
class CGraphicsPath : public CRefCountObject
{
public:
    ~CGraphicsPath() override = default;

    virtual CGraphicsPath* Clone() const = 0;
    // Filling always uses the non-zero rule; the mode is accepted and ignored.
    virtual void SetFillMode(int mode) = 0;
    // Appends a stop vertex unless the path is empty or already ends with one.
    virtual void StartFigure() = 0;
    // Appends a closing vertex when the last vertex is a point vertex.
    virtual void CloseFigure() = 0;
    virtual void AddMoveTo(Point p) = 0;
    virtual void AddLineTo(Point p) = 0;
    // Cubic curve from start to end; stored as curve vertices, joined to the
    // path (see CAGGraphicsPath) and flattened only when drawn.
    virtual void AddBezier(Point start, Point control1, Point control2, Point end) = 0;
    virtual void AddQuadBezier(Point start, Point control, Point end) = 0;
    // Move to the origin, three lines, close; the stored origin and size are used as given.
    virtual void AddRectangle(const Rect& r) = 0;
    // Elliptical arc inside r, angles in degrees (0 = right, 90 = bottom on a
    // y-down page, positive sweeps turn clockwise), stored as cubic curves.
    virtual void AddArc(const Rect& r, float startAngle, float sweepAngle) = 0;
    // Whether the whole-unit cell the point rounds to has any coverage under
    // the non-zero rule.
    virtual bool IsVisible(Point p) const = 0;
    // The bounds of every point vertex, control points included; the zero
    // rectangle for an empty path.
    virtual Rect GetBounds() const = 0;
    virtual int GetPoints(Point* points, int maxCount) const = 0;
    virtual int SetPoints(const Point* points, int count) = 0;
    virtual int GetPointCount() const = 0;
    // Maps every point vertex by the matrix; closing vertices stay as they are.
    virtual void Transform(const AffineTransform& matrix) = 0;
    // Appends the other path's vertices exactly as they are.
    virtual void AddPath(const CGraphicsPath& other) = 0;

    // Reading the stored vertices, in order.
    virtual int vertexCount() const = 0;
    virtual PathVertex vertexAt(int index) const = 0;
};
