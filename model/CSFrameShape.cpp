#include "CSFrameShape.h"

NSBezierPath framePathForStyle(std::int32_t style, const Rect& frame, float radius)
{
    switch (style) {
    case 1: return NSBezierPath::pathWithOval(frame);
    case 2: return NSBezierPath::pathWithRoundedCorners(frame, radius);
    case 3: return NSBezierPath::pathWithBevelledCorners(frame, radius);
    case 4: return NSBezierPath::pathWithConcaveCorners(frame, radius);
    case 5: return NSBezierPath::pathWithNotchedCorners(frame, radius);
    case 6: return NSBezierPath::pathSkewed(frame, radius);
    case 7: return NSBezierPath::pathTwisted(frame, radius);
    case 8: return NSBezierPath::pathScroll(frame, radius);
    default: return NSBezierPath::pathWithRect(frame);
    }
}
