#include "Filters.h"

#include "PaneloraFilter.h"
#include "PixelLoops.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Screens finer than a tenth of a pixel would have no tile at all; screens
// coarser than this would need tiles larger than any picture.
constexpr float kMinimumHalfWidth = 0.1f;
constexpr float kMaximumPeriod = 100000.0f;

int wholePeriod(float width)
{
    const float period = std::ceil(width);
    if (!(period >= 1.0f))
        return 1;
    return int(std::min(period, kMaximumPeriod));
}

// Pixel centres relative to the picture's centre, turned by the screen angle.
struct ScreenFrame
{
    float cosine;
    float sine;
    float halfWidth;
    float halfHeight;

    ScreenFrame(float angle, int width, int height)
        : cosine(std::cos(angle)), sine(std::sin(angle)), halfWidth(float(width) * 0.5f), halfHeight(float(height) * 0.5f)
    {
    }
    void turn(int x, int y, float& u, float& v) const
    {
        const float px = float(x) + 0.5f - halfWidth;
        const float py = float(y) + 0.5f - halfHeight;
        u = px * cosine - py * sine;
        v = px * sine + py * cosine;
    }
};

} // namespace

CIHatchedScreen::CIHatchedScreen(Point, float angle, float width, float sharpness)
    : m_angle(angle), m_halfWidth(width / 2.0f), m_sharpness(sharpness)
{
}

void CIHatchedScreen::apply(Quad* image, int width, int height, const FilterReference*) const
{
    if (width <= 0 || height <= 0)
        return;
    float p = m_halfWidth;
    if (!(p >= kMinimumHalfWidth))
        p = kMinimumHalfWidth;
    p = std::min(p, kMaximumPeriod);
    const int m = std::max(1, int(p * 10.0f));

    // The tile, m x m: -1 on the edge columns, else (1 - max(a, b))^3 with a
    // and b the distances from the middle across and along (the latter
    // flattened). Its columns and rows are kept apart and combined per pixel.
    std::vector<float> across(static_cast<std::size_t>(m)), along(static_cast<std::size_t>(m));
    std::vector<char> edge(static_cast<std::size_t>(m));
    const float e = 0.5f / p;
    for (int i = 0; i < m; ++i) {
        const float xv = (float(i) + 0.5f) / float(m);
        edge[std::size_t(i)] = xv < e || xv >= 1.0f - e;
        across[std::size_t(i)] = std::fabs(2.0f * xv - 1.0f);
        const float yv = (float(i) + 0.5f) / float(m);
        along[std::size_t(i)] = 0.625f * std::fabs(2.0f * yv - 1.0f);
    }

    reduceColorChain(8.0f)->runSteps(image, width, height, nullptr);

    const ScreenFrame frame(m_angle, width, height);
    forEachPixelAt(image, width, height, [&](Quad& q, int x, int y) {
        float u, v;
        frame.turn(x, y, u, v);
        const int i = clampedIndex(std::floor(std::fabs(std::fmod(u, p)) * 10.0f), m - 1);
        const int j = clampedIndex(std::floor(std::fabs(std::fmod(v, p)) * 10.0f), m - 1);
        float tile = -1.0f;
        if (!edge[std::size_t(i)]) {
            const float f = 1.0f - std::max(across[std::size_t(i)], along[std::size_t(j)]);
            tile = f * f * f;
        }
        const float grey = std::clamp(2.0f * luminance(q) - 1.2f * tile, 0.0f, 1.0f);
        q.r = q.g = q.b = grey;
    });
}

CILineScreen::CILineScreen(float angle, Point center, float sharpness, float width)
    : m_angle(angle), m_center(center), m_sharpness(sharpness), m_period(wholePeriod(width))
{
}

void CILineScreen::apply(Quad* image, int width, int height, const FilterReference*) const
{
    if (width <= 0 || height <= 0)
        return;
    const int p = m_period;
    const int m = 10 * p;
    std::vector<float> tile(static_cast<std::size_t>(m));
    for (int i = 0; i < m; ++i) {
        const float a = std::fabs(2.0f * (float(i) + 0.5f) / float(m) - 1.0f);
        tile[std::size_t(i)] = a * a;
    }

    forEachPixel(image, width, height, [](Quad& q) {
        q.r = std::clamp(q.r, 0.0f, 1.0f);
        q.g = std::clamp(q.g, 0.0f, 1.0f);
        q.b = std::clamp(q.b, 0.0f, 1.0f);
    });
    reduceColorChain(16.0f)->runSteps(image, width, height, nullptr);

    const float pi = 3.14159265f;
    const float period = float(p);
    const ScreenFrame frame(m_angle, width, height);
    forEachPixelAt(image, width, height, [&](Quad& q, int x, int y) {
        const float l = luminance(q);
        const float toned = l < 0.5f ? l * std::sin(pi * l) : 1.0f - (1.0f - l) * std::sin(pi * (1.0f - l));
        float u, v;
        frame.turn(x, y, u, v);
        const int i = clampedIndex(std::floor(std::fabs(std::fmod(u, period)) * 10.0f), m - 1);
        const float grey = std::clamp(2.0f * toned - tile[std::size_t(i)], 0.0f, 1.0f);
        q.r = q.g = q.b = grey;
    });
}

CILineScreenOldVersion::CILineScreenOldVersion(float angle, Point center, float sharpness, float width)
    : m_angle(angle + 1.5707964f), m_center(center), m_sharpness(sharpness), m_period(wholePeriod(width))
{
}

void CILineScreenOldVersion::apply(Quad* image, int width, int height, const FilterReference*) const
{
    if (width <= 0 || height <= 0)
        return;
    const int p = m_period;
    // The tile p x p varies along its columns only: tile(row, column).
    std::vector<float> tile(static_cast<std::size_t>(p));
    for (int c = 0; c < p; ++c)
        tile[std::size_t(c)] = std::fabs(2.0f * (float(c) + 0.5f) / float(p) - 1.0f);

    const float period = float(p);
    const ScreenFrame frame(m_angle, width, height);
    forEachPixelAt(image, width, height, [&](Quad& q, int x, int y) {
        float u, v;
        frame.turn(x, y, u, v);
        const int c = clampedIndex(std::floor(std::fabs(std::fmod(v, period))), p - 1);
        const float grey = std::clamp(tile[std::size_t(c)] - 0.25f + textureLuminance(q), 0.0f, 1.0f);
        q.r = q.g = q.b = grey;
    });
}
