#pragma once

#include <cstdint>
#include <vector>

// The separable Gaussian blur of drop shadows, on 8-bit alpha.
//
// For a radius r the kernel has 2c + 1 taps, c = ceil(r), sigma = r / 3,
// weights exp(-i^2 / (2 sigma^2)) normalised to sum 1 and stored as 16.16
// fixed point (truncated); r = 0 is one tap of weight 1, an exact copy. Each
// output is the weighted sum of its row neighbours shifted right by 16;
// neighbours beyond either end repeat the end pixel. A horizontal pass, its
// result truncated to whole values, is followed by a vertical pass.
//
// The sums are carried in single-precision floats: every product and partial
// sum is an integer below 2^24, so the result equals the fixed-point one bit
// for bit while the loops vectorise. Symmetric taps are paired, and the
// vertical pass runs along rows, so neither pass needs a transposition.
class ShadowBlur
{
public:
    // Device radii are clamped to [0, kMaxRadius]; NaN and negative give 0.
    static constexpr float kMaxRadius = 128.0f;

    static float clampRadius(float radius);
    // The 2c + 1 weights, 16.16 fixed point, centre in the middle.
    static std::vector<std::int32_t> kernel(float radius);

    // Blurs a width x height buffer (rows of width bytes) in place.
    void blur(std::uint8_t* buffer, int width, int height, float radius);
    // Blurs every second pixel of every second row at radius / 2 and writes
    // each result back as a 2 x 2 block: a quarter of the work, for printing.
    void blurHalfResolution(std::uint8_t* buffer, int width, int height, float radius);

private:
    void horizontalPass(const std::uint8_t* source, int width, int height, std::uint8_t* target);
    void verticalPass(const std::uint8_t* source, int width, int height, std::uint8_t* target);

    std::vector<float> m_weights;  // centre first, then taps 1..c
    std::vector<float> m_row;
    std::vector<float> m_sum;
    std::vector<std::uint8_t> m_between;  // the horizontal pass's result
    std::vector<float> m_ring;            // the vertical pass's window of rows
    std::vector<int> m_ringRows;
    std::vector<std::uint8_t> m_half;
};
