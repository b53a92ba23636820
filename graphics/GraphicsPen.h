#pragma once

#include "PackedColor.h"

// The pen value a stroke is drawn with: colour, width in user units (0 is a
// hairline of 1.8 device pixels at any zoom) and an optional dash pattern of
// one (dash, gap) pair in user units, starting with a dash.
class GraphicsPen
{
public:
    GraphicsPen() = default;
    explicit GraphicsPen(PackedColor color, float width = 1.0f) : m_color(color), m_width(width) {}

    PackedColor color() const { return m_color; }
    void setColor(PackedColor color) { m_color = color; }
    float width() const { return m_width; }
    void setWidth(float width) { m_width = width; }

    bool isDashed() const { return m_dashed; }
    float dashLength() const { return m_dash; }
    float gapLength() const { return m_gap; }
    void setDash(float dash, float gap)
    {
        m_dashed = true;
        m_dash = dash;
        m_gap = gap;
    }
    void clearDash()
    {
        m_dashed = false;
        m_dash = m_gap = 0.0f;
    }

    friend bool operator==(const GraphicsPen&, const GraphicsPen&) = default;

private:
    PackedColor m_color = kOpaqueBlack;
    float m_width = 1.0f;
    bool m_dashed = false;
    float m_dash = 0.0f;
    float m_gap = 0.0f;
};
