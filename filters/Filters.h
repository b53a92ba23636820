#pragma once

#include "CIFilter.h"

#include "Geometry.h"

// The filters the presets chain together. Each holds the parameters of its
// constructor (some stored but without effect, as noted) and works on the
// linear-light working image; unless noted only red, green and blue change.

// Dots of cyan, magenta, yellow and black on rotated screens, each dot's area
// equal to the ink under its cell.
class CICMYKHalftone final : public CIFilter
{
public:
    CICMYKHalftone(float angleOffset, float blackGeneration, float sharpness, float underColorRemoval, float spacing);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float angleOffset() const { return m_angleOffset; }
    float blackGeneration() const { return m_blackGeneration; }
    float sharpness() const { return m_sharpness; }
    float underColorRemoval() const { return m_underColorRemoval; }
    float spacing() const { return m_spacing; }

    // Every grid cell visited, as simply as the screen is described; the
    // ordinary apply visits only the cells that touch the picture and must
    // give the same bytes.
    void applyVisitingEveryCell(Quad* image, int width, int height) const;

private:
    void run(Quad* image, int width, int height, bool everyCell) const;

    float m_angleOffset;
    float m_blackGeneration;
    float m_sharpness;
    float m_underColorRemoval;
    float m_spacing;
};

// Brightness added, contrast about 0.5, saturation against the luminance.
class CIColorControls final : public CIFilter
{
public:
    CIColorControls(float brightness, float contrast, float saturation);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float brightness() const { return m_brightness; }
    float contrast() const { return m_contrast; }
    float saturation() const { return m_saturation; }

private:
    float m_brightness;
    float m_contrast;
    float m_saturation;
};

class CIColorInvert final : public CIFilter
{
public:
    CIColorInvert() = default;
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;
};

// An overlay tint of a colour (its alpha ignored) mixed in by intensity; the
// result is composited over opaque black.
class CIColorMonochrome final : public CIFilter
{
public:
    CIColorMonochrome(Quad color, float intensity);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    Quad color() const { return m_color; }
    float intensity() const { return m_intensity; }

private:
    Quad m_color;
    float m_intensity;
};

// floor(levels - 1) + 1 levels per channel, premultiplied by alpha. Fewer
// than two levels (or no number) posterize to two.
class CIColorPosterize final : public CIFilter
{
public:
    explicit CIColorPosterize(float levels);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float levels() const { return m_levels; }

private:
    float m_levels;
};

// The texture luminance mapped onto the line from colour 0 to colour 1.
class CIFalseColor final : public CIFilter
{
public:
    CIFalseColor(Quad color0, Quad color1);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    Quad color0() const { return m_color0; }
    Quad color1() const { return m_color1; }

private:
    Quad m_color0;
    Quad m_color1;
};

// All four channels blurred.
class CIGaussianBlur final : public CIFilter
{
public:
    explicit CIGaussianBlur(float radius);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float radius() const { return m_radius; }

private:
    float m_radius;
};

// Darkens towards a blurred copy: each channel moves towards the lesser of
// itself and its blur. The radius follows the reference picture's size;
// without a reference the filter does nothing.
class CIGloom final : public CIFilter
{
public:
    CIGloom(float radius, float intensity);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float radius() const { return m_radius; }
    float intensity() const { return m_intensity; }

private:
    float m_radius;
    float m_intensity;
};

// Smooths pixels in flat neighbourhoods and sharpens the others.
// Sharpness is kept but has no effect.
class CINoiseReduction final : public CIFilter
{
public:
    CINoiseReduction(float noiseLevel, float sharpness);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float noiseLevel() const { return m_noiseLevel; }
    float sharpness() const { return m_sharpness; }

private:
    float m_noiseLevel;
    float m_sharpness;
};

// Re-expresses each pixel around the texture luminance (a slight shift of
// the luminance weighting). Sharpness is kept but has no effect.
class CISharpenLuminance final : public CIFilter
{
public:
    explicit CISharpenLuminance(float sharpness);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float sharpness() const { return m_sharpness; }

private:
    float m_sharpness;
};

// Adds the difference from a blurred copy. The radius follows the reference
// picture's size; without a reference the filter does nothing.
class CIUnsharpMask final : public CIFilter
{
public:
    CIUnsharpMask(float intensity, float radius);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float intensity() const { return m_intensity; }
    float radius() const { return m_radius; }

private:
    float m_intensity;
    float m_radius;
};

// A grey engraving of crossed hatches over the picture posterized to 8
// levels. The centre is not kept; sharpness is kept without effect.
class CIHatchedScreen final : public CIFilter
{
public:
    CIHatchedScreen(Point center, float angle, float width, float sharpness);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float angle() const { return m_angle; }
    // Half the width given.
    float halfWidth() const { return m_halfWidth; }
    float sharpness() const { return m_sharpness; }

private:
    float m_angle;
    float m_halfWidth;
    float m_sharpness;
};

// Grey parallel lines of a whole-pixel period (the width rounded up) over the
// picture posterized to 16 levels. Centre and sharpness are kept without effect.
class CILineScreen final : public CIFilter
{
public:
    CILineScreen(float angle, Point center, float sharpness, float width);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float angle() const { return m_angle; }
    Point center() const { return m_center; }
    float sharpness() const { return m_sharpness; }
    int period() const { return m_period; }

private:
    float m_angle;
    Point m_center;
    float m_sharpness;
    int m_period;
};

// The earlier line screen: lines added to the texture luminance, without
// posterizing or tone curve. It keeps the angle turned by a quarter.
class CILineScreenOldVersion final : public CIFilter
{
public:
    CILineScreenOldVersion(float angle, Point center, float sharpness, float width);
    void apply(Quad* image, int width, int height, const FilterReference* reference) const override;

    float angle() const { return m_angle; }
    Point center() const { return m_center; }
    float sharpness() const { return m_sharpness; }
    int period() const { return m_period; }

private:
    float m_angle;
    Point m_center;
    float m_sharpness;
    int m_period;
};
