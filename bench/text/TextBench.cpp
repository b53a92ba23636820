#include "CAttributedString.h"
#include "PAFontRendering.h"
#include "StyleDeclarations.h"
#include "XmlSupport.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <tinyxml.h>

namespace {

const PAFont* boldVerdana()
{
    return PAFont::fontWithFamily(QStringLiteral("Verdana"), 12, PAFont::FontStyleBold);
}

void BM_WriteDeclarations(benchmark::State& state)
{
    CharacterFormat character = characterFormatOfFont(boldVerdana());
    character.setTextColor(packColor(200, 10, 10));
    ParagraphFormat paragraph = ParagraphFormat::withAlignment(TextAlignment::Center);
    paragraph.addTabStop(TabStop{720, TabStop::Left});
    for (auto _ : state)
        benchmark::DoNotOptimize(styleDeclarations(character, paragraph));
}
BENCHMARK(BM_WriteDeclarations);

void BM_ParseDeclarations(benchmark::State& state)
{
    const QString text = QStringLiteral(
        "font: 12.000000 'Verdana' normal bold 'Verdana'; color: 0.784314 0.039216 0.039216 1.000000; "
        "text-align: center; tab-stops: 36.000000-L; text-decoration: underline; ");
    for (auto _ : state) {
        CharacterFormat character;
        ParagraphFormat paragraph;
        parseStyleDeclarations(text, character, paragraph);
        benchmark::DoNotOptimize(character);
    }
}
BENCHMARK(BM_ParseDeclarations);

// Bold over every other word of a long balloon text, then plain again.
void BM_ApplyAttributes(benchmark::State& state)
{
    const int words = int(state.range(0));
    const QString text = QStringLiteral("word ").repeated(words);
    for (auto _ : state) {
        CAttributedString styled(text);
        for (int i = 0; i < words; i += 2)
            styled.applyAttributes(i * 5, 4, boldVerdana(), std::nullopt, nullptr);
        styled.applyAttributes(0, styled.length(), PAFont::defaultFont(), std::nullopt, nullptr);
        benchmark::DoNotOptimize(styled.runCount());
    }
    state.SetComplexityN(words);
}
BENCHMARK(BM_ApplyAttributes)->Range(8, 512)->Complexity();

void BM_XmlRoundTrip(benchmark::State& state)
{
    CAttributedString styled(QStringLiteral("Pow! "));
    for (int i = 0; i < 20; ++i)
        styled.appendString(QStringLiteral("Run %1 of the text. ").arg(i), i % 2 ? boldVerdana() : nullptr,
                            kOpaqueBlack, TextAlignment::Left);
    for (auto _ : state) {
        TiXmlDocument document;
        styled.writeXml(&document);
        TiXmlDocument back;
        XmlSupport::parseDocument(back, XmlSupport::printDocument(document));
        benchmark::DoNotOptimize(CAttributedString::fromXmlElement(back.FirstChildElement()));
    }
}
BENCHMARK(BM_XmlRoundTrip);

void BM_GlyphCached(benchmark::State& state)
{
    const PAFont* font = PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 48, 0u);
    PAFontRendering::glyphFor(font, U'A');
    for (auto _ : state)
        benchmark::DoNotOptimize(&PAFontRendering::glyphFor(font, U'A'));
}
BENCHMARK(BM_GlyphCached);

// First outline of each letter: a new font size every iteration.
void BM_GlyphBuild(benchmark::State& state)
{
    int size = 10;
    for (auto _ : state) {
        const PAFont* font = PAFont::fontWithFamily(QStringLiteral("Verdana"), size++, 0u);
        for (char32_t c = U'A'; c <= U'Z'; ++c)
            benchmark::DoNotOptimize(&PAFontRendering::glyphFor(font, c));
    }
    state.SetItemsProcessed(state.iterations() * 26);
}
BENCHMARK(BM_GlyphBuild)->Iterations(200);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
