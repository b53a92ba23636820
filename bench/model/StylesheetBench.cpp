// Style lookups run for every key of every element each time a page is drawn.
#include "CSStylesheet.h"

#include <tinyxml.h>

#include <benchmark/benchmark.h>

namespace {

CSStylesheet* builtIn()
{
    static CSStylesheet* sheet = [] {
        CSStylesheet* loaded = CSStylesheet::stylesheetFromFile(CSStylesheet::builtInStylesheetFolder()
                                                                + QStringLiteral("Oxlen-intl.comicstl"));
        if (!loaded)
            loaded = CSStylesheet::defaultStylesheet();
        loaded->retain();
        return loaded;
    }();
    return sheet;
}

// An element's lookup of a qualified key through its named style.
void BM_StyleValueNamedStyle(benchmark::State& state)
{
    const CSStylesheet* sheet = builtIn();
    const QString name = QStringLiteral("Shout");
    const QString key = QStringLiteral("Bubble.FrameWidth");
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet->styleValue(u"Bubble", name, key));
}
BENCHMARK(BM_StyleValueNamedStyle);

// The same through the root (no style name).
void BM_StyleValueRoot(benchmark::State& state)
{
    const CSStylesheet* sheet = builtIn();
    const QString name;
    const QString key = QStringLiteral("Bubble.FrameWidth");
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet->styleValue(u"Bubble", name, key));
}
BENCHMARK(BM_StyleValueRoot);

// A style name that does not exist falls back to the root.
void BM_StyleValueMissingStyle(benchmark::State& state)
{
    const CSStylesheet* sheet = builtIn();
    const QString name = QStringLiteral("No Such Style");
    const QString key = QStringLiteral("Bubble.FrameWidth");
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet->styleValue(u"Bubble", name, key));
}
BENCHMARK(BM_StyleValueMissingStyle);

// Qualifying a bare catalogue key and then looking it up: what an element
// does for "FrameColor".
void BM_QualifyAndLookUp(benchmark::State& state)
{
    const CSStylesheet* sheet = builtIn();
    const QString name = QStringLiteral("Rounded");
    const QString bare = QStringLiteral("FrameColor");
    for (auto _ : state) {
        const QString key = StyleKeys::qualified(StyleKind::Cell, bare);
        benchmark::DoNotOptimize(sheet->styleValue(u"Cell", name, key));
    }
}
BENCHMARK(BM_QualifyAndLookUp);

void BM_QualifyCatalogueKey(benchmark::State& state)
{
    const QString bare = QStringLiteral("ShadowBlurRadius");
    for (auto _ : state)
        benchmark::DoNotOptimize(StyleKeys::qualified(StyleKind::Caption, bare));
}
BENCHMARK(BM_QualifyCatalogueKey);

void BM_QualifyUnknownKey(benchmark::State& state)
{
    const QString bare = QStringLiteral("Sparkle");
    for (auto _ : state)
        benchmark::DoNotOptimize(StyleKeys::qualified(StyleKind::Caption, bare));
}
BENCHMARK(BM_QualifyUnknownKey);

// Every key of the built-in stylesheet read once, as a page of each kind would.
void BM_ReadWholeCatalogue(benchmark::State& state)
{
    const CSStylesheet* sheet = builtIn();
    for (auto _ : state) {
        for (const StyleKey& entry : StyleKeys::catalogue())
            benchmark::DoNotOptimize(sheet->valueForKey(entry.key));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(StyleKeys::catalogue().size()));
}
BENCHMARK(BM_ReadWholeCatalogue);

void BM_WriteStylesheetXml(benchmark::State& state)
{
    const CSStylesheet* sheet = builtIn();
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet->xmlText());
}
BENCHMARK(BM_WriteStylesheetXml);

void BM_ReadStylesheetXml(benchmark::State& state)
{
    const QByteArray text = builtIn()->xmlText();
    for (auto _ : state) {
        TiXmlDocument document;
        document.Parse(text.constData());
        RefPtr<CSStylesheet> sheet(CSStylesheet::stylesheetFromXml(document.RootElement()));
        benchmark::DoNotOptimize(sheet.get());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ReadStylesheetXml);

} // namespace
