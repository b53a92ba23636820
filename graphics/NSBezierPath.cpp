#include "NSBezierPath.h"

#include "CGraphicsInterface.h"
#include "LinearGradientBrush.h"
#include "PathGeometry.h"
#include "SolidBrush.h"

#include <algorithm>

namespace {

Point add(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point sub(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point mul(Point a, float s) { return {a.x * s, a.y * s}; }

struct Edges
{
    float L, T, Rt, B;
    explicit Edges(const Rect& r) : L(r.minX()), T(r.minY()), Rt(r.maxX()), B(r.maxY()) {}
    float mx() const { return (L + Rt) / 2.0f; }
};

NSBezierPath polygon(std::initializer_list<Point> points)
{
    NSBezierPath path;
    bool first = true;
    for (Point p : points) {
        if (first)
            path.moveTo(p);
        else
            path.lineTo(p);
        first = false;
    }
    path.closePath();
    return path;
}

// One rounded corner: from the current point towards corner p, round it with
// radius r and leave the current point on the edge towards next.
void roundCorner(NSBezierPath& path, Point p, Point next, float r)
{
    const Point u1 = normalizeVector(sub(path.currentPoint(), p));
    const Point u2 = normalizeVector(sub(next, p));
    const Point t1 = add(p, mul(u1, r));
    const Point k = add(t1, mul(u2, r));
    const Point w = normalizeVector(sub(p, k));
    const Point q = add(k, mul(w, 1.4142f * r));
    const Point t2 = add(p, mul(u2, r));
    path.lineTo(t1);
    path.quadCurveTo(t2, q);
}

} // namespace

NSBezierPath::NSBezierPath()
{
    m_path.SetFillMode(1);
}

NSBezierPath::NSBezierPath(const CAGGraphicsPath& outline, Point origin)
    : m_path(outline)
{
    m_path.Transform(AffineTransform::translation(origin.x, origin.y));
}

NSBezierPath::NSBezierPath(const NSBezierPath& other)
    : CRefCountObject(other)
    , m_path(other.m_path)
    , m_pen(other.m_pen)
    , m_currentPoint(other.m_currentPoint)
    , m_hasCurrentPoint(other.m_hasCurrentPoint)
{
}

NSBezierPath& NSBezierPath::operator=(const NSBezierPath& other)
{
    if (this != &other) {
        m_path = other.m_path;
        m_pen = other.m_pen;
        m_currentPoint = other.m_currentPoint;
        m_hasCurrentPoint = other.m_hasCurrentPoint;
    }
    return *this;
}

NSBezierPath::~NSBezierPath() = default;

NSBezierPath NSBezierPath::copyWithoutCurrentPoint() const
{
    NSBezierPath copy(*this);
    copy.m_currentPoint = Point();
    copy.m_hasCurrentPoint = false;
    return copy;
}

void NSBezierPath::writeToArchive(ArchiveWriter& archive) const
{
    m_path.writeToArchive(archive);
}

void NSBezierPath::readFromArchive(ArchiveReader& archive)
{
    m_path.readFromArchive(archive);
}

void NSBezierPath::moveTo(Point p)
{
    m_path.AddMoveTo(p);
    m_currentPoint = p;
    m_hasCurrentPoint = true;
}

void NSBezierPath::lineTo(Point p)
{
    m_path.AddLineTo(p);
    m_currentPoint = p;
    m_hasCurrentPoint = true;
}

void NSBezierPath::curveTo(Point end, Point control1, Point control2)
{
    m_path.AddBezier(m_currentPoint, control1, control2, end);
    m_currentPoint = end;
    m_hasCurrentPoint = true;
}

void NSBezierPath::quadCurveTo(Point end, Point control)
{
    m_path.AddQuadBezier(m_currentPoint, control, end);
    m_currentPoint = end;
    m_hasCurrentPoint = true;
}

void NSBezierPath::closePath()
{
    m_path.CloseFigure();
}

void NSBezierPath::startSubpath()
{
    m_path.StartFigure();
}

void NSBezierPath::appendPath(const NSBezierPath& other)
{
    m_path.AddPath(other.m_path);
}

void NSBezierPath::appendArc(const Rect& r, float startAngle, float sweepAngle)
{
    m_path.AddArc(r, startAngle, sweepAngle);
    const PathVertex last = m_path.vertexAt(m_path.vertexCount() - 1);
    if (isPathPointCommand(last.command)) {
        m_currentPoint = {float(last.x), float(last.y)};
        m_hasCurrentPoint = true;
    }
}

void NSBezierPath::appendRect(const Rect& r)
{
    m_path.AddRectangle(r);
    m_currentPoint = r.origin;
    m_hasCurrentPoint = true;
}

void NSBezierPath::transformBy(const AffineTransform& matrix)
{
    m_path.Transform(matrix);
}

void NSBezierPath::removeAllPoints()
{
    m_path.clear();
    m_currentPoint = Point();
    m_hasCurrentPoint = false;
}

Rect NSBezierPath::bounds() const
{
    return m_path.GetBounds();
}

Rect NSBezierPath::boundsWithPoints() const
{
    Rect result = m_path.GetBounds();
    const int count = m_path.vertexCount();
    for (int i = 0; i < count; ++i) {
        const PathVertex v = m_path.vertexAt(i);
        if (isPathPointCommand(v.command))
            result = rectUnion(result, Rect(float(v.x), float(v.y), 1.0f, 1.0f));
    }
    return result;
}

bool NSBezierPath::containsPoint(Point p) const
{
    return m_path.IsVisible(p);
}

void NSBezierPath::stroke() const
{
    if (CGraphicsInterface* context = CurrentContext())
        context->DrawPath(m_pen, m_path);
}

void NSBezierPath::fill() const
{
    if (CGraphicsInterface* context = CurrentContext())
        context->FillPath(SolidBrush(m_pen.color()), m_path);
}

void NSBezierPath::fillWithGradient(const LinearGradientBrush& brush) const
{
    if (CGraphicsInterface* context = CurrentContext())
        context->FillPathGradient(brush, m_path);
}

NSBezierPath NSBezierPath::pathWithRect(const Rect& r)
{
    NSBezierPath path;
    path.appendRect(r);
    return path;
}

NSBezierPath NSBezierPath::pathWithOval(const Rect& r)
{
    NSBezierPath path;
    path.appendArc(standardizedRect(r), 0.0f, 360.0f);
    path.closePath();
    return path;
}

NSBezierPath NSBezierPath::pathWithRoundedCorners(const Rect& r, float radius)
{
    const Edges e(r);
    NSBezierPath path;
    path.moveTo({e.mx(), e.B});
    // The corners go round from bottom-left; each uses the normalised corner,
    // so a rectangle stored with a negative size gets the same shape.
    roundCorner(path, {e.L, e.B}, {e.L, e.T}, radius);
    roundCorner(path, {e.L, e.T}, {e.Rt, e.T}, radius);
    roundCorner(path, {e.Rt, e.T}, {e.Rt, e.B}, radius);
    roundCorner(path, {e.Rt, e.B}, {e.L, e.B}, radius);
    path.closePath();
    return path;
}

NSBezierPath NSBezierPath::pathWithConcaveCorners(const Rect& r, float radius)
{
    const Edges e(r);
    const auto square = [radius](float cx, float cy) {
        return Rect(cx - radius, cy - radius, 2.0f * radius, 2.0f * radius);
    };
    NSBezierPath path;
    path.moveTo({e.mx(), e.B});
    path.appendArc(square(e.Rt, e.B), 180.0f, 90.0f);
    path.appendArc(square(e.Rt, e.T), 90.0f, 90.0f);
    path.appendArc(square(e.L, e.T), 0.0f, 90.0f);
    path.appendArc(square(e.L, e.B), 270.0f, 90.0f);
    path.closePath();
    return path;
}

NSBezierPath NSBezierPath::pathWithBevelledCorners(const Rect& r, float radius)
{
    const Edges e(r);
    const float IL = e.L + radius, IT = e.T + radius, IR = e.Rt - radius, IB = e.B - radius;
    return polygon({{e.mx(), e.T}, {IR, e.T}, {e.Rt, IT}, {e.Rt, IB}, {IR, e.B}, {IL, e.B}, {e.L, IB},
                    {e.L, IT}, {IL, e.T}});
}

NSBezierPath NSBezierPath::pathSkewed(const Rect& r, float radius)
{
    const Edges e(r);
    return polygon({{e.L + radius, e.T}, {e.Rt, e.T}, {e.Rt - radius, e.B}, {e.L, e.B}});
}

NSBezierPath NSBezierPath::pathTwisted(const Rect& r, float radius)
{
    const Edges e(r);
    return polygon({{e.L + radius, e.T}, {e.Rt, e.T + radius}, {e.Rt - radius, e.B}, {e.L, e.B - radius}});
}

NSBezierPath NSBezierPath::pathWithNotchedCorners(const Rect& r, float radius)
{
    const Edges e(r);
    const float IL = e.L + radius, IT = e.T + radius, IR = e.Rt - radius, IB = e.B - radius;
    return polygon({{IL, e.T}, {IR, e.T}, {IR, IT}, {e.Rt, IT}, {e.Rt, IB}, {IR, IB}, {IR, e.B}, {IL, e.B},
                    {IL, IB}, {e.L, IB}, {e.L, IT}, {IL, IT}});
}

NSBezierPath NSBezierPath::pathScroll(const Rect& r, float radius)
{
    const Edges e(r);
    const float h = radius / 2.0f;
    const float SL = e.L + radius, ST = e.T + h, SR = e.Rt - radius, SB = e.B - h;
    NSBezierPath path;

    // The rolled top-left corner: a closed half disc over the top.
    NSBezierPath roll;
    roll.moveTo({SL, ST});
    roll.lineTo({e.L, ST});
    roll.appendArc(Rect(e.L, e.T, radius, radius), 180.0f, 180.0f);
    roll.closePath();
    path.appendPath(roll);

    // The sheet, starting under the roll.
    path.appendArc(Rect(e.L, e.T, radius, radius), 270.0f, 90.0f);
    path.lineTo({SL, SB});
    path.appendArc(Rect(SL, SB - h, radius, radius), 180.0f, -90.0f);
    path.lineTo({SR, e.B});
    path.appendArc(Rect(e.Rt - radius, SB - h, radius, radius), 90.0f, 90.0f);
    path.lineTo({SR, ST});
    path.appendArc(Rect(SR - radius, e.T, radius, radius), 360.0f, -90.0f);
    path.closePath();
    return path;
}

NSBezierPath transformedPath(const AffineTransform& matrix, const NSBezierPath& path)
{
    NSBezierPath copy(path);
    copy.transformBy(matrix);
    return copy;
}
