// Laying out and drawing a page's worth of caption text through the text
// host, the way captions do it: frame, layout size, text, draw.
#include "CAGGraphics.h"
#include "NSBezierPath.h"
#include "PATextRootWindow.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kCaptions = 50;

struct Caption
{
    Rect box;
    CAttributedString text;
};

// Fifty captions of two or three lines on a letter page, each its own text.
const std::vector<Caption>& captions()
{
    static const std::vector<Caption> all = [] {
        std::vector<Caption> list;
        const PAFont* font = PAFont::fontWithFamily(QStringLiteral("Verdana"), 11, 0u);
        const PAFont* bold = PAFont::fontWithFamily(QStringLiteral("Verdana"), 11, PAFont::FontStyleBold);
        for (int i = 0; i < kCaptions; ++i) {
            CAttributedString text;
            text.appendString(QStringLiteral("Caption %1: ").arg(i + 1), bold, kOpaqueBlack, TextAlignment::Left);
            text.appendString(QStringLiteral("meanwhile, across town, the rain kept falling."), font, kOpaqueBlack,
                              TextAlignment::Left);
            list.push_back({Rect(12 + float(i % 5) * 118, 12 + float(i / 5) * 76, 112, 60), text});
        }
        return list;
    }();
    return all;
}

void drawCaptions(PATextRootWindow& root)
{
    for (const Caption& caption : captions()) {
        root.setFrame(caption.box, 0);
        root.setLayoutSize(caption.box.size);
        root.setText(caption.text);
        benchmark::DoNotOptimize(root.usedTextRect());
        root.drawAt(caption.box.origin);
    }
}

std::unique_ptr<CAGGraphics> pageContext(float dotsPerInch)
{
    const float zoom = dotsPerInch / 72.0f;
    GraphicsParams params;
    params.width = 612 * zoom;
    params.height = 792 * zoom;
    auto context = CreateGraphicsContext(params);
    context->ScaleTransform(zoom, zoom);
    return context;
}

// Drawing with every layout already cached. Argument: dots per inch.
void BM_DrawCaptionsCached(benchmark::State& state)
{
    auto context = pageContext(float(state.range(0)));
    PushCurrentContext(context.get());
    PATextRootWindow root;
    drawCaptions(root);
    for (auto _ : state)
        drawCaptions(root);
    PopCurrentContext();
    state.SetItemsProcessed(state.iterations() * kCaptions);
}
BENCHMARK(BM_DrawCaptionsCached)->Arg(72)->Arg(300)->Unit(benchmark::kMillisecond);

// The same inside a clip (captions in a panel): the text goes back through
// the context's DrawImage.
void BM_DrawClippedCaptionsCached(benchmark::State& state)
{
    auto context = pageContext(float(state.range(0)));
    const NSBezierPath panel = NSBezierPath::pathWithRect(Rect(6, 6, 600, 780));
    context->SetClip(&panel.path());
    PushCurrentContext(context.get());
    PATextRootWindow root;
    drawCaptions(root);
    for (auto _ : state)
        drawCaptions(root);
    PopCurrentContext();
    state.SetItemsProcessed(state.iterations() * kCaptions);
}
BENCHMARK(BM_DrawClippedCaptionsCached)->Arg(72)->Arg(300)->Unit(benchmark::kMillisecond);

// Laying out afresh and drawing (the first paint of a page, or after every
// caption's text changed).
void BM_LayOutAndDrawCaptions(benchmark::State& state)
{
    auto context = pageContext(float(state.range(0)));
    PushCurrentContext(context.get());
    PATextRootWindow root;
    for (auto _ : state) {
        root.invalidateLayouts();
        drawCaptions(root);
    }
    PopCurrentContext();
    state.SetItemsProcessed(state.iterations() * kCaptions);
}
BENCHMARK(BM_LayOutAndDrawCaptions)->Arg(72)->Arg(300)->Unit(benchmark::kMillisecond);

// Measuring only, as balloons do before drawing, with cached layouts.
void BM_MeasureCaptionsCached(benchmark::State& state)
{
    PATextRootWindow root;
    for (auto _ : state) {
        for (const Caption& caption : captions()) {
            root.setLayoutSize(caption.box.size);
            root.setText(caption.text);
            benchmark::DoNotOptimize(root.usedTextRect());
        }
    }
    state.SetItemsProcessed(state.iterations() * kCaptions);
}
BENCHMARK(BM_MeasureCaptionsCached)->Unit(benchmark::kMicrosecond);

} // namespace
