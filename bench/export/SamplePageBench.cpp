// Drawing the sample comic's pages as an export does: at 72 dpi with the
// pictures already filtered (a repaint), and at 300 dpi from scratch, the
// pictures filtered for that resolution.

#include "CSComic.h"
#include "PAImage.h"
#include "PageRenderer.h"
#include "SampleComic.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Sample
{
    Sample()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_export";
        static char* argv[] = {name, nullptr};
        static QGuiApplication application(argc, argv);
        const QString images = folder.path() + QStringLiteral("/Images");
        SampleComic::writeGeneratedPictures(images);
        comic = SampleComic::build(images);
    }
    ~Sample() { CSComic::destroy(comic); }

    QTemporaryDir folder;
    CSComic* comic = nullptr;
};

Sample& sample()
{
    static Sample instance;
    return instance;
}

void BM_RedrawSamplePage72(benchmark::State& state)
{
    PageRenderer renderer(*sample().comic);
    const int page = int(state.range(0));
    renderer.renderPage(page, 72.0f, true);
    for (auto _ : state) {
        RefPtr<PAImage> picture = renderer.renderPage(page, 72.0f, true);
        benchmark::DoNotOptimize(picture.get());
    }
}

void BM_DrawSamplePage300(benchmark::State& state)
{
    const int page = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        // A fresh comic each time: nothing filtered for 300 dpi yet.
        CSComic* comic = SampleComic::build(sample().folder.path() + QStringLiteral("/Images"));
        PageRenderer renderer(*comic);
        state.ResumeTiming();
        RefPtr<PAImage> picture = renderer.renderPage(page, 300.0f, true);
        benchmark::DoNotOptimize(picture.get());
        state.PauseTiming();
        picture = nullptr;
        CSComic::destroy(comic);
        state.ResumeTiming();
    }
}

BENCHMARK(BM_RedrawSamplePage72)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawSamplePage300)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
