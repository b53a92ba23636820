#include "ColorQuantizer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int kBins = 32 * 32 * 32;

int binOf(int r, int g, int b)
{
    return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
}

struct Box
{
    int lo[3] = {0, 0, 0};
    int hi[3] = {31, 31, 31};
    std::uint64_t population = 0;
};

class MedianCut
{
public:
    explicit MedianCut(const std::vector<std::uint32_t>& histogram) : m_histogram(histogram) {}

    QList<QRgb> palette(int colors)
    {
        std::vector<Box> boxes{shrink(Box())};
        if (boxes.front().population == 0)
            return {qRgb(0, 0, 0)};
        while (int(boxes.size()) < colors) {
            // Split the box with the most pixels along its longest side.
            auto candidate = std::max_element(boxes.begin(), boxes.end(), [this](const Box& a, const Box& b) {
                return splitWeight(a) < splitWeight(b);
            });
            if (splitWeight(*candidate) == 0)
                break;
            Box second;
            if (!split(*candidate, second))
                break;
            boxes.push_back(second);
        }
        QList<QRgb> result;
        for (const Box& box : boxes)
            result << average(box);
        return result;
    }

private:
    static int axisLength(const Box& box, int axis) { return box.hi[axis] - box.lo[axis]; }

    double splitWeight(const Box& box) const
    {
        const int longest = std::max({axisLength(box, 0), axisLength(box, 1), axisLength(box, 2)});
        return longest == 0 ? 0.0 : double(box.population) * std::sqrt(double(longest));
    }

    template <class Visit>
    void forEachBin(const Box& box, Visit visit) const
    {
        for (int r = box.lo[0]; r <= box.hi[0]; ++r)
            for (int g = box.lo[1]; g <= box.hi[1]; ++g)
                for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                    const std::uint32_t count = m_histogram[std::size_t((r << 10) | (g << 5) | b)];
                    if (count)
                        visit(r, g, b, count);
                }
    }

    // Tightens the box around the bins it holds and counts its pixels.
    Box shrink(Box box) const
    {
        Box tight;
        tight.lo[0] = tight.lo[1] = tight.lo[2] = 31;
        tight.hi[0] = tight.hi[1] = tight.hi[2] = 0;
        forEachBin(box, [&](int r, int g, int b, std::uint32_t count) {
            const int c[3] = {r, g, b};
            for (int i = 0; i < 3; ++i) {
                tight.lo[i] = std::min(tight.lo[i], c[i]);
                tight.hi[i] = std::max(tight.hi[i], c[i]);
            }
            tight.population += count;
        });
        return tight.population ? tight : box;
    }

    bool split(Box& box, Box& second) const
    {
        int axis = 0;
        for (int i = 1; i < 3; ++i) {
            if (axisLength(box, i) > axisLength(box, axis))
                axis = i;
        }
        std::array<std::uint64_t, 32> counts{};
        forEachBin(box, [&](int r, int g, int b, std::uint32_t count) {
            const int c[3] = {r, g, b};
            counts[std::size_t(c[axis])] += count;
        });
        std::uint64_t running = 0;
        int cut = box.lo[axis];
        for (int v = box.lo[axis]; v < box.hi[axis]; ++v) {
            running += counts[std::size_t(v)];
            cut = v;
            if (running * 2 >= box.population)
                break;
        }
        Box first = box;
        second = box;
        first.hi[axis] = cut;
        second.lo[axis] = cut + 1;
        first = shrink(first);
        second = shrink(second);
        if (first.population == 0 || second.population == 0)
            return false;
        box = first;
        return true;
    }

    QRgb average(const Box& box) const
    {
        double sum[3] = {0, 0, 0};
        double total = 0;
        forEachBin(box, [&](int r, int g, int b, std::uint32_t count) {
            sum[0] += (r * 8 + 4) * double(count);
            sum[1] += (g * 8 + 4) * double(count);
            sum[2] += (b * 8 + 4) * double(count);
            total += count;
        });
        if (total == 0)
            return qRgb(0, 0, 0);
        return qRgb(int(std::lround(sum[0] / total)), int(std::lround(sum[1] / total)), int(std::lround(sum[2] / total)));
    }

    const std::vector<std::uint32_t>& m_histogram;
};

