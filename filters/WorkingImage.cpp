#include "WorkingImage.h"

#include "FilterExecution.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/mman.h>

namespace {
std::atomic<std::size_t> g_pixelMemory{0};
std::atomic<std::size_t> g_pixelMemoryPeak{0};
} // namespace

std::size_t pixelMemoryInUse() { return g_pixelMemory; }
std::size_t pixelMemoryPeak() { return g_pixelMemoryPeak; }
void resetPixelMemoryPeak() { g_pixelMemoryPeak = std::size_t(g_pixelMemory); }

void* allocatePixelMemory(std::size_t bytes, bool zeroed) noexcept
{
    constexpr std::size_t kHugePage = std::size_t(2) << 20;
    void* memory = nullptr;
    if (bytes >= 2 * kHugePage) {
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        memory = std::aligned_alloc(kHugePage, rounded);
#ifdef MADV_HUGEPAGE
        if (memory)
            madvise(memory, rounded, MADV_HUGEPAGE);
#endif
    } else {
        memory = std::malloc(bytes ? bytes : 1);
    }
    if (!memory)
        return nullptr;
    if (zeroed)
        std::memset(memory, 0, bytes);
    const std::size_t now = g_pixelMemory += bytes;
    std::size_t peak = g_pixelMemoryPeak;
    while (now > peak && !g_pixelMemoryPeak.compare_exchange_weak(peak, now)) {
    }
    return memory;
}

void PixelMemoryRelease::operator()(void* memory) const noexcept
{
    if (memory) {
        g_pixelMemory -= bytes;
        std::free(memory);
    }
}

bool WorkingImage::allocate(int width, int height, Contents contents)
{
    m_pixels.reset();
    m_width = 0;
    m_height = 0;
    if (width < 0 || height < 0)
        return false;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    if (count > kMaximumPixels)
        return false;
    if (count > 0) {
        m_pixels = allocatePixels<Quad>(count, contents == Contents::Zero);
        if (!m_pixels)
            return false;
    }
    m_width = width;
    m_height = height;
    return true;
}

WorkingImage WorkingImage::create(int width, int height, Contents contents)
{
    WorkingImage image;
    if (!image.allocate(width, height, contents))
        throw std::bad_alloc();
    return image;
}

WorkingImage WorkingImage::copyOf(const Quad* pixels, int width, int height)
{
    WorkingImage image = create(width, height, Contents::Undefined);
    if (!image.isEmpty())
        std::memcpy(static_cast<void*>(image.pixels()), pixels, image.pixelCount() * sizeof(Quad));
    return image;
}

namespace {

// Decoding is computed in double and stored as float; encoding raises to the
// single-precision 1 / 1.8. Together they bring most bytes back one step lower
// after a round trip and never one higher.
const double kDecodingGamma = 1.8;
const double kEncodingExponent = double(1.0f / 1.8f);

int encodeDirect(float value)
{
    return int(std::floor(std::pow(double(value), kEncodingExponent) * 255.0));
}

struct Tables
{
    std::array<float, 256> decode{};
    // threshold[k]: the smallest float in 0..1 that encodes to k or more.
    std::array<float, 256> threshold{};
    // bucket[i]: the byte of the value i / kBuckets.
    static constexpr int kBuckets = 4096;
    std::array<std::uint8_t, kBuckets> bucket{};

    Tables()
    {
        for (int i = 0; i < 256; ++i)
            decode[std::size_t(i)] = float(std::pow(i / 255.0, kDecodingGamma));
        // Encoding is monotonic, so a binary search over the bit patterns of
        // the floats in 0..1 finds where each byte begins.
        threshold[0] = 0.0f;
        for (int k = 1; k < 256; ++k) {
            std::uint32_t low = 0;
            std::uint32_t high = 0x3F800000u; // 1.0f
            while (low < high) {
                const std::uint32_t middle = low + (high - low) / 2;
                float f;
                std::memcpy(&f, &middle, sizeof f);
                if (encodeDirect(f) >= k)
                    high = middle;
                else
                    low = middle + 1;
            }
            std::memcpy(&threshold[std::size_t(k)], &low, sizeof(float));
        }
        for (int i = 0; i < kBuckets; ++i) {
            const float start = float(i) / float(kBuckets);
            int k = 0;
            while (k < 255 && start >= threshold[std::size_t(k) + 1])
                ++k;
            bucket[std::size_t(i)] = std::uint8_t(k);
        }
    }
};

const Tables& tables()
{
    static const Tables instance;
    return instance;
}

// A bucket table finds the byte at the low end of the value's bucket; the
// thresholds then step up to the exact byte (rarely more than one step, a few
// near black where the curve is steep). Identical to clamping and encoding
// directly. Values below 0 and NaN give 0; values above 1 give 255.
inline std::uint8_t encodeWith(const Tables& t, float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 255;
    int k = t.bucket[std::size_t(value * float(Tables::kBuckets))];
    while (k < 255 && value >= t.threshold[std::size_t(k) + 1])
        ++k;
    return std::uint8_t(k);
}

} // namespace

const float* decodingTable() { return tables().decode.data(); }

std::uint8_t encodeChannel(float value) { return encodeWith(tables(), value); }

bool workingImageFromPicture(const QImage& picture, WorkingImage& image)
{
    if (picture.isNull())
        return false;
    // A picture with alpha is read premultiplied; one without gets alpha 1,
    // whatever its fourth byte holds.
    const bool withAlpha = picture.hasAlphaChannel();
    const QImage::Format format = withAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const QImage source = picture.format() == format ? picture : picture.convertToFormat(format);
    if (source.isNull() || !image.allocate(source.width(), source.height(), WorkingImage::Contents::Undefined))
        return false;
    const float* decode = decodingTable();
    const int width = image.width();
    const uchar* bits = source.constBits();
    const qsizetype stride = source.bytesPerLine();
    FilterExecution::forEachRowBand(image.height(), std::size_t(width), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const QRgb* in = reinterpret_cast<const QRgb*>(bits + stride * y);
            Quad* out = image.row(y);
            for (int x = 0; x < width; ++x) {
                const QRgb p = in[x];
                out[x] = Quad{decode[qRed(p)], decode[qGreen(p)], decode[qBlue(p)],
                              withAlpha ? float(qAlpha(p)) / 255.0f : 1.0f};
            }
        }
    });
    return true;
}

QImage pictureFromWorkingImage(const WorkingImage& image)
{
    QImage picture(image.width(), image.height(), QImage::Format_RGB32);
    if (picture.isNull() && !image.isEmpty())
        return QImage();
    const Tables& t = tables();
    const int width = image.width();
    uchar* bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    FilterExecution::forEachRowBand(image.height(), std::size_t(width), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const Quad* in = image.row(y);
            QRgb* out = reinterpret_cast<QRgb*>(bits + stride * y);
            for (int x = 0; x < width; ++x)
                out[x] = qRgb(encodeWith(t, in[x].r), encodeWith(t, in[x].g), encodeWith(t, in[x].b));
        }
    });
    return picture;
}
