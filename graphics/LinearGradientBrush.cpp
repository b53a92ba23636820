#include "LinearGradientBrush.h"

#include <cmath>

double LinearGradientBrush::angleRadians() const
{
    if (!std::isfinite(m_angle))
        return 0.0;
    const double theta = double(m_angle) * 0.017453292519943295;
    // The rotation of the brush's own matrix, read back as atan2 of its
    // second and first elements.
    return std::atan2(std::sin(theta), std::cos(theta));
}
