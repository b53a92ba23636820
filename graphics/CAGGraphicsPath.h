#pragma once

#include "CGraphicsPath.h"

#include <agg_path_storage.h>

// The drawing context's path: AGG path storage (vertices of two doubles and a
// command byte, kept in blocks of 256 so appending never moves a vertex).
//
// Curves and arcs are stored as curve vertices (commands 3 and 4) and are
// flattened only when the path is rasterised, at the scale of the transform
// in use, so a shape is equally smooth at every zoom and whatever was drawn
// before it. Hit tests flatten at scale 1.
//
// Joining: a curve or arc added to an empty path, or after a closed end,
// starts a new sub-path with its own move-to. Added after a point vertex, its
// first vertex becomes a line-to (or is dropped when it coincides with the
// last point within 1e-14); added after a stop, its first vertex stays a
// move-to. Every later move-to of the added piece becomes a line-to.
//
// Archive form: vertex count (int32), then per vertex x and y (float64) and
// the command (int32), little-endian. Reading empties the path first and
// refuses truncated data, absurd counts and unknown commands.
class CAGGraphicsPath : public CGraphicsPath
{
public:
    static constexpr const char* kClassName = "CAGGraphicsPath";

    CAGGraphicsPath() = default;
    CAGGraphicsPath(const CAGGraphicsPath& other);
    CAGGraphicsPath& operator=(const CAGGraphicsPath& other);
    ~CAGGraphicsPath() override;

    const char* className() const override { return kClassName; }
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;

    CAGGraphicsPath* Clone() const override;
    void SetFillMode(int mode) override;
    void StartFigure() override;
    void CloseFigure() override;
    void AddMoveTo(Point p) override;
    void AddLineTo(Point p) override;
    void AddBezier(Point start, Point control1, Point control2, Point end) override;
    void AddQuadBezier(Point start, Point control, Point end) override;
    void AddRectangle(const Rect& r) override;
    void AddArc(const Rect& r, float startAngle, float sweepAngle) override;
    bool IsVisible(Point p) const override;
    Rect GetBounds() const override;
    int GetPoints(Point* points, int maxCount) const override;
    int SetPoints(const Point* points, int count) override;
    int GetPointCount() const override;
    void Transform(const AffineTransform& matrix) override;
    void AddPath(const CGraphicsPath& other) override;

    int vertexCount() const override;
    PathVertex vertexAt(int index) const override;

    // Double-precision forms, for callers that build outlines from exact data.
    void addVertex(double x, double y, std::uint32_t command);
    // Appends vertices (the first a move-to) by the joining rules above.
    void joinVertices(const PathVertex* vertices, int count);
    void clear();
    bool isEmpty() const { return m_storage.total_vertices() == 0; }
    // The command of the last vertex, or kPathStop for an empty path.
    std::uint32_t lastCommand() const;
    // Bounds in double precision; false for a path without finite point vertices.
    bool boundsDouble(double& minX, double& minY, double& maxX, double& maxY) const;

    // The raw storage for the rasteriser. Rewinding it is the only mutation
    // allowed through the const form.
    agg::path_storage& storage() const { return m_storage; }

private:
    mutable agg::path_storage m_storage;
};
