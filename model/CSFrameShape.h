#pragma once

#include "Geometry.h"
#include "NSBezierPath.h"

#include <cstdint>

// The nine frame shapes that panels and captions choose by their
// "FrameStyle" number, in the order of the inspector's list: 0 square,
// 1 oval, 2 rounded, 3 bevelled, 4 inset rounded (concave), 5 inset square
// (notched), 6 skewed, 7 twisted, 8 scroll. Any other number is the square,
// so a style written by a later version still draws. radius is the corner
// size of the shapes that have one.
NSBezierPath framePathForStyle(std::int32_t style, const Rect& frame, float radius);
