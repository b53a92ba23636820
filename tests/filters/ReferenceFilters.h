#pragma once

#include "WorkingImage.h"

// Plain implementations written straight from the description of each
// operation, with no threads, vectors, blocking or skipped work: the fast
// code is checked against them.
namespace ReferenceFilters {

// clamp, raise to 1 / 1.8 (single-precision exponent), times 255, floor.
int encode(float value);

// Both blur passes, each sample summed tap by tap with clamped positions.
WorkingImage blur(const WorkingImage& image, float radius);

// The CMYK halftone over every grid cell, sums and dots done naively.
WorkingImage halftone(const WorkingImage& image, float angleOffset, float blackGeneration, float sharpness,
                      float underColorRemoval, float spacing);

} // namespace ReferenceFilters
