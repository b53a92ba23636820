#pragma once

#include "Quad.h"

#include <vector>

// The Gaussian kernel shared by the filters: half-width h = radius rounded
// up, 2h + 1 taps (one tap of 1 when h is 0), weights
// exp(-i^2 / (2 sigma^2)) / sqrt(2 pi sigma) with sigma = radius / 3, each
// clamped into 0..1, then normalised to sum 1.
struct GaussianKernel
{
    int halfWidth = 0;
    // taps[l] weighs the sample at offset l - halfWidth; symmetric.
    std::vector<float> taps{1.0f};
};

// Radii that are negative or not a number give the one-tap kernel; very large
// radii are limited to kMaximumBlurHalfWidth.
constexpr int kMaximumBlurHalfWidth = 1 << 16;
GaussianKernel gaussianKernel(float radius);

enum class BlurEdge
{
    Repeat = 0, // positions outside a row take the nearest edge sample
    Zero = 1,   // positions outside a row count as zero
};

// One blur pass along the rows of source (rowCount rows of rowLength Quads):
// out = centre tap x sample j + the sum over l < h of
// tap l x (sample j - h + l + sample j + h - l), on all four channels. The
// result of row i, position j goes to destination row j, position i
// (transposed), so a second call with the destination as source and the
// dimensions swapped blurs the columns and restores the orientation. Source
// and destination must not overlap. Throws std::bad_alloc.
void gaussianBlur(const Quad* source, Quad* destination, int rowLength, int rowCount, float radius,
                  BlurEdge edge = BlurEdge::Repeat);

// Both passes through a temporary: image blurred in place.
void gaussianBlurImage(Quad* image, int width, int height, float radius);
