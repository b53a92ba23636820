#include "Filters.h"

#include "FilterExecution.h"
#include "PixelLoops.h"
#include "Texture.h"
#include "WorkingImage.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Screen angles of cyan, magenta, yellow and black, in degrees.
constexpr float kInkAngles[4] = {-75.0f, -15.0f, 0.0f, -45.0f};
// Ink far outside 0..1 (an image pushed far out of range by earlier steps)
// would make dots wider than any picture; such dots are left out.
constexpr float kFarthestReach = 1.0e6f;
// Rows drawn together.
constexpr int kBandRows = 256;

struct Screen
{
    const CMYKTexture& texture;
    Quad* accumulator;
    int width;
    int height;
    float spacing;
    std::vector<float> grid; // the grid coordinates from -2D while below 2D
};

// Adds one dot of radius r at (t, v) into the ink's component, for the rows
// first..end - 1 only: 1 inside the radius, a one-pixel soft edge outside.
void drawDot(const Screen& screen, int ink, float t, float v, float r, int firstRow, int endRow)
{
    const int i0 = std::max(0, int(std::floor(t - r)) - 1);
    const int i1 = std::min(screen.width - 1, int(std::floor(t + r)) + 2);
    const int j0 = std::max(firstRow, int(std::floor(v - r)) - 1);
    const int j1 = std::min(endRow - 1, int(std::floor(v + r)) + 2);
    const float inner = r * r;
    const float outer = (r + 1.0f) * (r + 1.0f);
    for (int j = j0; j <= j1; ++j) {
        Quad* row = screen.accumulator + std::size_t(j) * std::size_t(screen.width);
        const float dy = v - (float(j) + 0.5f);
        for (int i = i0; i <= i1; ++i) {
            const float dx = t - (float(i) + 0.5f);
            const float q = dx * dx + dy * dy;
            if (q < outer)
                row[i][ink] += q <= inner ? 1.0f : 1.0f - (std::sqrt(q) - r);
        }
    }
}

// Narrows [low, high] to the x for which offset + coefficient x lies strictly
// between from and to.
void narrow(double coefficient, double offset, double from, double to, double& low, double& high)
{
    if (std::fabs(coefficient) < 1e-12) {
        if (!(offset > from && offset < to))
            high = low - 1.0;
        return;
    }
    const double a = (from - offset) / coefficient;
    const double b = (to - offset) / coefficient;
    low = std::max(low, std::min(a, b));
    high = std::min(high, std::max(a, b));
}

// One ink's dots, in grid order, for the rows first..end - 1. With everyCell
// every grid point is tried; otherwise only those whose cell may touch the
// picture and whose dot may reach those rows (the rest have nothing to draw,
// so the result is the same).
void screenInk(const Screen& screen, int ink, float angleOffset, float reach, bool everyCell, int firstRow, int endRow)
{
    const float theta = kInkAngles[ink] * 3.14159265f / 180.0f + angleOffset;
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    const float d = screen.spacing;
    const float half = d / 2.0f;
    const float cx = float(screen.width) / 2.0f;
    const float cy = float(screen.height) / 2.0f;
    const int steps = int(screen.grid.size());
    const double margin = double(d) + 2.0;

    for (int ky = 0; ky < steps; ++ky) {
        const float y = screen.grid[std::size_t(ky)];
        const float yt = (y - cy) * s;
        const float yv = (y - cy) * c;
        int kx0 = 0;
        int kx1 = steps - 1;
        if (!everyCell) {
            // t = X c - yt + cx and v = X s + yv + cy with X = x - cx.
            double low = -1e30, high = 1e30;
            narrow(c, double(cx) - yt, -half - margin, screen.width + half + margin, low, high);
            narrow(s, double(yv) + cy, double(firstRow) - reach - margin, double(endRow) + reach + margin, low, high);
            if (!(low <= high))
                continue;
            const double origin = screen.grid.front();
            kx0 = int(std::max(0.0, std::floor((low + cx - origin) / d) - 1.0));
            kx1 = int(std::min(double(steps - 1), std::ceil((high + cx - origin) / d) + 1.0));
        }
        for (int kx = kx0; kx <= kx1; ++kx) {
            const float x = screen.grid[std::size_t(kx)];
            const float t = (x - cx) * c - yt + cx;
            const float v = (x - cx) * s + yv + cy;
            const auto [ink_sum, weight] = screen.texture.areaOf(t - half, v - half, t + half, v + half,
                                                                 [ink](const Quad& q) { return q[ink]; });
            if (weight > 0.0f && ink_sum > 0.0f) {
                const float r = std::sqrt(ink_sum * 0.31830987f);
                if (r < kFarthestReach)
                    drawDot(screen, ink, t, v, r, firstRow, endRow);
            }
        }
    }
}

} // namespace

