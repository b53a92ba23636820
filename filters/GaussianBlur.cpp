#include "GaussianBlur.h"

#include "FilterExecution.h"
#include "WorkingImage.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PANELORA_HAVE_AVX2_PATH 1
#endif

GaussianKernel gaussianKernel(float radius)
{
    GaussianKernel kernel;
    if (!(radius > 0.0f))
        return kernel;
    const int h = int(std::min(std::ceil(double(radius)), double(kMaximumBlurHalfWidth)));
    const double sigma = double(radius * 0.33333334f);
    const double scale = 1.0 / std::sqrt(2.0 * M_PI * sigma);
    std::vector<double> weights(std::size_t(2 * h + 1));
    double sum = 0.0;
    for (int i = -h; i <= h; ++i) {
        const double w = std::clamp(std::exp(-double(i) * double(i) / (2.0 * sigma * sigma)) * scale, 0.0, 1.0);
        weights[std::size_t(i + h)] = w;
        sum += w;
    }
    kernel.halfWidth = h;
    kernel.taps.resize(weights.size());
    for (std::size_t i = 0; i < weights.size(); ++i)
        kernel.taps[i] = float(weights[i] / sum);
    return kernel;
}

namespace {

// Rows blurred together, so that the transposed writes go out in runs.
constexpr int kBlockRows = 8;

// out[j] for a row padded by h samples on each side (padded[k] is the sample
// at k - h). Four outputs at a time keep independent sums in flight; every
// output is computed with the same operations in the same order.
void blurRowPlain(const Quad* padded, Quad* out, int length, const float* taps, int h)
{
    const float centre = taps[h];
    int j = 0;
    for (; j + 4 <= length; j += 4) {
        Quad acc0 = centre * padded[j + h];
        Quad acc1 = centre * padded[j + 1 + h];
        Quad acc2 = centre * padded[j + 2 + h];
        Quad acc3 = centre * padded[j + 3 + h];
        for (int l = 0; l < h; ++l) {
            const float t = taps[l];
            const Quad* a = padded + j + l;
            const Quad* b = padded + j + 2 * h - l;
            acc0 = acc0 + t * (a[0] + b[0]);
            acc1 = acc1 + t * (a[1] + b[1]);
            acc2 = acc2 + t * (a[2] + b[2]);
            acc3 = acc3 + t * (a[3] + b[3]);
        }
        out[j] = acc0;
        out[j + 1] = acc1;
        out[j + 2] = acc2;
        out[j + 3] = acc3;
    }
    for (; j < length; ++j) {
        Quad acc = centre * padded[j + h];
        for (int l = 0; l < h; ++l)
            acc = acc + taps[l] * (padded[j + l] + padded[j + 2 * h - l]);
        out[j] = acc;
    }
}

#ifdef PANELORA_HAVE_AVX2_PATH
// The same sums, two pixels to a register and eight pixels per step.
__attribute__((target("avx2"))) void blurRowAvx2(const Quad* padded, Quad* out, int length, const float* taps, int h)
{
    const float* p = reinterpret_cast<const float*>(padded);
    float* o = reinterpret_cast<float*>(out);
    const __m256 centre = _mm256_set1_ps(taps[h]);
    int j = 0;
    for (; j + 8 <= length; j += 8) {
        const float* c = p + 4 * (j + h);
        __m256 acc0 = _mm256_mul_ps(centre, _mm256_loadu_ps(c));
        __m256 acc1 = _mm256_mul_ps(centre, _mm256_loadu_ps(c + 8));
        __m256 acc2 = _mm256_mul_ps(centre, _mm256_loadu_ps(c + 16));
        __m256 acc3 = _mm256_mul_ps(centre, _mm256_loadu_ps(c + 24));
        for (int l = 0; l < h; ++l) {
            const __m256 t = _mm256_set1_ps(taps[l]);
            const float* a = p + 4 * (j + l);
            const float* b = p + 4 * (j + 2 * h - l);
            acc0 = _mm256_add_ps(acc0, _mm256_mul_ps(t, _mm256_add_ps(_mm256_loadu_ps(a), _mm256_loadu_ps(b))));
            acc1 = _mm256_add_ps(acc1, _mm256_mul_ps(t, _mm256_add_ps(_mm256_loadu_ps(a + 8), _mm256_loadu_ps(b + 8))));
            acc2 = _mm256_add_ps(acc2, _mm256_mul_ps(t, _mm256_add_ps(_mm256_loadu_ps(a + 16), _mm256_loadu_ps(b + 16))));
            acc3 = _mm256_add_ps(acc3, _mm256_mul_ps(t, _mm256_add_ps(_mm256_loadu_ps(a + 24), _mm256_loadu_ps(b + 24))));
        }
        _mm256_storeu_ps(o + 4 * j, acc0);
        _mm256_storeu_ps(o + 4 * j + 8, acc1);
        _mm256_storeu_ps(o + 4 * j + 16, acc2);
        _mm256_storeu_ps(o + 4 * j + 24, acc3);
    }
    if (j < length)
        blurRowPlain(padded + j, out + j, length - j, taps, h);
}
#endif

} // namespace

void gaussianBlur(const Quad* source, Quad* destination, int rowLength, int rowCount, float radius, BlurEdge edge)
{
    if (rowLength <= 0 || rowCount <= 0)
        return;
    const GaussianKernel kernel = gaussianKernel(radius);
    const int h = kernel.halfWidth;
    const float* taps = kernel.taps.data();
#ifdef PANELORA_HAVE_AVX2_PATH
    const bool avx2 = FilterExecution::useAvx2();
#endif
    const int blocks = (rowCount + kBlockRows - 1) / kBlockRows;
    const std::size_t length = std::size_t(rowLength);
    const std::size_t count = std::size_t(rowCount);

    FilterExecution::forEachRowBand(blocks, length * std::size_t(h + 1) * kBlockRows, [&](int firstBlock, int endBlock) {
        std::vector<Quad> padded(length + 2 * std::size_t(h));
        std::vector<Quad> out(length * kBlockRows);
        for (int block = firstBlock; block < endBlock; ++block) {
            const int firstRow = block * kBlockRows;
            const int rows = std::min(kBlockRows, rowCount - firstRow);
            for (int r = 0; r < rows; ++r) {
                const Quad* in = source + std::size_t(firstRow + r) * length;
                for (std::size_t k = 0; k < padded.size(); ++k) {
                    const std::ptrdiff_t position = std::ptrdiff_t(k) - h;
                    if (position >= 0 && std::size_t(position) < length)
                        padded[k] = in[position];
                    else if (edge == BlurEdge::Zero)
                        padded[k] = Quad{};
                    else
                        padded[k] = in[position < 0 ? 0 : length - 1];
                }
                Quad* row = out.data() + std::size_t(r) * length;
#ifdef PANELORA_HAVE_AVX2_PATH
                if (avx2)
                    blurRowAvx2(padded.data(), row, rowLength, taps, h);
                else
#endif
                    blurRowPlain(padded.data(), row, rowLength, taps, h);
            }
            for (std::size_t j = 0; j < length; ++j) {
                Quad* to = destination + j * count + std::size_t(firstRow);
                for (int r = 0; r < rows; ++r)
                    to[r] = out[std::size_t(r) * length + j];
            }
        }
    });
}

void gaussianBlurImage(Quad* image, int width, int height, float radius)
{
    WorkingImage temporary = WorkingImage::create(height, width, WorkingImage::Contents::Undefined);
    gaussianBlur(image, temporary.pixels(), width, height, radius);
    gaussianBlur(temporary.pixels(), image, height, width, radius);
}