// Nearest palette entry per 5-bit bin, found on first use.
class NearestColor
{
public:
    explicit NearestColor(const QList<QRgb>& palette, int count) : m_palette(palette), m_count(count), m_cache(kBins, -1) {}

    int operator()(int r, int g, int b)
    {
        int& cached = m_cache[std::size_t(binOf(r, g, b))];
        if (cached < 0)
            cached = search(r, g, b);
        return cached;
    }

private:
    int search(int r, int g, int b) const
    {
        int best = 0;
        long bestDistance = -1;
        for (int i = 0; i < m_count; ++i) {
            const long dr = qRed(m_palette[i]) - r, dg = qGreen(m_palette[i]) - g, db = qBlue(m_palette[i]) - b;
            const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (bestDistance < 0 || distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        return best;
    }

    const QList<QRgb>& m_palette;
    int m_count;
    std::vector<int> m_cache;
};

} // namespace

ColorQuantizer::Result ColorQuantizer::quantize(const QImage& source, int maxColors, bool dither)
{
    Result result;
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    result.width = image.width();
    result.height = image.height();
    if (image.isNull())
        return result;
    maxColors = std::clamp(maxColors, 2, 256);

    std::vector<std::uint32_t> histogram(kBins, 0);
    bool anyTransparent = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) < 128)
                anyTransparent = true;
            else
                ++histogram[std::size_t(binOf(qRed(row[x]), qGreen(row[x]), qBlue(row[x])))];
        }
    }
    result.palette = MedianCut(histogram).palette(anyTransparent ? maxColors - 1 : maxColors);
    const int opaqueCount = int(result.palette.size());
    if (anyTransparent) {
        result.transparentIndex = opaqueCount;
        result.palette << qRgb(0, 0, 0);
    }

    NearestColor nearest(result.palette, opaqueCount);
    result.indices.assign(std::size_t(image.width()) * std::size_t(image.height()), 0);
    // Error rows for Floyd–Steinberg: this row and the next, with a margin pixel each side.
    std::vector<std::array<int, 3>> current(std::size_t(image.width()) + 2), next(std::size_t(image.width()) + 2);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::fill(next.begin(), next.end(), std::array<int, 3>{0, 0, 0});
        std::uint8_t* out = result.indices.data() + std::size_t(y) * std::size_t(image.width());
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) < 128) {
                out[x] = std::uint8_t(result.transparentIndex);
                continue;
            }
            const std::array<int, 3>& error = current[std::size_t(x) + 1];
            const int wanted[3] = {
                std::clamp(qRed(row[x]) + (dither ? error[0] / 16 : 0), 0, 255),
                std::clamp(qGreen(row[x]) + (dither ? error[1] / 16 : 0), 0, 255),
                std::clamp(qBlue(row[x]) + (dither ? error[2] / 16 : 0), 0, 255),
            };
            const int index = nearest(wanted[0], wanted[1], wanted[2]);
            out[x] = std::uint8_t(index);
            if (!dither)
                continue;
            const QRgb chosen = result.palette[index];
            const int diff[3] = {wanted[0] - qRed(chosen), wanted[1] - qGreen(chosen), wanted[2] - qBlue(chosen)};
            for (int c = 0; c < 3; ++c) {
                current[std::size_t(x) + 2][std::size_t(c)] += diff[c] * 7;
                next[std::size_t(x)][std::size_t(c)] += diff[c] * 3;
                next[std::size_t(x) + 1][std::size_t(c)] += diff[c] * 5;
                next[std::size_t(x) + 2][std::size_t(c)] += diff[c];
            }
        }
        std::swap(current, next);
    }
    return result;
}
