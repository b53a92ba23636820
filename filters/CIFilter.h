#pragma once

#include "Quad.h"

// The size of the picture a working image was made from. Filters whose radius
// follows the picture's resolution compare it with the working image's size
// (a picture filtered at a reduced size keeps its look).
struct FilterReference
{
    int width = 0;
    int height = 0;
};

// One filter of a chain. It holds only the parameters it was built with and
// can be applied any number of times, to any image.
class CIFilter
{
public:
    virtual ~CIFilter() = default;

    // Filters the width x height working image in place. reference may be
    // null. Throws std::bad_alloc when a temporary cannot be allocated; the
    // image is then partly filtered and must be given up.
    virtual void apply(Quad* image, int width, int height, const FilterReference* reference) const = 0;
};
