// Lettering: building a word's letters from glyph outlines (each text or
// font change) and drawing it warped (every repaint).

#include "BenchApplication.h"
#include "CAGGraphics.h"
#include "CSSFXElement.h"
#include "CSStylesheet.h"
#include "PAFont.h"

#include <benchmark/benchmark.h>

namespace {

const PAFont* benchFont()
{
    return PAFont::fontWithFamily(QStringLiteral("Comic Neue"), 56, false, true);
}

void BM_LetteringBuildWord(benchmark::State& state)
{
    ensureApplication();
    for (auto _ : state) {
        auto* lettering = new CSSFXElement(QStringLiteral("KA-BOOM!"), benchFont());
        benchmark::DoNotOptimize(lettering->letterBounds());
        CSElement::destroyTree(lettering);
    }
}
BENCHMARK(BM_LetteringBuildWord);

// Drawn merged (range 0) or letter by letter with a shadow (range 1), warped
// by a bent envelope, at zoom 1 and 4.
void BM_LetteringDrawWord(benchmark::State& state)
{
    ensureApplication();
    const bool oneByOne = state.range(0) != 0;
    const float zoom = float(state.range(1));
    auto* lettering = new CSSFXElement(QStringLiteral("KA-BOOM!"), benchFont());
    lettering->moveBy(Size{20, 90});
    const Point p4 = lettering->envelope()[4];
    lettering->movePoint(Point{p4.x, p4.y - 20}, 4);
    lettering->setBoolAttribute(oneByOne, QStringLiteral("DrawShadow"));
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    GraphicsParams params;
    params.width = 300 * zoom;
    params.height = 130 * zoom;
    auto context = CreateGraphicsContext(params);
    PushCurrentContext(context.get());
    context->ScaleTransform(zoom, zoom);
    for (auto _ : state)
        lettering->draw(sheet.get(), false, zoom);
    PopCurrentContext();
    CSElement::destroyTree(lettering);
}
BENCHMARK(BM_LetteringDrawWord)->Args({0, 1})->Args({1, 1})->Args({0, 4})->Unit(benchmark::kMillisecond);

} // namespace
