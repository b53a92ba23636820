#pragma once

// Float geometry in page units (points; y grows downwards). Rectangles may
// have negative sizes: a negative width extends to the left of the origin.
// Edge queries normalise; the stored value never is.

struct Point
{
    float x = 0.0f;
    float y = 0.0f;

    friend bool operator==(const Point&, const Point&) = default;
};

struct Size
{
    float width = 0.0f;
    float height = 0.0f;

    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect
{
    Point origin;
    Size size;

    Rect() = default;
    Rect(Point o, Size s) : origin(o), size(s) {}
    Rect(float x, float y, float width, float height) : origin{x, y}, size{width, height} {}

    float x() const { return origin.x; }
    float y() const { return origin.y; }
    float width() const { return size.width; }
    float height() const { return size.height; }

    float minX() const;
    float maxX() const;
    float minY() const;
    float maxY() const;
    float midX() const { return (minX() + maxX()) * 0.5f; }
    float midY() const { return (minY() + maxY()) * 0.5f; }

    friend bool operator==(const Rect&, const Rect&) = default;
};

inline Size sizeFromPoint(Point p) { return {p.x, p.y}; }
inline Point pointFromSize(Size s) { return {s.width, s.height}; }

// The smallest whole-unit rectangle around r; the zero rectangle when r is empty
// or has a negative size.
Rect integralRect(const Rect& r);
// Inclusive containment of inner in outer.
bool rectContainsRect(const Rect& outer, const Rect& inner);
// Strict overlap: rectangles that only touch do not intersect.
bool rectsIntersect(const Rect& a, const Rect& b);
bool rectContainsPoint(const Rect& r, Point p);
// The rectangle with non-negative size covering the same area.
Rect standardizedRect(const Rect& r);
Rect unionRect(const Rect& a, const Rect& b);
Rect insetRect(const Rect& r, float dx, float dy);
