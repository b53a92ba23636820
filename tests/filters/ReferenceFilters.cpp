#include "ReferenceFilters.h"

#include "GaussianBlur.h"
#include "Texture.h"

#include <algorithm>
#include <cmath>

namespace ReferenceFilters {

int encode(float value)
{
    if (!(value > 0.0f))
        return 0;
    value = std::min(value, 1.0f);
    return std::clamp(int(std::floor(std::pow(double(value), double(1.0f / 1.8f)) * 255.0)), 0, 255);
}

WorkingImage blur(const WorkingImage& image, float radius)
{
    const GaussianKernel kernel = gaussianKernel(radius);
    const int h = kernel.halfWidth;
    const int w = image.width(), ht = image.height();
    WorkingImage across = WorkingImage::create(w, ht);
    WorkingImage result = WorkingImage::create(w, ht);
    for (int y = 0; y < ht; ++y)
        for (int x = 0; x < w; ++x) {
            Quad sum = kernel.taps[std::size_t(h)] * image.at(x, y);
            for (int l = 0; l < h; ++l) {
                const Quad& a = image.at(std::clamp(x - h + l, 0, w - 1), y);
                const Quad& b = image.at(std::clamp(x + h - l, 0, w - 1), y);
                sum = sum + kernel.taps[std::size_t(l)] * (a + b);
            }
            across.at(x, y) = sum;
        }
    for (int y = 0; y < ht; ++y)
        for (int x = 0; x < w; ++x) {
            Quad sum = kernel.taps[std::size_t(h)] * across.at(x, y);
            for (int l = 0; l < h; ++l) {
                const Quad& a = across.at(x, std::clamp(y - h + l, 0, ht - 1));
                const Quad& b = across.at(x, std::clamp(y + h - l, 0, ht - 1));
                sum = sum + kernel.taps[std::size_t(l)] * (a + b);
            }
            result.at(x, y) = sum;
        }
    return result;
}

namespace {

// Coverage weight of pixel column c in [from, to].
float coverage(int c, float from, float to)
{
    const float left = std::max(from, float(c));
    const float right = std::min(to, float(c + 1));
    return std::max(0.0f, right - left);
}

} // namespace

WorkingImage halftone(const WorkingImage& image, float angleOffset, float g, float sharpness, float u, float d)
{
    const int w = image.width(), h = image.height();
    std::vector<Quad> cmyk(image.pixelCount());
    for (std::size_t i = 0; i < cmyk.size(); ++i)
        cmyk[i] = rgbToCmyk(image.pixels()[i].r, image.pixels()[i].g, image.pixels()[i].b, g, u);
    auto sample = [&](int c, int r) { return cmyk[std::size_t(std::clamp(r, 0, h - 1)) * std::size_t(w) + std::size_t(std::clamp(c, 0, w - 1))]; };
    std::vector<Quad> accumulator(image.pixelCount());
    const float angles[4] = {-75.0f, -15.0f, 0.0f, -45.0f};
    const float extent = 2.0f * float(std::max(w, h));
    for (int ink = 0; ink < 4; ++ink) {
        const float theta = angles[ink] * 3.14159265f / 180.0f + angleOffset;
        const float cs = std::cos(theta), sn = std::sin(theta);
        for (int ky = 0; -extent + float(ky) * d < extent; ++ky) {
            const float y = -extent + float(ky) * d;
            for (int kx = 0; -extent + float(kx) * d < extent; ++kx) {
                const float x = -extent + float(kx) * d;
                const float t = (x - float(w) / 2.0f) * cs - (y - float(h) / 2.0f) * sn + float(w) / 2.0f;
                const float v = (x - float(w) / 2.0f) * sn + (y - float(h) / 2.0f) * cs + float(h) / 2.0f;
                const float x0 = t - d / 2.0f, x1 = t + d / 2.0f, y0 = v - d / 2.0f, y1 = v + d / 2.0f;
                if (x1 <= 0.0f || y1 <= 0.0f || x0 >= float(w) || y0 >= float(h))
                    continue;
                float sum = 0.0f, weight = 0.0f;
                for (int r = int(std::floor(y0)); r <= int(std::floor(y1)); ++r)
                    for (int c = int(std::floor(x0)); c <= int(std::floor(x1)); ++c) {
                        const float cw = coverage(c, x0, x1) * coverage(r, y0, y1);
                        if (cw > 0.0f) {
                            sum += sample(c, r)[ink] * cw;
                            weight += cw;
                        }
                    }
                if (!(weight > 0.0f && sum > 0.0f))
                    continue;
                const float radius = std::sqrt(sum * 0.31830987f);
                for (int j = int(std::floor(v - radius)) - 1; j <= int(std::floor(v + radius)) + 2; ++j)
                    for (int i = int(std::floor(t - radius)) - 1; i <= int(std::floor(t + radius)) + 2; ++i) {
                        if (i < 0 || j < 0 || i >= w || j >= h)
                            continue;
                        const float dx = t - (float(i) + 0.5f), dy = v - (float(j) + 0.5f);
                        const float q = dx * dx + dy * dy;
                        if (q < (radius + 1.0f) * (radius + 1.0f))
                            accumulator[std::size_t(j) * std::size_t(w) + std::size_t(i)][ink] +=
                                q <= radius * radius ? 1.0f : 1.0f - (std::sqrt(q) - radius);
                    }
            }
        }
    }
    WorkingImage result = WorkingImage::copyOf(image.pixels(), w, h);
    const float s = std::clamp(sharpness, 0.0f, 1.0f);
    for (std::size_t i = 0; i < cmyk.size(); ++i) {
        Quad k;
        for (int c = 0; c < 4; ++c)
            k[c] = cmyk[i][c] + (accumulator[i][c] - cmyk[i][c]) * s;
        result.pixels()[i].r = 1.0f - (k.r * (1.0f - k.a) + k.a);
        result.pixels()[i].g = 1.0f - (k.g * (1.0f - k.a) + k.a);
        result.pixels()[i].b = 1.0f - (k.b * (1.0f - k.a) + k.a);
    }
    return result;
}

} // namespace ReferenceFilters
