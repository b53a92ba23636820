// Balloon drawing: a page full of balloons, each merged from several
// sub-balloons and tails, and one long thought trail.

#include "BenchApplication.h"
#include "CAGGraphics.h"
#include "CSBalloonShapes.h"
#include "CSBubble.h"
#include "CSSpeechElement.h"
#include "CSStylesheet.h"
#include "CSTail.h"
#include "PAFont.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

struct BalloonList
{
    std::vector<CSSpeechElement*> balloons;
    ~BalloonList()
    {
        for (CSSpeechElement* balloon : balloons)
            CSElement::destroyTree(balloon);
    }
};

CSStylesheet* rootSheet()
{
    static CSStylesheet* sheet = [] {
        CSStylesheet* root = CSStylesheet::newStylesheet();
        root->retain();
        return root;
    }();
    return sheet;
}

// 50 balloons on a letter-size page, 5 across and 10 down, alternately rough
// and thought, with 1 to 5 sub-balloons and 1 to 3 tails each.
void makePage(BalloonList& list, bool shadows)
{
    const PAFont* font = PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 9, false, false);
    for (int i = 0; i < 50; ++i) {
        const float x = 10 + float(i % 5) * 120, y = 10 + float(i / 5) * 78;
        auto* balloon = new CSSpeechElement(Rect(x, y, 110, 70));
        const int bubbles = 1 + i % 5, tails = 1 + i % 3;
        for (int b = 0; b < bubbles; ++b) {
            auto* bubble = new CSBubble(Rect(x + float(b) * 14, y + float(b % 2) * 10, 60, 36), balloon);
            bubble->setText(CAttributedString(QStringLiteral("Line %1").arg(b), font, kOpaqueBlack));
            balloon->addChild(bubble);
        }
        for (int t = 0; t < tails; ++t)
            balloon->addChild(new CSTail(Point{x + float(t) * 30, y + 74}));
        balloon->setSpeechType(i % 2 ? CSBalloonShapes::Thought : CSBalloonShapes::Rough);
        balloon->setBoolAttribute(shadows, QStringLiteral("DrawShadow"));
        list.balloons.push_back(balloon);
    }
}

// Arguments: resolution in dpi, shadows on (1) or off (0). The first draw
// lays the texts out; the timed draws find the layouts cached.
void BM_Draw50Balloons(benchmark::State& state)
{
    ensureApplication();
    const float dpi = float(state.range(0));
    const float zoom = dpi / 72.0f;
    BalloonList list;
    makePage(list, state.range(1) != 0);
    GraphicsParams params;
    params.width = 612 * zoom;
    params.height = 792 * zoom;
    std::unique_ptr<CAGGraphics> context = CreateGraphicsContext(params);
    PushCurrentContext(context.get());
    context->ScaleTransform(zoom, zoom);
    for (CSSpeechElement* balloon : list.balloons)
        balloon->draw(rootSheet(), dpi != 72.0f, zoom);
    for (auto _ : state) {
        for (CSSpeechElement* balloon : list.balloons)
            balloon->draw(rootSheet(), dpi != 72.0f, zoom);
    }
    PopCurrentContext();
}
BENCHMARK(BM_Draw50Balloons)
    ->Args({72, 0})
    ->Args({72, 1})
    ->Args({300, 0})
    ->Args({300, 1})
    ->Unit(benchmark::kMillisecond);

// A thought balloon whose tail tip lies 2,000 units from its centre, drawn
// at 72 dpi.
void BM_DrawThoughtTail2000(benchmark::State& state)
{
    ensureApplication();
    BalloonList list;
    auto* balloon = new CSSpeechElement();
    balloon->addChild(new CSBubble(Rect(10, 10, 120, 80), balloon));
    balloon->addChild(new CSTail(Point{70 + 2000, 50}));
    balloon->setSpeechType(CSBalloonShapes::Thought);
    list.balloons.push_back(balloon);
    GraphicsParams params;
    params.width = 2100;
    params.height = 200;
    std::unique_ptr<CAGGraphics> context = CreateGraphicsContext(params);
    PushCurrentContext(context.get());
    for (auto _ : state)
        balloon->draw(rootSheet(), false, 1);
    PopCurrentContext();
}
BENCHMARK(BM_DrawThoughtTail2000)->Unit(benchmark::kMillisecond);

} // namespace
