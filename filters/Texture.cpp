#include "Texture.h"

#include "FilterExecution.h"

LuminanceTexture::LuminanceTexture(const Quad* image, int width, int height)
    : Texture<float>(width, height, false)
{
    float* out = samples();
    FilterExecution::forEachRowBand(height, std::size_t(width), [&](int first, int end) {
        const std::size_t from = std::size_t(first) * std::size_t(width);
        const std::size_t to = std::size_t(end) * std::size_t(width);
        for (std::size_t i = from; i < to; ++i)
            out[i] = textureLuminance(image[i]);
    });
}

Quad rgbToCmyk(float red, float green, float blue, float blackGeneration, float underColorRemoval)
{
    const float c = 1.0f - red;
    const float m = 1.0f - green;
    const float y = 1.0f - blue;
    const float k = std::min(c, std::min(m, y));
    const float gk = blackGeneration * k;
    const float black = gk * gk;
    return Quad{c - underColorRemoval * black, m - underColorRemoval * black, y - underColorRemoval * black, black};
}

CMYKTexture::CMYKTexture(const Quad* image, int width, int height, float blackGeneration, float underColorRemoval)
    : Texture<Quad>(width, height, false)
{
    Quad* out = samples();
    FilterExecution::forEachRowBand(height, std::size_t(width), [&](int first, int end) {
        const std::size_t from = std::size_t(first) * std::size_t(width);
        const std::size_t to = std::size_t(end) * std::size_t(width);
        for (std::size_t i = from; i < to; ++i)
            out[i] = rgbToCmyk(image[i].r, image[i].g, image[i].b, blackGeneration, underColorRemoval);
    });
}
