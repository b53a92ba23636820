#pragma once

// One pixel of the working image: four 32-bit floats. In a working image they
// are red, green, blue and alpha in linear light; a CMYK texture keeps cyan,
// magenta, yellow and black in the same four places.
struct Quad
{
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    float& operator[](int i) { return (&r)[i]; }
    float operator[](int i) const { return (&r)[i]; }

    friend bool operator==(const Quad&, const Quad&) = default;
};

inline Quad operator+(const Quad& p, const Quad& q) { return {p.r + q.r, p.g + q.g, p.b + q.b, p.a + q.a}; }
inline Quad operator-(const Quad& p, const Quad& q) { return {p.r - q.r, p.g - q.g, p.b - q.b, p.a - q.a}; }
inline Quad operator*(const Quad& p, float s) { return {p.r * s, p.g * s, p.b * s, p.a * s}; }
inline Quad operator*(float s, const Quad& p) { return {s * p.r, s * p.g, s * p.b, s * p.a}; }
inline Quad& operator+=(Quad& p, const Quad& q) { return p = p + q; }

// The luminance weights the filters use for their own colour arithmetic.
inline float luminance(const Quad& p) { return 0.2125f * p.r + 0.7154f * p.g + 0.0721f * p.b; }
// The weights of the luminance texture (a slightly different rounding of the
// same standard), kept apart because results depend on the difference.
inline float textureLuminance(const Quad& p) { return 0.2126f * p.r + 0.7152f * p.g + 0.0722f * p.b; }
