// Page rendering benchmarks: an A4 page of 20 panels (100 x 150 units each,
// about half the page), each with a drop shadow (blur radius 5, offset
// (0, -0.25)), a clipped filled shape and a gradient fill, plus 10 strokes;
// at 300 dpi with and without shadows and at 72 dpi. Peak memory is reported
// as the process's maximum resident size.

#include "CAGGraphics.h"
#include "NSBezierPath.h"
#include "ShadowBlur.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>

#include <vector>

namespace {

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

struct Page
{
    std::vector<NSBezierPath> panels;
    std::vector<NSBezierPath> shapes;
    std::vector<NSBezierPath> strokes;

    Page()
    {
        for (int i = 0; i < 20; ++i) {
            const float x = 22.0f + float(i % 5) * 112.0f;
            const float y = 36.0f + float(i / 5) * 195.0f;
            const Rect frame(x, y, 100.0f, 150.0f);
            panels.push_back(NSBezierPath::pathWithRoundedCorners(frame, 6.0f));
            NSBezierPath shape = NSBezierPath::pathWithOval(Rect(x - 20.0f, y + 60.0f, 140.0f, 120.0f));
            shape.setColor(0xFF5080C0u);
            shapes.push_back(shape);
        }
        for (int i = 0; i < 10; ++i) {
            NSBezierPath stroke;
            stroke.moveTo({20.0f, 30.0f + 80.0f * i});
            stroke.curveTo({575.0f, 60.0f + 80.0f * i}, {200.0f, 0.0f + 80.0f * i}, {400.0f, 120.0f + 80.0f * i});
            stroke.setColor(0xFF202020u);
            stroke.setLineWidth(2.5f);
            strokes.push_back(stroke);
        }
    }

    void draw(CAGGraphics& context, float zoom, bool shadows) const
    {
        PushCurrentContext(&context);
        context.ResetTransform();
        context.FillRectangle(kOpaqueWhite, Rect(0, 0, context.GetWidth(), context.GetHeight()));
        context.ScaleTransform(zoom, zoom);
        const LinearGradientBrush gradient(Rect(), 0xFFF0E0A0u, 0x60C04020u, 60.0f);
        for (size_t i = 0; i < panels.size(); ++i) {
            context.Save();
            if (shadows)
                CShadow(Size{0.0f, -0.25f}, 5.0f, 0x55000000u).applyShadow();
            context.FillPath(SolidBrush(kOpaqueWhite), panels[i].path());
            context.Restore();
            context.Save();
            context.SetClip(&panels[i].path());
            shapes[i].fill();
            panels[i].fillWithGradient(gradient);
            context.Restore();
            NSBezierPath frame = panels[i];
            frame.setColor(kOpaqueBlack);
            frame.setLineWidth(2.0f);
            frame.stroke();
        }
        for (const NSBezierPath& stroke : strokes)
            stroke.stroke();
        PopCurrentContext();
    }
};

std::unique_ptr<CAGGraphics> pageContext(float dpi)
{
    GraphicsParams params;
    // A4 (210 x 297 mm): 2480 x 3508 pixels at 300 dpi, 595 x 842 at 72.
    params.width = std::round(210.0f / 25.4f * dpi);
    params.height = std::round(297.0f / 25.4f * dpi);
    params.deviceScaleX = params.deviceScaleY = dpi / 72.0f;
    params.clearValue = 256;
    return CreateGraphicsContext(params);
}

void renderPage(benchmark::State& state, float dpi, bool shadows)
{
    const Page page;
    auto context = pageContext(dpi);
    for (auto _ : state) {
        page.draw(*context, dpi / 72.0f, shadows);
        benchmark::DoNotOptimize(context->pixels());
    }
    state.counters["width"] = context->GetWidth();
    state.counters["height"] = context->GetHeight();
    state.counters["peak_rss_MB"] = peakResidentMegabytes();
}

void BM_Page300DpiWithShadows(benchmark::State& state) { renderPage(state, 300.0f, true); }
void BM_Page300DpiWithoutShadows(benchmark::State& state) { renderPage(state, 300.0f, false); }
void BM_Page72DpiWithShadows(benchmark::State& state) { renderPage(state, 72.0f, true); }

// A clip set and restored inside a panel, as every element clipped into a panel does.
void BM_ClipSetAndRestore(benchmark::State& state)
{
    auto context = pageContext(300.0f);
    context->ScaleTransform(300.0f / 72.0f, 300.0f / 72.0f);
    const NSBezierPath panel = NSBezierPath::pathWithRoundedCorners(Rect(100, 100, 100, 150), 6);
    const NSBezierPath element = NSBezierPath::pathWithRect(Rect(120, 120, 20, 20));
    context->SetClip(&panel.path());
    for (auto _ : state) {
        context->Save();
        context->MultiplyTransform(AffineTransform::translation(1, 0));
        context->FillPath(SolidBrush(0xFF000000u), element.path());
        context->Restore();
    }
}

// Two different clips in turn: only the touched boxes are cleared and drawn.
void BM_ClipAlternating(benchmark::State& state)
{
    auto context = pageContext(300.0f);
    context->ScaleTransform(300.0f / 72.0f, 300.0f / 72.0f);
    const NSBezierPath first = NSBezierPath::pathWithRoundedCorners(Rect(100, 100, 100, 150), 6);
    const NSBezierPath second = NSBezierPath::pathWithOval(Rect(300, 400, 100, 150));
    bool flip = false;
    for (auto _ : state) {
        context->SetClip(flip ? &first.path() : &second.path());
        flip = !flip;
    }
}

void BM_ShadowBlurRadius21(benchmark::State& state)
{
    const int width = 460, height = 670;
    std::vector<std::uint8_t> buffer(size_t(width * height), 0);
    for (int y = 21; y < height - 21; ++y)
        for (int x = 21; x < width - 21; ++x)
            buffer[size_t(y * width + x)] = 255;
    ShadowBlur blur;
    for (auto _ : state) {
        blur.blur(buffer.data(), width, height, 20.8f);
        benchmark::DoNotOptimize(buffer.data());
    }
}

void BM_HitTestCurvedShape(benchmark::State& state)
{
    const NSBezierPath path = NSBezierPath::pathWithOval(Rect(0, 0, 2000, 1500));
    float x = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(path.containsPoint({1000.0f + x, 750.0f}));
        x = x > 900.0f ? 0.0f : x + 1.0f;
    }
}

} // namespace

BENCHMARK(BM_Page300DpiWithShadows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Page300DpiWithoutShadows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Page72DpiWithShadows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClipSetAndRestore)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClipAlternating)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShadowBlurRadius21)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HitTestCurvedShape)->Unit(benchmark::kMicrosecond);
