#pragma once

#include "PackedColor.h"

// A fill of one colour.
class SolidBrush
{
public:
    SolidBrush() = default;
    explicit SolidBrush(PackedColor color) : m_color(color) {}

    PackedColor color() const { return m_color; }
    void setColor(PackedColor color) { m_color = color; }

    friend bool operator==(const SolidBrush&, const SolidBrush&) = default;

private:
    PackedColor m_color = kOpaqueBlack;
};
