#include "Filters.h"

#include "GaussianBlur.h"
#include "PixelLoops.h"
#include "Texture.h"
#include "WorkingImage.h"

#include <algorithm>
#include <cmath>

namespace {

// A radius chosen for the reference picture, scaled to the working image:
// r x sqrt((H / h)^2 + (W / w)^2), sqrt 2 x r at the picture's own size.
float scaledRadius(float radius, int width, int height, const FilterReference& reference)
{
    const float sy = float(reference.height) / float(height);
    const float sx = float(reference.width) / float(width);
    return radius * std::sqrt(sy * sy + sx * sx);
}

// Blurs a copy at the radius scaled to the reference and sets each colour
// channel x to combine(x, blurred x). Without a reference nothing happens.
template <class Combine>
void combineWithBlur(Quad* image, int width, int height, const FilterReference* reference, float radius,
                     Combine combine)
{
    if (!reference || width <= 0 || height <= 0)
        return;
    WorkingImage blurred = WorkingImage::copyOf(image, width, height);
    gaussianBlurImage(blurred.pixels(), width, height, scaledRadius(radius, width, height, *reference));
    const Quad* base = blurred.pixels();
    forEachPixel(image, width, height, [=](Quad& p) {
        const Quad& q = base[&p - image];
        p.r = combine(p.r, q.r);
        p.g = combine(p.g, q.g);
        p.b = combine(p.b, q.b);
    });
}

} // namespace

CIGaussianBlur::CIGaussianBlur(float radius) : m_radius(radius) {}

void CIGaussianBlur::apply(Quad* image, int width, int height, const FilterReference*) const
{
    if (width <= 0 || height <= 0)
        return;
    gaussianBlurImage(image, width, height, m_radius);
}

CIGloom::CIGloom(float radius, float intensity) : m_radius(radius), m_intensity(intensity) {}

void CIGloom::apply(Quad* image, int width, int height, const FilterReference* reference) const
{
    const float t = std::clamp(m_intensity, 0.0f, 1.0f);
    combineWithBlur(image, width, height, reference, m_radius,
                    [t](float x, float blurred) { return x + (std::min(x, blurred) - x) * t; });
}

CIUnsharpMask::CIUnsharpMask(float intensity, float radius) : m_intensity(intensity), m_radius(radius) {}

void CIUnsharpMask::apply(Quad* image, int width, int height, const FilterReference* reference) const
{
    const float t = std::clamp(m_intensity, 0.0f, 1.0f);
    combineWithBlur(image, width, height, reference, m_radius,
                    [t](float x, float blurred) { return x + (x - blurred) * t; });
}

CINoiseReduction::CINoiseReduction(float noiseLevel, float sharpness)
    : m_noiseLevel(noiseLevel), m_sharpness(sharpness)
{
}

void CINoiseReduction::apply(Quad* image, int width, int height, const FilterReference*) const
{
    if (width <= 0 || height <= 0)
        return;
    const WorkingImage copy = WorkingImage::copyOf(image, width, height);
    const LuminanceTexture lum(copy.pixels(), width, height);
    const float level = m_noiseLevel;
    static const float kSmoothing[5][5] = {
        {1, 4, 7, 4, 1}, {4, 16, 26, 16, 4}, {7, 26, 41, 26, 7}, {4, 16, 26, 16, 4}, {1, 4, 7, 4, 1}};

    forEachPixelAt(image, width, height, [&](Quad& out, int x, int y) {
        int columns[5];
        const Quad* rows[5];
        const float* lumRows[3];
        for (int k = 0; k < 5; ++k) {
            columns[k] = std::clamp(x + k - 2, 0, width - 1);
            rows[k] = copy.row(std::clamp(y + k - 2, 0, height - 1));
        }
        for (int k = 0; k < 3; ++k)
            lumRows[k] = lum.samples() + std::size_t(std::clamp(y + k - 1, 0, height - 1)) * std::size_t(width);
        const int* c = columns + 1; // c[0], c[1], c[2]: x - 1, x, x + 1
        const float own = lumRows[1][c[1]];
        const float edges = std::fabs(lumRows[0][c[0]] - own) * 0.707f + std::fabs(lumRows[0][c[1]] - own)
                            + std::fabs(lumRows[0][c[2]] - own) * 0.707f + std::fabs(lumRows[1][c[0]] - own)
                            + std::fabs(lumRows[1][c[2]] - own) + std::fabs(lumRows[2][c[0]] - own) * 0.707f
                            + std::fabs(lumRows[2][c[1]] - own) + std::fabs(lumRows[2][c[2]] - own) * 0.707f;
        if (edges * 0.125f < level) {
            float r = 0.0f, g = 0.0f, b = 0.0f;
            for (int j = 0; j < 5; ++j)
                for (int i = 0; i < 5; ++i) {
                    const Quad& q = rows[j][columns[i]];
                    const float w = kSmoothing[j][i];
                    r += w * q.r;
                    g += w * q.g;
                    b += w * q.b;
                }
            out.r = r / 273.0f;
            out.g = g / 273.0f;
            out.b = b / 273.0f;
        } else {
            const Quad& centre = rows[2][c[1]];
            float r = 2.0f * centre.r, g = 2.0f * centre.g, b = 2.0f * centre.b;
            for (int j = 1; j <= 3; ++j)
                for (int i = 0; i < 3; ++i) {
                    if (j == 2 && i == 1)
                        continue;
                    const Quad& q = rows[j][c[i]];
                    r -= 0.125f * q.r;
                    g -= 0.125f * q.g;
                    b -= 0.125f * q.b;
                }
            out.r = r;
            out.g = g;
            out.b = b;
        }
    });
}
