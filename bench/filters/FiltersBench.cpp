// Each preset and each filter on a seeded synthetic 3000 x 2000 picture, on
// one thread and on every core. Reported: time (median of the repetitions),
// megapixels per second and the peak of memory allocated during a run.
//
//   bench_filters --benchmark_filter=Preset
#include "FilterExecution.h"
#include "Filters.h"
#include "PaneloraFilter.h"
#include "WorkingImage.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <new>
#include <random>

// Every allocation is counted, so that a run's peak can be reported (picture
// buffers, which bypass operator new, are counted by the filters' own tally).
namespace {
std::atomic<std::size_t> g_allocated{0};
std::atomic<std::size_t> g_peak{0};

void* counted(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (p) {
        const std::size_t now = g_allocated += malloc_usable_size(p);
        std::size_t peak = g_peak;
        while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
        }
    }
    return p;
}

void uncounted(void* p)
{
    if (p) {
        g_allocated -= malloc_usable_size(p);
        std::free(p);
    }
}
} // namespace

void* operator new(std::size_t size)
{
    if (void* p = counted(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void operator delete(void* p) noexcept { uncounted(p); }
void operator delete[](void* p) noexcept { uncounted(p); }
void operator delete(void* p, std::size_t) noexcept { uncounted(p); }
void operator delete[](void* p, std::size_t) noexcept { uncounted(p); }

namespace {

constexpr int kWidth = 3000;
constexpr int kHeight = 2000;

// A photograph-like test picture: smooth colour fields, hard-edged shapes and
// grain, always the same for the seed.
const QImage& syntheticPicture()
{
    static const QImage picture = [] {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        std::mt19937 random(20240611);
        std::normal_distribution<float> grain(0.0f, 6.0f);
        struct Disc
        {
            float x, y, r;
            int red, green, blue;
        };
        std::vector<Disc> discs;
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        for (int i = 0; i < 60; ++i)
            discs.push_back({unit(random) * kWidth, unit(random) * kHeight, 40.0f + unit(random) * 260.0f,
                             int(unit(random) * 255), int(unit(random) * 255), int(unit(random) * 255)});
        for (int y = 0; y < kHeight; ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                float r = 128 + 100 * std::sin(x * 0.002f + y * 0.001f);
                float g = 128 + 100 * std::sin(x * 0.0013f - y * 0.0021f + 1.0f);
                float b = 128 + 100 * std::cos(y * 0.0017f + 2.0f);
                for (const Disc& d : discs)
                    if ((x - d.x) * (x - d.x) + (y - d.y) * (y - d.y) < d.r * d.r) {
                        r = float(d.red);
                        g = float(d.green);
                        b = float(d.blue);
                    }
                const float n = grain(random);
                row[x] = qRgb(std::clamp(int(r + n), 0, 255), std::clamp(int(g + n), 0, 255), std::clamp(int(b + n), 0, 255));
            }
        }
        return image;
    }();
    return picture;
}

const WorkingImage& syntheticWorkingImage()
{
    static const WorkingImage image = [] {
        WorkingImage working;
        workingImageFromPicture(syntheticPicture(), working);
        return working;
    }();
    return image;
}

void report(benchmark::State& state, std::size_t baseline, std::size_t pixelBaseline)
{
    state.counters["MP/s"] = benchmark::Counter(double(kWidth) * kHeight / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MB"] = double(g_peak - baseline + pixelMemoryPeak() - pixelBaseline) / (1024.0 * 1024.0);
    state.counters["threads"] = FilterExecution::threadCount();
}

void presetBenchmark(benchmark::State& state, const QString& name)
{
    FilterExecution::setThreadCount(int(state.range(0)));
    const QImage& picture = syntheticPicture();
    const std::size_t baseline = g_allocated;
    g_peak = baseline;
    const std::size_t pixelBaseline = pixelMemoryInUse();
    resetPixelMemoryPeak();
    for (auto _ : state) {
        QImage result = applyPreset(name, picture, false, false, 0);
        benchmark::DoNotOptimize(result.constBits());
    }
    report(state, baseline, pixelBaseline);
    FilterExecution::setThreadCount(0);
}

void filterBenchmark(benchmark::State& state, const std::function<CIFilter*()>& make)
{
    FilterExecution::setThreadCount(int(state.range(0)));
    std::unique_ptr<CIFilter> filter(make());
    const FilterReference reference{kWidth, kHeight};
    WorkingImage image = WorkingImage::create(kWidth, kHeight);
    const std::size_t baseline = g_allocated;
    g_peak = baseline;
    const std::size_t pixelBaseline = pixelMemoryInUse();
    resetPixelMemoryPeak();
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(syntheticWorkingImage().pixels(), syntheticWorkingImage().pixels() + image.pixelCount(), image.pixels());
        state.ResumeTiming();
        filter->apply(image.pixels(), kWidth, kHeight, &reference);
        benchmark::DoNotOptimize(image.pixels());
    }
    report(state, baseline, pixelBaseline);
    FilterExecution::setThreadCount(0);
}

void pipelineBenchmark(benchmark::State& state)
{
    presetBenchmark(state, QStringLiteral("None"));
}

template <class B>
void configure(B* b)
{
    b->Arg(1)->Arg(0)->ArgName("threads")->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)
        ->ReportAggregatesOnly(true)->UseRealTime();
}

const int registered = [] {
    configure(benchmark::RegisterBenchmark("Pipeline/round_trip", pipelineBenchmark));
    for (const QString& name : presetNames())
        configure(benchmark::RegisterBenchmark(("Preset/" + name.toStdString()).c_str(),
                                               [name](benchmark::State& s) { presetBenchmark(s, name); }));
    const Point centre{150, 150};
    const std::vector<std::pair<const char*, std::function<CIFilter*()>>> filters = {
        {"CICMYKHalftone", [] { return new CICMYKHalftone(1.328957f, 0.0f, 0.321656f, 1.0f, 3.0f); }},
        {"CIColorControls", [] { return new CIColorControls(0.4585987f, 2.387739f, 1.191083f); }},
        {"CIColorInvert", [] { return new CIColorInvert; }},
        {"CIColorMonochrome", [] { return new CIColorMonochrome(Quad{1, 0.5f, 0, 1}, 0.5f); }},
        {"CIColorPosterize", [] { return new CIColorPosterize(5.834395f); }},
        {"CIFalseColor", [] { return new CIFalseColor(Quad{0.04f, 0.02f, 0, 1}, Quad{1, 0.83f, 0.67f, 1}); }},
        {"CIGaussianBlur/26.4", [] { return new CIGaussianBlur(26.43312f); }},
        {"CIGaussianBlur/0.96", [] { return new CIGaussianBlur(0.9554141f); }},
        {"CIGloom/7.3", [] { return new CIGloom(7.324841f, 1.0f); }},
        {"CINoiseReduction", [] { return new CINoiseReduction(0.1f, 2.0f); }},
        {"CISharpenLuminance", [] { return new CISharpenLuminance(2.0f); }},
        {"CIUnsharpMask/26.4", [] { return new CIUnsharpMask(0.9904459f, 26.43312f); }},
        {"CIUnsharpMask/91.4", [] { return new CIUnsharpMask(0.8121019f, 91.40128f); }},
        {"CIHatchedScreen", [centre] { return new CIHatchedScreen(centre, 1.997424f, 8.585988f, 1.0f); }},
        {"CILineScreen", [centre] { return new CILineScreen(2.411693f, centre, 1.0f, 4.904459f); }},
        {"CILineScreenOldVersion", [centre] { return new CILineScreenOldVersion(1.570796f, centre, 0.85f, 3.375796f); }},
    };
    for (const auto& [name, make] : filters)
        configure(benchmark::RegisterBenchmark((std::string("Filter/") + name).c_str(),
                                               [make = make](benchmark::State& s) { filterBenchmark(s, make); }));
    return 0;
}();

} // namespace
