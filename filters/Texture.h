#pragma once

#include "Quad.h"
#include "WorkingImage.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>

// A grid of samples (float or Quad) with the lookups filters use to read
// neighbourhoods and cell averages. Integer parts are floors, also for
// negative coordinates.
template <class T>
class Texture
{
public:
    struct AreaSum
    {
        T sum{};
        float weight = 0.0f;
    };

    // Allocates width x height zero samples; throws std::bad_alloc.
    Texture(int width, int height) : Texture(width, height, true) {}
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    virtual ~Texture() = default;

    int width() const { return m_width; }
    int height() const { return m_height; }
    T* samples() { return m_samples.get(); }
    const T* samples() const { return m_samples.get(); }

    virtual T sampleRaw(int column, int row) const { return raw(column, row); }
    virtual T sampleClamped(int column, int row) const { return clamped(column, row); }
    virtual T sampleBilinear(float u, float v) const { return bilinearPixels(float(m_width) * u, float(m_height) * v); }
    virtual T sampleBilinearPixels(float x, float y) const { return bilinearPixels(x, y); }
    virtual AreaSum areaSum(float x0, float y0, float x1, float y1) const { return area(x0, y0, x1, y1); }

    // The same lookups without the virtual call, for the inner loops.
    T raw(int column, int row) const { return m_samples[std::size_t(row) * std::size_t(m_width) + std::size_t(column)]; }
    T clamped(int column, int row) const
    {
        return raw(std::clamp(column, 0, m_width - 1), std::clamp(row, 0, m_height - 1));
    }
    T bilinearPixels(float x, float y) const
    {
        const float c = std::floor(x);
        const float d = std::floor(y);
        const int ci = toIndex(c);
        const int di = toIndex(d);
        const float fx = std::clamp(x - c, 0.0f, 1.0f);
        const float fy = std::clamp(y - d, 0.0f, 1.0f);
        const T top = clamped(ci, di) * (1.0f - fx) + clamped(ci + 1, di) * fx;
        const T bottom = clamped(ci, di + 1) * (1.0f - fx) + clamped(ci + 1, di + 1) * fx;
        return top * (1.0f - fy) + bottom * fy;
    }

    // Coverage-weighted sum over the rectangle (x0, y0)-(x1, y1): the first
    // and last column (row) of the rectangle count by the part of them it
    // covers, the others fully. Coordinates outside the grid read the edge
    // samples; a rectangle entirely outside sums to nothing with weight 0.
    AreaSum area(float x0, float y0, float x1, float y1) const
    {
        const auto sum = areaOf(x0, y0, x1, y1, [](const T& sample) { return sample; });
        return AreaSum{sum.first, sum.second};
    }

    // The same sum of project(sample) (one channel of a Quad, say) and the
    // total weight, computed with the same operations in the same order.
    template <class Project>
    auto areaOf(float x0, float y0, float x1, float y1, Project project) const
        -> std::pair<decltype(project(std::declval<T>())), float>
    {
        using Sum = decltype(project(std::declval<T>()));
        Sum sum{};
        float total = 0.0f;
        if (!(x1 > 0.0f && y1 > 0.0f && x0 < float(m_width) && y0 < float(m_height)) || !(x1 > x0 && y1 > y0))
            return {sum, total};
        const float fc0 = std::floor(x0), fc1 = std::floor(x1);
        const float fr0 = std::floor(y0), fr1 = std::floor(y1);
        const int c0 = toIndex(fc0), c1 = toIndex(fc1);
        const int r0 = toIndex(fr0), r1 = toIndex(fr1);
        for (int r = r0; r <= r1; ++r) {
            const float rowWeight = edgeWeight(r, r0, r1, fr0, fr1, y0, y1);
            if (rowWeight <= 0.0f)
                continue;
            for (int c = c0; c <= c1; ++c) {
                const float weight = edgeWeight(c, c0, c1, fc0, fc1, x0, x1) * rowWeight;
                if (weight <= 0.0f)
                    continue;
                sum = sum + project(clamped(c, r)) * weight;
                total += weight;
            }
        }
        return {sum, total};
    }

protected:
    // For textures that fill every sample themselves: zeroed false.
    Texture(int width, int height, bool zeroed)
        : m_width(std::max(0, width))
        , m_height(std::max(0, height))
        , m_samples(allocatePixels<T>(std::size_t(m_width) * std::size_t(m_height), zeroed))
    {
        if (!m_samples)
            throw std::bad_alloc();
    }

private:
    // Coordinates far outside the grid read the edge anyway; keeping them in
    // a few times the grid's size keeps the conversion defined.
    int toIndex(float f) const
    {
        const float limit = float(std::max(m_width, m_height)) * 4.0f + 8.0f;
        return int(std::clamp(f, -limit, limit));
    }

    static float edgeWeight(int index, int first, int last, float floorFirst, float floorLast, float from, float to)
    {
        if (first == last)
            return to - from;
        if (index == first && from != floorFirst)
            return floorFirst + 1.0f - from;
        if (index == last)
            return to - floorLast;
        return 1.0f;
    }

    int m_width;
    int m_height;
    PixelBuffer<T> m_samples;
};

// The texture luminance of every pixel of a working image.
class LuminanceTexture final : public Texture<float>
{
public:
    LuminanceTexture(const Quad* image, int width, int height);
};

// The CMYK value of every pixel (cyan, magenta, yellow, black in the four
// places of a Quad), for black generation g and under-colour removal u.
class CMYKTexture final : public Texture<Quad>
{
public:
    CMYKTexture(const Quad* image, int width, int height, float blackGeneration, float underColorRemoval);
};

// c = 1 - red, m = 1 - green, y = 1 - blue, k = the least of them; black is
// (g k) squared and is taken out of the three colours by u.
Quad rgbToCmyk(float red, float green, float blue, float blackGeneration, float underColorRemoval);
