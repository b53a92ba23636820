#include "PackedColor.h"

#include <cmath>

std::uint8_t colorByteFromUnit(double unit)
{
    if (!(unit > 0.0))
        return 0;
    const double scaled = std::round(unit * 255.0);
    return scaled >= 255.0 ? 255 : std::uint8_t(scaled);
}
