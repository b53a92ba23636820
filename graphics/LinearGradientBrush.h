#pragma once

#include "Geometry.h"
#include "PackedColor.h"

// A two-colour linear gradient. The gradient runs across the bounds of the
// filled shape at the given angle (degrees; 0 runs left to right, 90 bottom
// to top on a y-down page); the rectangle is kept for callers but does not
// take part in a fill.
class LinearGradientBrush
{
public:
    LinearGradientBrush() = default;
    LinearGradientBrush(const Rect& rect, PackedColor startColor, PackedColor endColor, float angleDegrees)
        : m_rect(rect), m_start(startColor), m_end(endColor), m_angle(angleDegrees) {}

    const Rect& rect() const { return m_rect; }
    PackedColor startColor() const { return m_start; }
    PackedColor endColor() const { return m_end; }
    float angle() const { return m_angle; }
    // The angle in radians brought into (-pi, pi]; 0 when the angle is not finite.
    double angleRadians() const;

    void setRect(const Rect& rect) { m_rect = rect; }
    void setColors(PackedColor startColor, PackedColor endColor)
    {
        m_start = startColor;
        m_end = endColor;
    }
    void setAngle(float degrees) { m_angle = degrees; }

    friend bool operator==(const LinearGradientBrush&, const LinearGradientBrush&) = default;

private:
    Rect m_rect;
    PackedColor m_start = kOpaqueBlack;
    PackedColor m_end = kOpaqueBlack;
    float m_angle = 0.0f;
};
