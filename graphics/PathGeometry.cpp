#include "PathGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

Point lerp(Point a, Point b, float t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

} // namespace

Point pointOnCubic(Point p0, Point p1, Point p2, Point p3, float t)
{
    const Point a = lerp(p0, p1, t), b = lerp(p1, p2, t), c = lerp(p2, p3, t);
    const Point d = lerp(a, b, t), e = lerp(b, c, t);
    return lerp(d, e, t);
}

Rect rectUnion(const Rect& a, const Rect& b, bool* ok)
{
    const float x = std::min(a.x(), b.x());
    const float y = std::min(a.y(), b.y());
    const float w = std::max(a.x() + a.width(), b.x() + b.width()) - x;
    const float h = std::max(a.y() + a.height(), b.y() + b.height()) - y;
    if (ok)
        *ok = w > 1.1920929e-7f && h > 1.1920929e-7f;
    return Rect(x, y, w, h);
}

Point normalizeVector(Point v)
{
    const double length = std::hypot(double(v.x), double(v.y));
    if (!(length > 0.0) || !std::isfinite(length))
        return {0.0f, 0.0f};
    return {float(v.x / length), float(v.y / length)};
}

bool nearlyEqual(float a, float b)
{
    return std::fabs(a - b) < 1e-6f;
}

float flipAngle(float degrees)
{
    const double theta = double(degrees) * 0.017453292519943295;
    const float flipped = float(std::atan2(-std::sin(theta), std::cos(theta)) * 57.29577951308232);
    // sin(pi) is not exactly 0, so 180 would come out as -180: keep the range half-open.
    return flipped <= -180.0f ? flipped + 360.0f : flipped;
}
