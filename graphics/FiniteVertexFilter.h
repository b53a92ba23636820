#pragma once

#include <agg_basics.h>

#include <algorithm>
#include <cmath>

// Vertex source adaptor in front of the rasteriser: drops vertices with
// non-finite coordinates and bounds the finite ones to +-kLimit device
// units, so the double-precision clipper's arithmetic can neither overflow
// nor turn into NaN before it brings the edges onto the surface.
template <class VertexSource>
class FiniteVertexFilter
{
public:
    static constexpr double kLimit = 1.0e30;

    explicit FiniteVertexFilter(VertexSource& source) : m_source(source) {}

    void rewind(unsigned pathId) { m_source.rewind(pathId); }

    unsigned vertex(double* x, double* y)
    {
        for (;;) {
            const unsigned command = m_source.vertex(x, y);
            if (!agg::is_vertex(command))
                return command;
            if (!std::isfinite(*x) || !std::isfinite(*y))
                continue;
            *x = std::clamp(*x, -kLimit, kLimit);
            *y = std::clamp(*y, -kLimit, kLimit);
            return command;
        }
    }

private:
    VertexSource& m_source;
};
