#include "AffineTransform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

AffineTransform AffineTransform::multiply(const AffineTransform& m, const AffineTransform& n)
{
    // Row vectors: p·m·n, so m acts first.
    return AffineTransform(m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d,
                           m.c * n.a + m.d * n.c, m.c * n.b + m.d * n.d,
                           m.tx * n.a + m.ty * n.c + n.tx, m.tx * n.b + m.ty * n.d + n.ty);
}

AffineTransform AffineTransform::translation(float dx, float dy)
{
    return AffineTransform(1, 0, 0, 1, dx, dy);
}

AffineTransform AffineTransform::scaling(float sx, float sy)
{
    return AffineTransform(sx, 0, 0, sy, 0, 0);
}

AffineTransform AffineTransform::rotation(float degrees)
{
    const double radians = double(degrees) * std::numbers::pi / 180.0;
    const float cosine = float(std::cos(radians));
    const float sine = float(std::sin(radians));
    return AffineTransform(cosine, sine, -sine, cosine, 0, 0);
}

AffineTransform AffineTransform::scaleAbout(Point p, float sx, float sy)
{
    AffineTransform t;
    t.translate(p.x, p.y);
    t.scale(sx, sy);
    t.translate(-p.x, -p.y);
    return t;
}

AffineTransform AffineTransform::rotationAbout(Point p, float degrees)
{
    AffineTransform t;
    t.rotate(degrees, p);
    return t;
}

void AffineTransform::prepend(const AffineTransform& other)
{
    const Status status = m_status;
    *this = multiply(other, *this);
    m_status = status;
}

void AffineTransform::concat(const AffineTransform& other)
{
    const Status status = m_status;
    *this = multiply(*this, other);
    m_status = status;
}

void AffineTransform::translate(float dx, float dy) { prepend(translation(dx, dy)); }
void AffineTransform::scale(float sx, float sy) { prepend(scaling(sx, sy)); }
void AffineTransform::rotate(float degrees) { prepend(rotation(degrees)); }

void AffineTransform::rotate(float degrees, Point about)
{
    translate(about.x, about.y);
    rotate(degrees);
    translate(-about.x, -about.y);
}

bool AffineTransform::invert()
{
    const double det = double(a) * d - double(b) * c;
    if (det == 0.0 || !std::isfinite(det)) {
        m_status = Status::NotInvertible;
        return false;
    }
    const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    const double itx = -(tx * ia + ty * ic);
    const double ity = -(tx * ib + ty * id);
    a = float(ia); b = float(ib); c = float(ic); d = float(id);
    tx = float(itx); ty = float(ity);
    m_status = Status::Ok;
    return true;
}

AffineTransform AffineTransform::inverted() const
{
    AffineTransform t = *this;
    t.invert();
    return t;
}

Point AffineTransform::transformPoint(Point p) const
{
    return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty};
}

Point AffineTransform::transformVector(Point v) const
{
    return {a * v.x + c * v.y, b * v.x + d * v.y};
}

Rect AffineTransform::transformRect(const Rect& r) const
{
    const Point o = transformPoint(r.origin);
    const Point s = transformVector({r.size.width, r.size.height});
    return Rect(o.x, o.y, s.x, s.y);
}

Rect AffineTransform::transformedBounds(const Rect& r) const
{
    const Point corners[4] = {
        transformPoint({r.minX(), r.minY()}), transformPoint({r.maxX(), r.minY()}),
        transformPoint({r.maxX(), r.maxY()}), transformPoint({r.minX(), r.maxY()})};
    float x0 = corners[0].x, x1 = corners[0].x, y0 = corners[0].y, y1 = corners[0].y;
    for (const Point& p : corners) {
        x0 = std::min(x0, p.x); x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y); y1 = std::max(y1, p.y);
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

bool AffineTransform::isIdentity() const
{
    return a == 1.0f && b == 0.0f && c == 0.0f && d == 1.0f && tx == 0.0f && ty == 0.0f;
}
