#include "GraphicsTestSupport.h"

#include <cstring>

std::unique_ptr<CAGGraphics> makeContext(int width, int height, int clearValue, float deviceScale)
{
    GraphicsParams params;
    params.width = float(width);
    params.height = float(height);
    params.clearValue = clearValue;
    params.deviceScaleX = params.deviceScaleY = deviceScale;
    return CreateGraphicsContext(params);
}

quint32 pixelAt(const CAGGraphics& context, int x, int y)
{
    quint32 value;
    std::memcpy(&value, context.pixels() + (size_t(y) * size_t(context.pixelWidth()) + size_t(x)) * 4, 4);
    return value;
}
