#include "ShadowBlur.h"

#include <algorithm>
#include <cmath>
#include <cstring>

float ShadowBlur::clampRadius(float radius)
{
    if (!(radius > 0.0f))
        return 0.0f;
    return std::min(radius, kMaxRadius);
}

std::vector<std::int32_t> ShadowBlur::kernel(float radius)
{
    radius = clampRadius(radius);
    if (radius == 0.0f)
        return {65536};
    const int c = int(std::ceil(radius));
    const double sigma = double(radius) / 3.0;
    std::vector<double> weights(size_t(2 * c + 1));
    double sum = 0.0;
    for (int i = -c; i <= c; ++i) {
        weights[size_t(i + c)] = std::exp(-double(i) * double(i) / (2.0 * sigma * sigma));
        sum += weights[size_t(i + c)];
    }
    std::vector<std::int32_t> fixed(weights.size());
    for (size_t i = 0; i < weights.size(); ++i)
        fixed[i] = std::int32_t(weights[i] / sum * 65536.0);
    return fixed;
}

void ShadowBlur::horizontalPass(const std::uint8_t* source, int width, int height, std::uint8_t* target)
{
    const int c = int(m_weights.size()) - 1;
    m_row.resize(size_t(width + 2 * c));
    m_sum.resize(size_t(width));
    float* __restrict row = m_row.data();
    float* __restrict sum = m_sum.data();
    const float* w = m_weights.data();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = source + size_t(y) * size_t(width);
        std::uint8_t* out = target + size_t(y) * size_t(width);
        // Rows that are all zero (the margins) blur to zero.
        bool empty = true;
        for (int x = 0; x < width && empty; ++x)
            empty = s[x] == 0;
        if (empty) {
            std::fill(out, out + width, std::uint8_t(0));
            continue;
        }
        for (int i = 0; i < c; ++i) {
            row[i] = float(s[0]);
            row[c + width + i] = float(s[width - 1]);
        }
        for (int x = 0; x < width; ++x)
            row[c + x] = float(s[x]);
        const float* centre = row + c;
        const float w0 = w[0];
        for (int x = 0; x < width; ++x)
            sum[x] = w0 * centre[x];
        for (int k = 1; k <= c; ++k) {
            const float wk = w[k];
            const float* left = centre - k;
            const float* right = centre + k;
            for (int x = 0; x < width; ++x)
                sum[x] += wk * (left[x] + right[x]);
        }
        for (int x = 0; x < width; ++x)
            out[x] = std::uint8_t(std::int32_t(sum[x]) >> 16);
    }
}

void ShadowBlur::verticalPass(const std::uint8_t* source, int width, int height, std::uint8_t* target)
{
    const int c = int(m_weights.size()) - 1;
    const int window = 2 * c + 1;
    m_sum.resize(size_t(width));
    // The rows of the window as floats, each converted once: a source row r
    // lives in slot r % window, unique among the window's consecutive rows.
    m_ring.resize(size_t(window) * size_t(width));
    m_ringRows.assign(size_t(window), -1);
    const auto rowAt = [&](int r) {
        r = std::clamp(r, 0, height - 1);
        const size_t slot = size_t(r % window);
        float* row = m_ring.data() + slot * size_t(width);
        if (m_ringRows[slot] != r) {
            const std::uint8_t* s = source + size_t(r) * size_t(width);
            for (int x = 0; x < width; ++x)
                row[x] = float(s[x]);
            m_ringRows[slot] = r;
        }
        return static_cast<const float*>(row);
    };
    float* __restrict sum = m_sum.data();
    const float* w = m_weights.data();
    for (int y = 0; y < height; ++y) {
        const float* __restrict centre = rowAt(y);
        const float w0 = w[0];
        for (int x = 0; x < width; ++x)
            sum[x] = w0 * centre[x];
        for (int k = 1; k <= c; ++k) {
            const float wk = w[k];
            const float* __restrict above = rowAt(y - k);
            const float* __restrict below = rowAt(y + k);
            for (int x = 0; x < width; ++x)
                sum[x] += wk * (above[x] + below[x]);
        }
        std::uint8_t* out = target + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x)
            out[x] = std::uint8_t(std::int32_t(sum[x]) >> 16);
    }
}

void ShadowBlur::blur(std::uint8_t* buffer, int width, int height, float radius)
{
    if (width <= 0 || height <= 0)
        return;
    const std::vector<std::int32_t> fixed = kernel(radius);
    const int c = int(fixed.size() / 2);
    if (c == 0)
        return;  // one tap of weight 1: the buffer is its own blur
    m_weights.resize(size_t(c + 1));
    for (int k = 0; k <= c; ++k)
        m_weights[size_t(k)] = float(fixed[size_t(c + k)]);
    m_between.resize(size_t(width) * size_t(height));
    horizontalPass(buffer, width, height, m_between.data());
    verticalPass(m_between.data(), width, height, buffer);
}

void ShadowBlur::blurHalfResolution(std::uint8_t* buffer, int width, int height, float radius)
{
    if (width <= 0 || height <= 0)
        return;
    const int hw = (width + 1) / 2;
    const int hh = (height + 1) / 2;
    m_half.resize(size_t(hw) * size_t(hh));
    for (int y = 0; y < hh; ++y)
        for (int x = 0; x < hw; ++x)
            m_half[size_t(y) * size_t(hw) + size_t(x)] = buffer[size_t(2 * y) * size_t(width) + size_t(2 * x)];
    blur(m_half.data(), hw, hh, clampRadius(radius) / 2.0f);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* h = m_half.data() + size_t(y / 2) * size_t(hw);
        std::uint8_t* out = buffer + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x)
            out[x] = h[x / 2];
    }
}
