#include "Filters.h"

#include "PixelLoops.h"

#include <algorithm>
#include <cmath>

CIColorControls::CIColorControls(float brightness, float contrast, float saturation)
    : m_brightness(brightness), m_contrast(contrast), m_saturation(saturation)
{
}

void CIColorControls::apply(Quad* image, int width, int height, const FilterReference*) const
{
    const float b = m_brightness, c = m_contrast, s = m_saturation;
    forEachPixel(image, width, height, [=](Quad& p) {
        const float l = luminance(p) * (1.0f - s);
        p.r = ((l + p.r * s) - 0.5f) * c + 0.5f + b;
        p.g = ((l + p.g * s) - 0.5f) * c + 0.5f + b;
        p.b = ((l + p.b * s) - 0.5f) * c + 0.5f + b;
    });
}

void CIColorInvert::apply(Quad* image, int width, int height, const FilterReference*) const
{
    forEachPixel(image, width, height, [](Quad& p) {
        p.r = 1.0f - std::clamp(p.r, 0.0f, 1.0f);
        p.g = 1.0f - std::clamp(p.g, 0.0f, 1.0f);
        p.b = 1.0f - std::clamp(p.b, 0.0f, 1.0f);
    });
}

CIColorMonochrome::CIColorMonochrome(Quad color, float intensity)
    : m_color{color.r, color.g, color.b, 1.0f}, m_intensity(intensity)
{
}

void CIColorMonochrome::apply(Quad* image, int width, int height, const FilterReference*) const
{
    const Quad tint = m_color;
    const float t = m_intensity;
    forEachPixel(image, width, height, [=](Quad& p) {
        const float alpha = p.a;
        const float divisor = std::max(alpha, 0.000001f);
        Quad q = p;
        for (int i = 0; i < 3; ++i) {
            const float x = q[i] > 0.0f ? q[i] : 0.0f; // NaN too
            q[i] = x * alpha / divisor;
        }
        const float l = luminance(q);
        for (int i = 0; i < 3; ++i) {
            const float cc = tint[i];
            const float overlay = l < 0.5f ? 2.0f * l * cc : 1.0f - 2.0f * (1.0f - l) * (1.0f - cc);
            const float mixed = ((1.0f - t) * q[i] + t * overlay) * alpha;
            p[i] = mixed > 0.0f ? mixed : 0.0f;
        }
        p.a = 1.0f;
    });
}

CIColorPosterize::CIColorPosterize(float levels) : m_levels(levels) {}

void CIColorPosterize::apply(Quad* image, int width, int height, const FilterReference*) const
{
    float k = std::floor(m_levels - 1.0f);
    if (!(k >= 1.0f))
        k = 1.0f; // below two levels the steps would divide by zero
    forEachPixel(image, width, height, [=](Quad& p) {
        p.r = std::floor(p.r * k + 0.5f) / k * p.a;
        p.g = std::floor(p.g * k + 0.5f) / k * p.a;
        p.b = std::floor(p.b * k + 0.5f) / k * p.a;
    });
}

CIFalseColor::CIFalseColor(Quad color0, Quad color1) : m_color0(color0), m_color1(color1) {}

void CIFalseColor::apply(Quad* image, int width, int height, const FilterReference*) const
{
    const Quad c0 = m_color0;
    const Quad d = m_color1 - m_color0;
    forEachPixel(image, width, height, [=](Quad& p) {
        const float t = textureLuminance(p);
        p.r = c0.r + d.r * t;
        p.g = c0.g + d.g * t;
        p.b = c0.b + d.b * t;
    });
}

CISharpenLuminance::CISharpenLuminance(float sharpness) : m_sharpness(sharpness) {}

void CISharpenLuminance::apply(Quad* image, int width, int height, const FilterReference*) const
{
    forEachPixel(image, width, height, [](Quad& p) {
        const float y = luminance(p);
        const float t = textureLuminance(p);
        const float red = p.r, blue = p.b;
        p.r = (red - y) * 0.6349206f * 1.575f + t;
        p.g = (t - 0.0721f * blue - 0.2125f * red) * 1.3978194f;
        p.b = t + (blue - y) * 0.53885114f * 1.8558f;
    });
}
