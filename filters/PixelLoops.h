#pragma once

#include "FilterExecution.h"
#include "Quad.h"

#include <cstddef>

// Runs f(pixel) over every pixel of a working image, rows split across threads.
template <class F>
void forEachPixel(Quad* image, int width, int height, F&& f)
{
    if (width <= 0 || height <= 0)
        return;
    const std::size_t w = std::size_t(width);
    FilterExecution::forEachRowBand(height, w, [&](int first, int end) {
        Quad* p = image + std::size_t(first) * w;
        Quad* const stop = image + std::size_t(end) * w;
        for (; p != stop; ++p)
            f(*p);
    });
}

// Runs f(pixel, x, y) over every pixel, rows split across threads.
template <class F>
void forEachPixelAt(Quad* image, int width, int height, F&& f)
{
    if (width <= 0 || height <= 0)
        return;
    const std::size_t w = std::size_t(width);
    FilterExecution::forEachRowBand(height, w, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            Quad* row = image + std::size_t(y) * w;
            for (int x = 0; x < width; ++x)
                f(row[x], x, y);
        }
    });
}

// A float index into 0..last; NaN and values below 0 give 0.
inline int clampedIndex(float value, int last)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= float(last))
        return last;
    return int(value);
}
