#include "CSBalloonShapes.h"

#include "AffineTransform.h"

#include <array>
#include <cmath>
#include <memory>

namespace CSBalloonShapes {

namespace {

constexpr const char* kNames[kKindCount] = {"speech", "thought", "exclamation", "exclamation2", "whisper", "rough",
                                            "rough2", "robot",   "square",      "buzz",         "space",   "tv"};

std::uint32_t& generatorState()
{
    static std::uint32_t state = 0;
    return state;
}

constexpr double kPi = 3.14159265358979323846;

double radians(double degrees)
{
    return degrees * kPi / 180.0;
}

// (r, 0) turned by a degrees about the origin (clockwise on the page).
Point pol(double r, double degrees)
{
    const double a = radians(degrees);
    return {float(r * std::cos(a)), float(r * std::sin(a))};
}

// p turned by a degrees about the origin.
Point rot(Point p, double degrees)
{
    const double a = radians(degrees);
    const double c = std::cos(a), s = std::sin(a);
    return {float(p.x * c - p.y * s), float(p.x * s + p.y * c)};
}

Point plus(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point minus(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point times(Point a, float f) { return {a.x * f, a.y * f}; }

// A value in [0, 1).
double rnd()
{
    return double(nextShapeRandom()) * (1.0 / 2147483648.0);
}

NSBezierPath unitEllipse()
{
    return NSBezierPath::pathWithOval(Rect(-50, -50, 100, 100));
}

NSBezierPath cloud()
{
    NSBezierPath path = NSBezierPath::pathWithOval(Rect(-30, -30, 60, 60));
    seedShapeRandom(100);
    for (int i = 0; i < 10; ++i) {
        const float d = float(20.0 + 10.0 * rnd());
        const Point at = pol(30, 36.0 * i);
        path.appendPath(transformedPath(AffineTransform::translation(at.x, at.y),
                                        NSBezierPath::pathWithOval(Rect(-d / 2, -d / 2, d, d))));
    }
    return path;
}

NSBezierPath star()
{
    NSBezierPath path;
    seedShapeRandom(150);
    for (int i = 0; i <= 20; ++i) {
        const double r = rnd();
        const Point p = pol(i % 2 == 1 ? 50.0 + 5.0 * r : 40.0 - 5.0 * r, 18.0 * i);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closePath();
    return path;
}

// Ten cusps joined by curves bowed inwards: each curve runs from cusp to cusp
// with both controls on the inner point between them.
NSBezierPath cuspedStar()
{
    NSBezierPath path;
    seedShapeRandom(150);
    Point first, inner;
    for (int i = 0; i <= 20; ++i) {
        const double r = rnd();
        const Point p = pol(i % 2 == 0 ? 50.0 + 5.0 * r : 40.0 - 5.0 * r, 18.0 * i);
        if (i == 0) {
            path.moveTo(p);
            first = p;
        } else if (i % 2 == 1) {
            inner = p;
        } else {
            path.curveTo(i == 20 ? first : p, inner, inner);
        }
    }
    path.closePath();
    return path;
}

NSBezierPath rough()
{
    NSBezierPath path;
    seedShapeRandom(301);
    path.moveTo({50, 0});
    // 31 segments: the last one runs past the start, from 360 to 372 degrees.
    for (int i = 0; i <= 30; ++i) {
        const double a = 12.0 * i;
        const double r1 = rnd(), r2 = rnd(), r3 = rnd(), r4 = rnd(), r5 = rnd();
        const Point c1 = pol(53.0 - 6.0 * r1, a + 4.0 * r4);
        const Point c2 = pol(53.0 - 6.0 * r2, a + 4.0 * r4 + 4.0 * r5);
        path.curveTo(pol(52.0 - 4.0 * r3, a + 12.0), c1, c2);
    }
    path.closePath();
    return path;
}

NSBezierPath rough2()
{
    NSBezierPath path;
    seedShapeRandom(301);
    path.moveTo({50, 0});
    for (int k = 0; k < 30; ++k) {
        const double o = 12.0 * k;
        const double r1 = rnd(), r2 = rnd(), r3 = rnd(), r4 = rnd();
        const Point c1 = pol(60.0 - 20.0 * r1, o + 6.0 - 4.0 * r3);
        const Point c2 = pol(60.0 - 20.0 * r2, o + 10.0 - 4.0 * r4);
        path.curveTo(pol(50, o + 12.0), c1, c2);
    }
    path.closePath();
    return path;
}

NSBezierPath zigzagRing()
{
    NSBezierPath path;
    for (int i = 0; i <= 72; ++i) {
        const Point p = pol(i % 2 == 1 ? 55.0 : 45.0, 5.0 * i);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closePath();
    return path;
}

// A square with notched corners and arched sides, built a quarter at a time
// from template points; each quarter ends where the next one begins.
NSBezierPath notchedSquare()
{
    static constexpr Point T[11] = {{-38, -25}, {-38, -38}, {-25, -25}, {-25, -38}, {-13, -50}, {13, -50},
                                    {25, -38},  {-35, -35}, {-35, -27}, {-27, -27}, {-27, -35}};
    NSBezierPath path;
    path.moveTo(T[0]);
    for (int q = 0; q < 4; ++q) {
        auto R = [q](int j) { return rot(T[j], 90.0 * q); };
        path.curveTo(R(1), R(8), R(7));
        path.lineTo(R(2));
        path.curveTo(R(3), R(9), R(10));
        path.curveTo(R(6), R(4), R(5));
    }
    path.closePath();
    return path;
}

NSBezierPath bulgingSquare()
{
    static constexpr Point T[4] = {{-40, -40}, {-20, -50}, {20, -50}, {40, -40}};
    NSBezierPath path;
    path.moveTo(T[0]);
    for (int q = 0; q < 4; ++q) {
        auto R = [q](int j) { return rot(T[j], 90.0 * q); };
        path.curveTo(R(3), R(1), R(2));
    }
    path.closePath();
    return path;
}

NSBezierPath buildUnitShape(std::int32_t kind)
{
    switch (kind) {
    case Speech:
    case Whisper: return unitEllipse();
    case Thought: return cloud();
    case Exclamation: return star();
    case Exclamation2: return cuspedStar();
    case Rough: return rough();
    case Rough2: return rough2();
    case Robot: return NSBezierPath::pathWithRoundedCorners(Rect(-50, -50, 100, 100), 10);
    case Square: return NSBezierPath::pathWithRect(Rect(-50, -50, 100, 100));
    case Buzz: return zigzagRing();
    case Space: return notchedSquare();
    case Tv: return bulgingSquare();
    default: return NSBezierPath();
    }
}

// The circles of a thought trail, from the tip back towards the centre c:
// circle k has the diameter (k + 1) s2 and lies k (k + 1) s2 from the tip.
void appendTrail(NSBezierPath& path, Point c, Point tip, double theta, float s)
{
    const double s2 = double(s) * 0.16666667;
    const double dist = std::hypot(double(tip.x - c.x), double(tip.y - c.y));
    if (!(s2 > 0.0) || !std::isfinite(s2) || !(dist > 0.0) || !std::isfinite(dist))
        return;
    double size = s2, t = 0.0;
    int circles = 0;
    do {
        const Point at = plus(tip, pol(t, theta + 180.0));
        const float d = float(size);
        path.appendPath(transformedPath(AffineTransform::translation(at.x, at.y),
                                        NSBezierPath::pathWithOval(Rect(-d / 2, -d / 2, d, d))));
        t += 2.0 * size;
        size += s2;
    } while (t < dist && ++circles < kMaxTrailCircles);
}

void appendWedge(NSBezierPath& path, Point c, Point tip, double theta, float s, bool straight)
{
    const Point d = plus(c, rot({0, -s}, theta));
    const Point l = plus(c, rot({0, s}, theta));
    path.moveTo(d);
    if (straight) {
        path.lineTo(tip);
        path.lineTo(l);
        path.closePath();
        return;
    }
    // Both sides bow to the same side, towards the vertical through the
    // centre: not at all for a level or upright pointer, most at 45 degrees.
    float k = 4.0f * s;
    if ((tip.y < c.y && tip.x < c.x) || (tip.y > c.y && tip.x > c.x))
        k = -k;
    const float a = std::fabs(tip.x - c.x), b = std::fabs(tip.y - c.y);
    float e = 0.0f;
    if (a != 0.0f && b != 0.0f)
        e = a <= b ? k / (b / a) : k / (a / b);
    const Point h = plus(c, rot({0, s - e}, theta));
    const Point p = plus(c, rot({0, -s - e}, theta));
    path.curveTo(tip, plus(p, times(minus(tip, p), 0.5f)), plus(p, times(minus(tip, p), 0.75f)));
    path.curveTo(l, plus(tip, times(minus(h, tip), 0.25f)), plus(tip, times(minus(h, tip), 0.5f)));
    path.closePath();
}

} // namespace

const char* kindName(std::int32_t kind)
{
    return isKnownKind(kind) ? kNames[kind] : nullptr;
}

std::optional<std::int32_t> kindFromName(const QString& name)
{
    for (std::int32_t kind = 0; kind < kKindCount; ++kind) {
        if (name == QLatin1String(kNames[kind]))
            return kind;
    }
    return std::nullopt;
}

bool hasWideTextMargin(std::int32_t kind)
{
    return kind == Thought || kind == Exclamation || kind == Exclamation2;
}

void seedShapeRandom(std::uint32_t seed)
{
    generatorState() = seed;
}

std::uint32_t nextShapeRandom()
{
    std::uint32_t& state = generatorState();
    if (state == 0)
        state = 123459876u;
    std::int64_t next = 16807 * std::int64_t(state % 127773u) - 2836 * std::int64_t(state / 127773u);
    if (next < 0)
        next += 2147483647;
    state = std::uint32_t(next);
    return state & 0x7FFFFFFFu;
}

const NSBezierPath& unitShape(std::int32_t kind)
{
    static std::array<std::unique_ptr<NSBezierPath>, kKindCount> shapes;
    static const NSBezierPath none;
    if (!isKnownKind(kind))
        return none;
    // The whisper shares the speech ellipse.
    const std::int32_t slot = kind == Whisper ? Speech : kind;
    if (!shapes[slot])
        shapes[slot] = std::make_unique<NSBezierPath>(buildUnitShape(slot));
    return *shapes[slot];
}

void appendPointer(NSBezierPath& path, const Rect& frame, Point target, std::int32_t kind, bool straight)
{
    const Point c{frame.x() + frame.width() / 2, frame.y() + frame.height() / 2};
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(target.x) || !std::isfinite(target.y))
        return;
    double theta = std::atan2(double(target.y - c.y), double(target.x - c.x)) * 180.0 / kPi;
    if (theta < 0.0)
        theta += 360.0;
    const float s = std::min(frame.width(), frame.height()) * 0.16666667f;
    if (kind == Thought)
        appendTrail(path, c, target, theta, s);
    else
        appendWedge(path, c, target, theta, s, straight);
}

} // namespace CSBalloonShapes
