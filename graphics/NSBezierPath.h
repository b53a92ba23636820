#pragma once

#include "CAGGraphicsPath.h"
#include "GraphicsPen.h"

class LinearGradientBrush;

// The model's vector path: an owned CAGGraphicsPath, a current point, and a
// pen (colour, width, dash) that is also the fill colour. It fills and
// strokes itself through CurrentContext(); with no current context those
// calls do nothing.
//
// Coordinates are plain numbers to the path: page units with y down for
// model shapes, or any other space (glyph outlines with y up) when the
// caller transforms the path afterwards.
//
// Curves are stored as curve vertices and flattened when drawn (see
// CAGGraphicsPath for the joining rules); iterate them with vertexCount()
// and vertexAt(). The archive form is the inner path's; the pen is not
// archived. A new path has an opaque white pen of width 1 and no dash.
//
// Reference counted like every model object (a new path starts at 0), but
// also an ordinary copyable value: factories return paths by value.
class NSBezierPath : public CRefCountObject
{
public:
    static constexpr const char* kClassName = "NSBezierPath";

    NSBezierPath();
    // The outline's vertices moved by origin (a glyph placed on the baseline point).
    NSBezierPath(const CAGGraphicsPath& outline, Point origin);
    // Copies path, pen and current point.
    NSBezierPath(const NSBezierPath& other);
    NSBezierPath& operator=(const NSBezierPath& other);
    ~NSBezierPath() override;

    // Path and pen only; the copy has no current point.
    NSBezierPath copyWithoutCurrentPoint() const;

    const char* className() const override { return kClassName; }
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;

    // --- Building -------------------------------------------------------
    void moveTo(Point p);
    void lineTo(Point p);
    // Cubic curve from the current point (the origin when there is none).
    void curveTo(Point end, Point control1, Point control2);
    // Quadratic curve from the current point (the origin when there is none).
    void quadCurveTo(Point end, Point control);
    // Closes the sub-path; the current point does not change.
    void closePath();
    // Ends the drawable part: drawing stops at the stop vertex this appends.
    void startSubpath();
    // Appends the other path's vertices unchanged.
    void appendPath(const NSBezierPath& other);
    // Elliptical arc in r (see CGraphicsPath::AddArc), joined to the path.
    void appendArc(const Rect& r, float startAngle, float sweepAngle);
    void appendRect(const Rect& r);
    void transformBy(const AffineTransform& matrix);
    void removeAllPoints();

    // --- Reading --------------------------------------------------------
    bool isEmpty() const { return m_path.isEmpty(); }
    int vertexCount() const { return m_path.vertexCount(); }
    PathVertex vertexAt(int index) const { return m_path.vertexAt(index); }
    bool hasCurrentPoint() const { return m_hasCurrentPoint; }
    Point currentPoint() const { return m_currentPoint; }
    // Bounds of the point vertices, control points included.
    Rect bounds() const;
    // bounds() united with a 1 x 1 rectangle at every point vertex.
    Rect boundsWithPoints() const;
    // Hit test of the whole-unit cell the point rounds to.
    bool containsPoint(Point p) const;

    const CAGGraphicsPath& path() const { return m_path; }
    CAGGraphicsPath& path() { return m_path; }

    // --- Pen ------------------------------------------------------------
    const GraphicsPen& pen() const { return m_pen; }
    void setPen(const GraphicsPen& pen) { m_pen = pen; }
    PackedColor color() const { return m_pen.color(); }
    void setColor(PackedColor color) { m_pen.setColor(color); }
    float lineWidth() const { return m_pen.width(); }
    void setLineWidth(float width) { m_pen.setWidth(width); }
    void setDash(float dash, float gap) { m_pen.setDash(dash, gap); }
    void clearDash() { m_pen.clearDash(); }

    // --- Drawing into CurrentContext() ----------------------------------
    void stroke() const;
    void fill() const;
    void fillWithGradient(const LinearGradientBrush& brush) const;

    // --- The frame shapes (each closed, default pen) ---------------------
    // L, T, Rt, B are the normalised edges of r; r is the corner radius.
    static NSBezierPath pathWithRect(const Rect& r);
    static NSBezierPath pathWithOval(const Rect& r);
    // Quadratic corners of radius r.
    static NSBezierPath pathWithRoundedCorners(const Rect& r, float radius);
    // Quarter circles of radius r cut into each corner.
    static NSBezierPath pathWithConcaveCorners(const Rect& r, float radius);
    // Each corner cut off straight at r along both edges.
    static NSBezierPath pathWithBevelledCorners(const Rect& r, float radius);
    // Parallelogram leaning right by r.
    static NSBezierPath pathSkewed(const Rect& r, float radius);
    // Each corner moved r along one edge, all in the same turning sense.
    static NSBezierPath pathTwisted(const Rect& r, float radius);
    // A square notch of side r cut from each corner.
    static NSBezierPath pathWithNotchedCorners(const Rect& r, float radius);
    // A sheet with its top-left and bottom-right corners rolled.
    static NSBezierPath pathScroll(const Rect& r, float radius);

private:
    CAGGraphicsPath m_path;
    GraphicsPen m_pen{kOpaqueWhite, 1.0f};
    Point m_currentPoint;
    bool m_hasCurrentPoint = false;
};

// A transformed copy of a path (copy, then transformBy).
NSBezierPath transformedPath(const AffineTransform& matrix, const NSBezierPath& path);
