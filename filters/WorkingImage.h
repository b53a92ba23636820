#pragma once

#include "Quad.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class QImage;

// Memory for picture-sized buffers: aligned so that the system can back it
// with huge pages (far fewer page faults on a 100 MB working image), freed
// by PixelMemoryRelease with the same byte count. Null on failure; zeroed
// only when asked.
void* allocatePixelMemory(std::size_t bytes, bool zeroed) noexcept;

struct PixelMemoryRelease
{
    std::size_t bytes = 0;
    void operator()(void* memory) const noexcept;
};
template <class T>
using PixelBuffer = std::unique_ptr<T[], PixelMemoryRelease>;

template <class T>
PixelBuffer<T> allocatePixels(std::size_t count, bool zeroed)
{
    const std::size_t bytes = count * sizeof(T);
    return PixelBuffer<T>(static_cast<T*>(allocatePixelMemory(bytes, zeroed)), PixelMemoryRelease{bytes});
}

// Picture memory held now and at most since the last reset, for benchmarks.
std::size_t pixelMemoryInUse();
std::size_t pixelMemoryPeak();
void resetPixelMemoryPeak();

// A row-major array of width x height Quads, row 0 first. The size is
// computed in size_t and allocation never throws: a picture too large for
// memory yields an empty working image, which callers treat as "no picture".
class WorkingImage
{
public:
    // Pictures beyond this many pixels (8 GiB of floats) are refused outright.
    static constexpr std::size_t kMaximumPixels = std::size_t(1) << 29;

    WorkingImage() = default;
    WorkingImage(WorkingImage&&) noexcept = default;
    WorkingImage& operator=(WorkingImage&&) noexcept = default;

    enum class Contents
    {
        Zero,
        Undefined, // for images that are written in full before being read
    };

    // Allocates width x height pixels. False (and empty) when a size is
    // negative, the count exceeds kMaximumPixels or memory runs out; a size of
    // 0 succeeds with no pixels.
    bool allocate(int width, int height, Contents contents = Contents::Zero);
    // The same, throwing std::bad_alloc on failure: for the temporaries of a
    // filter, whose failure abandons the whole run.
    static WorkingImage create(int width, int height, Contents contents = Contents::Zero);
    // A copy of pixels; throws std::bad_alloc on failure.
    static WorkingImage copyOf(const Quad* pixels, int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::size_t pixelCount() const { return std::size_t(m_width) * std::size_t(m_height); }
    bool isEmpty() const { return pixelCount() == 0; }

    Quad* pixels() { return m_pixels.get(); }
    const Quad* pixels() const { return m_pixels.get(); }
    Quad* row(int y) { return m_pixels.get() + std::size_t(y) * std::size_t(m_width); }
    const Quad* row(int y) const { return m_pixels.get() + std::size_t(y) * std::size_t(m_width); }
    Quad& at(int x, int y) { return row(y)[x]; }
    const Quad& at(int x, int y) const { return row(y)[x]; }

private:
    int m_width = 0;
    int m_height = 0;
    PixelBuffer<Quad> m_pixels;
};

// The byte-to-linear table of the way in: entry i = (i / 255) ^ 1.8.
const float* decodingTable();
// The way out for one channel: clamped into 0..1, raised to 1 / 1.8, times 255,
// rounded down. NaN gives 0.
std::uint8_t encodeChannel(float value);

// Fills image from picture: colours through the decoding table, alpha from the
// fourth byte only when the picture has an alpha channel (else 1). Colours are
// read premultiplied, as a picture with alpha is stored. False on a null
// picture of non-zero size or when memory runs out.
bool workingImageFromPicture(const QImage& picture, WorkingImage& image);
// The picture of a working image: encoded colours, no alpha (RGB32, the
// fourth byte 0xFF). A null picture when memory runs out.
QImage pictureFromWorkingImage(const WorkingImage& image);
