// Element attribute resolution and caption drawing: both run for every
// element on every repaint.

#include "BenchApplication.h"
#include "CAGGraphics.h"
#include "CSCaptionElement.h"
#include "CSStylesheet.h"
#include "PAFont.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

CSStylesheet* sheetWithStyles()
{
    static CSStylesheet* sheet = [] {
        CSStylesheet* root = CSStylesheet::newStylesheet();
        root->retain();
        for (const char* name : {"Loud", "Quiet", "Night"}) {
            CSStylesheet* style = CSStylesheet::emptyStylesheet();
            root->styleFor(StyleKind::Caption, QString())->copyKindValues(StyleKind::Caption, style);
            style->setFloatForKey(4.0f, QStringLiteral("Caption.FrameWidth"));
            root->addStyle(style, QStringLiteral("Caption"), QString::fromLatin1(name));
        }
        return root;
    }();
    return sheet;
}

// 1,000 captions: a quarter on the root, the rest on named styles, every
// third with local overrides.
std::vector<std::unique_ptr<CSCaptionElement>> makeCaptions(int count)
{
    static const char* const styles[] = {"", "Loud", "Quiet", "Night"};
    std::vector<std::unique_ptr<CSCaptionElement>> captions;
    for (int i = 0; i < count; ++i) {
        auto caption = std::make_unique<CSCaptionElement>(Rect(float(i % 10) * 60, float(i / 10) * 80, 56, 70));
        caption->setStyleName(QString::fromLatin1(styles[i % 4]));
        if (i % 3 == 0) {
            caption->setColorAttribute(0xFF203040u, QStringLiteral("FrameColor"));
            caption->setFloatAttribute(1.5f, QStringLiteral("FrameWidth"));
        }
        captions.push_back(std::move(caption));
    }
    return captions;
}

// The 17 caption keys and three that no style holds (the slowest lookups:
// both the overrides and the style are searched), qualified once.
std::vector<QString> twentyKeys()
{
    std::vector<QString> keys;
    for (const StyleKey& entry : StyleKeys::keysOf(StyleKind::Caption))
        keys.push_back(entry.key);
    for (const char* missing : {"Caption.Sparkle", "Caption.Glow", "Caption.Zigzag"})
        keys.push_back(QString::fromLatin1(missing));
    return keys;
}

// How drawing resolves: one reader per element, then every key.
void BM_Resolve20KeysOf1000Elements(benchmark::State& state)
{
    const CSStylesheet* sheet = sheetWithStyles();
    const auto captions = makeCaptions(1000);
    const std::vector<QString> keys = twentyKeys();
    for (auto _ : state) {
        for (const auto& caption : captions) {
            const CSAttributeReader attributes(*caption, sheet);
            for (const QString& key : keys)
                benchmark::DoNotOptimize(&attributes.value(key));
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000 * std::int64_t(keys.size()));
}
BENCHMARK(BM_Resolve20KeysOf1000Elements)->Unit(benchmark::kMillisecond);

// One key at a time, each finding the element's style again, with bare keys
// qualified at each lookup: the inspector's path.
void BM_Resolve20KeysOf1000ElementsOneByOne(benchmark::State& state)
{
    const CSStylesheet* sheet = sheetWithStyles();
    const auto captions = makeCaptions(1000);
    std::vector<QString> keys = twentyKeys();
    for (int i = 0; i < 3; ++i)
        keys[std::size_t(i)] = StyleKeys::keysOf(StyleKind::Caption)[std::size_t(i)].property;
    for (auto _ : state) {
        for (const auto& caption : captions)
            for (const QString& key : keys)
                benchmark::DoNotOptimize(&caption->attributeForKey(key, sheet));
    }
    state.SetItemsProcessed(state.iterations() * 1000 * std::int64_t(keys.size()));
}
BENCHMARK(BM_Resolve20KeysOf1000ElementsOneByOne)->Unit(benchmark::kMillisecond);

// 50 captions with three lines of text each on a letter-size page, drawn at
// the given resolution. The first draw lays the texts out; the timed draws
// find the layouts cached.
void BM_Draw50Captions(benchmark::State& state)
{
    ensureApplication();
    const float dpi = float(state.range(0));
    const float zoom = dpi / 72.0f;
    CSStylesheet* sheet = sheetWithStyles();
    std::vector<std::unique_ptr<CSCaptionElement>> captions;
    const PAFont* font = PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 10, true, false);
    for (int i = 0; i < 50; ++i) {
        auto caption = std::make_unique<CSCaptionElement>(Rect(20 + float(i % 5) * 115, 20 + float(i / 5) * 75, 105, 64));
        caption->setText(CAttributedString(QStringLiteral("Caption %1: meanwhile, far across the sleeping city").arg(i),
                                           font, kOpaqueBlack));
        caption->setStyleName(i % 2 ? QStringLiteral("Loud") : QString());
        if (i % 7 == 0)
            caption->setAngle(12.0f);
        captions.push_back(std::move(caption));
    }
    GraphicsParams params;
    params.width = 612 * zoom;
    params.height = 792 * zoom;
    std::unique_ptr<CAGGraphics> context = CreateGraphicsContext(params);
    PushCurrentContext(context.get());
    context->ScaleTransform(zoom, zoom);
    for (const auto& caption : captions)
        caption->draw(sheet, dpi != 72.0f, zoom);
    for (auto _ : state) {
        for (const auto& caption : captions)
            caption->draw(sheet, dpi != 72.0f, zoom);
    }
    PopCurrentContext();
}
BENCHMARK(BM_Draw50Captions)->Arg(72)->Arg(300)->Unit(benchmark::kMillisecond);

} // namespace
