// Drawing a page of panels: every panel is drawn, then its outline again
// over its contents, on every repaint of the page.

#include "CAGGraphics.h"
#include "CSCell.h"
#include "CSStylesheet.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

// A letter-size page of twelve panels in four rows of three: plain, oval,
// rounded with a shadow, and every fourth one irregular with a point moved;
// every fifth one turned a little.
std::vector<std::unique_ptr<CSCell>> pageOfPanels()
{
    std::vector<std::unique_ptr<CSCell>> panels;
    for (int i = 0; i < 12; ++i) {
        const float x = 20 + float(i % 3) * 192, y = 20 + float(i / 3) * 190;
        auto panel = std::make_unique<CSCell>(Rect(x, y, 180, 178));
        panel->setIntAttribute(i % 3, QStringLiteral("FrameStyle"));
        panel->setBoolAttribute(i % 2 == 0, QStringLiteral("DrawShadow"));
        panel->setBoolAttribute(i % 3 == 1, QStringLiteral("DrawGradient"));
        if (i % 4 == 3) {
            panel->setIrregular(true);
            panel->setPointCount(5);
            panel->movePoint(Point{x + 90, y + 190}, 1);
        }
        if (i % 5 == 4)
            panel->setAngle(4.0f);
        panels.push_back(std::move(panel));
    }
    return panels;
}

void BM_DrawPageOf12Panels(benchmark::State& state)
{
    const float dpi = float(state.range(0));
    const float zoom = dpi / 72.0f;
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    const auto panels = pageOfPanels();
    GraphicsParams params;
    params.width = 612 * zoom;
    params.height = 792 * zoom;
    std::unique_ptr<CAGGraphics> context = CreateGraphicsContext(params);
    PushCurrentContext(context.get());
    context->ScaleTransform(zoom, zoom);
    for (auto _ : state) {
        for (const auto& panel : panels) {
            panel->draw(sheet.get(), dpi != 72.0f, zoom);
            panel->drawOverlay(sheet.get(), dpi != 72.0f, zoom);
        }
    }
    PopCurrentContext();
    state.SetItemsProcessed(state.iterations() * std::int64_t(panels.size()));
}
BENCHMARK(BM_DrawPageOf12Panels)->Arg(72)->Arg(300)->Unit(benchmark::kMillisecond);

// The clip path every picture and caption inside a panel asks for when drawn.
void BM_ClipPathsOf12Panels(benchmark::State& state)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    const auto panels = pageOfPanels();
    for (auto _ : state) {
        for (const auto& panel : panels)
            benchmark::DoNotOptimize(panel->clipPath(sheet.get()));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(panels.size()));
}
BENCHMARK(BM_ClipPathsOf12Panels)->Unit(benchmark::kMicrosecond);

} // namespace
