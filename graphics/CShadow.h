#pragma once

#include "Geometry.h"
#include "PackedColor.h"

// A drop shadow, copied by value into the drawing state.
// The offset is in user units with y pointing up; applyShadow turns it into
// the context's y-down device offset. The blur radius is in user units and is
// scaled by the device scale when drawn (clamped to a sane device range there).
class CShadow
{
public:
    static constexpr PackedColor kDefaultColor = 0x55000000u;

    CShadow() = default;
    CShadow(Size offset, float blurRadius, PackedColor color)
        : m_offset(offset), m_blurRadius(blurRadius), m_color(color) {}

    Size offset() const { return m_offset; }
    void setOffset(Size offset) { m_offset = offset; }
    float blurRadius() const { return m_blurRadius; }
    void setBlurRadius(float radius) { m_blurRadius = radius; }
    PackedColor color() const { return m_color; }
    void setColor(PackedColor color) { m_color = color; }
    Size scale() const { return m_scale; }
    void setScale(Size scale) { m_scale = scale; }

    // Hands the shadow to the current context (no effect when none is
    // current): a copy with the y offset negated and the context's device
    // scale as its scale. This shadow itself is left unchanged, so applying
    // it twice gives the same shadow twice.
    void applyShadow() const;

    friend bool operator==(const CShadow&, const CShadow&) = default;

private:
    Size m_scale{1.0f, 1.0f};
    Size m_offset;
    float m_blurRadius = 0.0f;
    PackedColor m_color = kDefaultColor;
};
