// Reading and writing the comic data file: a comic of 100 pages of 30
// elements each (about 3,000 elements), 1,000 pages, and one page of
// 10,000 elements.

#include "BenchApplication.h"
#include "CSBubble.h"
#include "CSCaptionElement.h"
#include "CSCell.h"
#include "CSComic.h"
#include "CSPage.h"
#include "CSSpeechElement.h"
#include "CSTail.h"
#include "PAFont.h"
#include "XmlSupport.h"

#include <benchmark/benchmark.h>
#include <tinyxml.h>

namespace {

void fillPage(CSPage& page, int groups)
{
    const PAFont* font = PAFont::fontWithFamily(QStringLiteral("Comic Neue"), 12, false, false);
    for (int i = 0; i < groups; ++i) {
        const float x = float(i % 6) * 90.0f;
        const float y = float(i / 6 % 8) * 90.0f;
        page.addChild(new CSCell(Rect(x, y, 80, 80)));
        for (int c = 0; c < 2; ++c) {
            auto* caption = new CSCaptionElement(Rect(x + 5, y + 5 + 30 * float(c), 70, 25));
            caption->setText(CAttributedString(QStringLiteral("Meanwhile, elsewhere %1").arg(i), font, kOpaqueBlack));
            page.addChild(caption);
        }
        if (i % 3 == 0) {
            auto* balloon = new CSSpeechElement(Rect(0, 0, 10, 10));
            page.addChild(balloon);
            auto* bubble = new CSBubble(Rect(x + 10, y + 10, 60, 30), balloon);
            page.addChild(bubble);
            balloon->addChild(bubble);
            bubble->setText(CAttributedString(QStringLiteral("Hey!"), font, kOpaqueBlack));
            auto* tail = new CSTail(Point{x + 40, y + 70});
            page.addChild(tail);
            balloon->addChild(tail);
        }
    }
}

// 33 elements a page: 8 groups of a panel and two captions, three with a
// balloon of one sub-balloon and a tail.
QByteArray comicText(int pages, int groupsPerPage)
{
    ensureApplication();
    CSComic* comic = new CSComic(Size{612, 792});
    for (int p = 0; p < pages; ++p) {
        auto* page = new CSPage;
        comic->addPage(page);
        fillPage(*page, groupsPerPage);
    }
    TiXmlDocument document;
    comic->toXml(&document);
    CSComic::destroy(comic);
    return XmlSupport::printDocument(document);
}

void BM_ReadComic(benchmark::State& state, int pages, int groups)
{
    const QByteArray text = comicText(pages, groups);
    for (auto _ : state) {
        CSComic* comic = CSComic::comicFromXmlText(text);
        benchmark::DoNotOptimize(comic);
        CSComic::destroy(comic);
    }
    state.counters["bytes"] = double(text.size());
}

void BM_WriteComic(benchmark::State& state, int pages, int groups)
{
    CSComic* comic = CSComic::comicFromXmlText(comicText(pages, groups));
    for (auto _ : state) {
        TiXmlDocument document;
        comic->toXml(&document);
        const QByteArray bytes = XmlSupport::printDocument(document);
        benchmark::DoNotOptimize(bytes.size());
    }
    CSComic::destroy(comic);
}

BENCHMARK_CAPTURE(BM_ReadComic, 100_pages, 100, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteComic, 100_pages, 100, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadComic, 1000_pages, 1000, 8)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_WriteComic, 1000_pages, 1000, 8)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_ReadComic, page_of_10000, 1, 2500)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
