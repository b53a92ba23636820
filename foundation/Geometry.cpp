#include "Geometry.h"

#include <algorithm>
#include <cmath>

float Rect::minX() const { return std::min(origin.x, origin.x + size.width); }
float Rect::maxX() const { return std::max(origin.x, origin.x + size.width); }
float Rect::minY() const { return std::min(origin.y, origin.y + size.height); }
float Rect::maxY() const { return std::max(origin.y, origin.y + size.height); }

Rect integralRect(const Rect& r)
{
    if (r.size.width <= 0.0f || r.size.height <= 0.0f)
        return Rect();
    const float x = std::floor(r.origin.x);
    const float y = std::floor(r.origin.y);
    return Rect(x, y, std::ceil(r.origin.x + r.size.width - x), std::ceil(r.origin.y + r.size.height - y));
}

bool rectContainsRect(const Rect& outer, const Rect& inner)
{
    return outer.origin.x <= inner.origin.x && outer.origin.y <= inner.origin.y
        && outer.origin.x + outer.size.width >= inner.origin.x + inner.size.width
        && outer.origin.y + outer.size.height >= inner.origin.y + inner.size.height;
}

bool rectsIntersect(const Rect& a, const Rect& b)
{
    return b.origin.x + b.size.width > a.origin.x && b.origin.y + b.size.height > a.origin.y
        && b.origin.x < a.origin.x + a.size.width && b.origin.y < a.origin.y + a.size.height;
}

bool rectContainsPoint(const Rect& r, Point p)
{
    return p.x >= r.minX() && p.x <= r.maxX() && p.y >= r.minY() && p.y <= r.maxY();
}

Rect standardizedRect(const Rect& r)
{
    return Rect(r.minX(), r.minY(), r.maxX() - r.minX(), r.maxY() - r.minY());
}

Rect unionRect(const Rect& a, const Rect& b)
{
    const float x0 = std::min(a.minX(), b.minX());
    const float y0 = std::min(a.minY(), b.minY());
    const float x1 = std::max(a.maxX(), b.maxX());
    const float y1 = std::max(a.maxY(), b.maxY());
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect insetRect(const Rect& r, float dx, float dy)
{
    return Rect(r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx, r.size.height - 2 * dy);
}
