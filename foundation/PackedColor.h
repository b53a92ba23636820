#pragma once

#include <cstdint>

// One colour word: alpha in bits 24-31, then red, green, blue.
using PackedColor = std::uint32_t;

constexpr PackedColor kOpaqueBlack = 0xFF000000u;
constexpr PackedColor kOpaqueWhite = 0xFFFFFFFFu;

constexpr PackedColor packColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255)
{
    return (PackedColor(a) << 24) | (PackedColor(r) << 16) | (PackedColor(g) << 8) | PackedColor(b);
}
constexpr std::uint8_t colorAlpha(PackedColor c) { return std::uint8_t(c >> 24); }
constexpr std::uint8_t colorRed(PackedColor c) { return std::uint8_t(c >> 16); }
constexpr std::uint8_t colorGreen(PackedColor c) { return std::uint8_t(c >> 8); }
constexpr std::uint8_t colorBlue(PackedColor c) { return std::uint8_t(c); }

// A component in 0..1 as a byte, rounded to nearest and clamped, so that a byte
// written as byte/255 with six decimals reads back as itself. NaN gives 0.
std::uint8_t colorByteFromUnit(double unit);