CICMYKHalftone::CICMYKHalftone(float angleOffset, float blackGeneration, float sharpness, float underColorRemoval,
                               float spacing)
    : m_angleOffset(angleOffset)
    , m_blackGeneration(blackGeneration)
    , m_sharpness(sharpness)
    , m_underColorRemoval(underColorRemoval)
    , m_spacing(spacing)
{
}

void CICMYKHalftone::apply(Quad* image, int width, int height, const FilterReference*) const
{
    run(image, width, height, false);
}

void CICMYKHalftone::applyVisitingEveryCell(Quad* image, int width, int height) const
{
    run(image, width, height, true);
}

void CICMYKHalftone::run(Quad* image, int width, int height, bool everyCell) const
{
    // A spacing of zero or less would never step across the grid; below one
    // pixel a dot no longer covers a pixel.
    if (width <= 0 || height <= 0 || !(m_spacing > 0.0f) || !std::isfinite(m_spacing))
        return;
    const float d = std::max(m_spacing, 1.0f);

    const CMYKTexture texture(image, width, height, m_blackGeneration, m_underColorRemoval);
    WorkingImage accumulator = WorkingImage::create(width, height);

    Screen screen{texture, accumulator.pixels(), width, height, d, {}};
    const float extent = 2.0f * float(std::max(width, height));
    for (int k = 0;; ++k) {
        const float value = -extent + float(k) * d;
        if (!(value < extent))
            break;
        screen.grid.push_back(value);
    }

    // How far a dot can reach: its radius for the most ink a cell can hold.
    float most = 0.0f;
    const Quad* samples = texture.samples();
    for (std::size_t i = 0, n = std::size_t(width) * std::size_t(height); i < n; ++i)
        for (int ink = 0; ink < 4; ++ink)
            most = std::max(most, samples[i][ink]);
    float reach = std::sqrt(most * (d + 2.0f) * (d + 2.0f) * 0.31830987f) + 3.0f;
    if (!(reach < kFarthestReach))
        reach = kFarthestReach;

    if (everyCell) {
        for (int ink = 0; ink < 4; ++ink)
            screenInk(screen, ink, m_angleOffset, reach, true, 0, height);
    } else {
        // Each band of rows draws the dots that reach into it, so that the
        // part of the accumulator being drawn stays in the cache and bands
        // can go to different threads; every pixel still receives its dots
        // in grid order.
        const int bands = (height + kBandRows - 1) / kBandRows;
        FilterExecution::forEachRowBand(bands, std::size_t(width) * kBandRows * 4, [&](int firstBand, int endBand) {
            for (int band = firstBand; band < endBand; ++band)
                for (int ink = 0; ink < 4; ++ink)
                    screenInk(screen, ink, m_angleOffset, reach, false, band * kBandRows,
                              std::min(height, (band + 1) * kBandRows));
        });
    }

    const float s = std::clamp(m_sharpness, 0.0f, 1.0f);
    const Quad* dots = accumulator.pixels();
    forEachPixel(image, width, height, [&](Quad& p) {
        const std::size_t index = std::size_t(&p - image);
        const Quad& base = samples[index];
        const Quad& dot = dots[index];
        const float cyan = base.r + (dot.r - base.r) * s;
        const float magenta = base.g + (dot.g - base.g) * s;
        const float yellow = base.b + (dot.b - base.b) * s;
        const float black = base.a + (dot.a - base.a) * s;
        p.r = 1.0f - (cyan * (1.0f - black) + black);
        p.g = 1.0f - (magenta * (1.0f - black) + black);
        p.b = 1.0f - (yellow * (1.0f - black) + black);
    });
}
