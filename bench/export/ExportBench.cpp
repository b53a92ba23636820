// Exporting a three-page comic at 300 dpi: drawing a page into the export
// picture and encoding it are timed apart, per page and picture type.

#include "CImageFile_Exporter.h"
#include "CSComic.h"
#include "GifWriter.h"
#include "PAImage.h"
#include "PageRenderer.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void ensureApplication()
{
    static QGuiApplication* application = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_export";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)application;
}

// A4 portrait with margins; each page has six panels and four captions.
QByteArray generatedComic()
{
    QByteArray xml = R"(<comic><attributes>
<setting name="pageSize">{595, 842}</setting><setting name="portraitMode">1</setting>
<setting name="leftMargin">24</setting><setting name="rightMargin">24</setting>
<setting name="topMargin">24</setting><setting name="bottomMargin">24</setting></attributes><pages>)";
    for (int page = 1; page <= 3; ++page) {
        xml += "<element type=\"page\" oid=\"p" + QByteArray::number(page) + "\"><style name=\"\"/><elements>";
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 2; ++column)
                xml += "<element type=\"panel\" x=\"" + QByteArray::number(column * 275) + "\" y=\""
                       + QByteArray::number(row * 262) + "\" w=\"265\" h=\"252\"><style name=\"\"/><elements/></element>";
        for (int caption = 0; caption < 4; ++caption)
            xml += "<element type=\"caption\" x=\"" + QByteArray::number(20 + caption * 120) + "\" y=\""
                   + QByteArray::number(30 + caption * 180 + page * 10) + "\" w=\"110\" h=\"40\" angle=\""
                   + QByteArray::number(caption * 5) + "\"><style name=\"\"/><elements/></element>";
        xml += "</elements></element>";
    }
    return xml + "</pages></comic>";
}

struct ComicDeleter
{
    void operator()(CSComic* comic) const { CSComic::destroy(comic); }
};

std::unique_ptr<CSComic, ComicDeleter> makeComic()
{
    ensureApplication();
    return std::unique_ptr<CSComic, ComicDeleter>(CSComic::comicFromXmlText(generatedComic()));
}

void BM_RenderPageAt300Dpi(benchmark::State& state)
{
    auto comic = makeComic();
    PageRenderer renderer(*comic);
    const bool withAlpha = state.range(0) != 0;
    int page = 0;
    for (auto _ : state) {
        RefPtr<PAImage> picture = renderer.renderPage(page, 300, withAlpha);
        benchmark::DoNotOptimize(picture.get());
        page = (page + 1) % comic->pageCount();
    }
    state.SetLabel(withAlpha ? "32 bits" : "24 bits");
}
BENCHMARK(BM_RenderPageAt300Dpi)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_EncodePageAt300Dpi(benchmark::State& state, const char* extension)
{
    auto comic = makeComic();
    PageRenderer renderer(*comic);
    const bool bmp = QByteArray(extension) == "bmp";
    const RefPtr<PAImage> picture = renderer.renderPage(1, 300, !bmp);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Page_2.") + QLatin1String(extension));
    for (auto _ : state) {
        const bool saved = QByteArray(extension) == "gif" ? GifWriter::write(picture->toStraightImage(), path)
                                                           : PAImage::ok(picture->saveToFile(path, 300, 80));
        if (!saved)
            state.SkipWithError("the page could not be saved");
    }
    state.SetLabel(QString::number(QFileInfo(path).size() / 1024).toStdString() + " KiB");
}
BENCHMARK_CAPTURE(BM_EncodePageAt300Dpi, png, "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodePageAt300Dpi, jpg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodePageAt300Dpi, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodePageAt300Dpi, tif, "tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodePageAt300Dpi, gif, "gif")->Unit(benchmark::kMillisecond);

// The whole export of the three pages, as the program runs it.
void BM_ExportComicAt300Dpi(benchmark::State& state)
{
    auto comic = makeComic();
    QTemporaryDir parent;
    int run = 0;
    for (auto _ : state) {
        CImageFile_Exporter exporter;
        CImageFile_Exporter::Choices choices;
        choices.chosenFile = parent.filePath(QStringLiteral("run%1.png").arg(++run));
        choices.dotsPerInch = 300;
        exporter.setChoices(choices);
        if (!exporter.exportComic(*comic, QString()))
            state.SkipWithError("the export failed");
        state.PauseTiming();
        QDir(exporter.folder()).removeRecursively();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * comic->pageCount());
}
BENCHMARK(BM_ExportComicAt300Dpi)->Unit(benchmark::kMillisecond);

} // namespace
