#pragma once

#include "Geometry.h"

// A 2-D affine matrix applied to row vectors:
//   x' = a·x + c·y + tx,  y' = b·x + d·y + ty.
// Angles are degrees, positive from +x towards +y (clockwise on a y-down page).
// translate, scale and rotate are prepended: the new operation acts on points
// before the existing transform. concat appends.
class AffineTransform
{
public:
    enum class Status { Ok, NotInvertible };

    float a = 1.0f, b = 0.0f, c = 0.0f, d = 1.0f, tx = 0.0f, ty = 0.0f;

    AffineTransform() = default;
    AffineTransform(float a_, float b_, float c_, float d_, float tx_, float ty_)
        : a(a_), b(b_), c(c_), d(d_), tx(tx_), ty(ty_) {}

    static AffineTransform identity() { return {}; }
    static AffineTransform translation(float dx, float dy);
    static AffineTransform scaling(float sx, float sy);
    static AffineTransform rotation(float degrees);
    static AffineTransform scaleAbout(Point p, float sx, float sy);
    static AffineTransform rotationAbout(Point p, float degrees);

    void setIdentity() { *this = AffineTransform(); }
    void translate(float dx, float dy);
    void scale(float sx, float sy);
    void rotate(float degrees);
    void rotate(float degrees, Point about);
    // Appends other: it acts on the result of this transform.
    void concat(const AffineTransform& other);
    // Prepends other: it acts on points before this transform.
    void prepend(const AffineTransform& other);
    // Inverts in place; a singular matrix is left unchanged and the status says so.
    bool invert();
    AffineTransform inverted() const;
    AffineTransform clone() const { return *this; }

    Point transformPoint(Point p) const;
    Point transformVector(Point v) const;
    // Origin as a point, size as a vector; the result is not normalised.
    Rect transformRect(const Rect& r) const;
    // The normalised rectangle around the four transformed corners.
    Rect transformedBounds(const Rect& r) const;

    bool isIdentity() const;
    Status lastStatus() const { return m_status; }

    friend bool operator==(const AffineTransform& l, const AffineTransform& r)
    {
        return l.a == r.a && l.b == r.b && l.c == r.c && l.d == r.d && l.tx == r.tx && l.ty == r.ty;
    }

private:
    static AffineTransform multiply(const AffineTransform& first, const AffineTransform& second);
    Status m_status = Status::Ok;
};
