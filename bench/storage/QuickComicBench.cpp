// The quick comic on a folder of large photographs: time per picture and the
// peak memory, which must stay near one decoded picture rather than grow
// with the folder (each picture's pixels are released once it is placed).

#include "CSComic.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "QuickComic.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

void ensureApplication()
{
    static QGuiApplication* application = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_storage";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)application;
}

// 12-megapixel JPEGs (4000 x 3000) of a gradient with a few shapes, made once.
const QString& photoFolder(int count)
{
    static QTemporaryDir dir;
    static int made = 0;
    for (; made < count; ++made) {
        QImage image(4000, 3000, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient gradient(0, 0, 4000, 3000);
        gradient.setColorAt(0, QColor::fromHsv((made * 37) % 360, 160, 230));
        gradient.setColorAt(1, QColor::fromHsv((made * 37 + 120) % 360, 200, 90));
        painter.fillRect(image.rect(), gradient);
        painter.setBrush(Qt::white);
        painter.drawEllipse(500 + made * 50, 800, 1400, 1400);
        painter.end();
        image.save(dir.path() + QStringLiteral("/photo%1.jpg").arg(made, 3, 10, QLatin1Char('0')), "JPG", 85);
    }
    static QString path;
    path = dir.path();
    return path;
}

RefPtr<NSDictionary> gridTemplate(int panels)
{
    RefPtr<NSDictionary> dictionary(new NSDictionary);
    auto* cells = new NSArray;
    for (int i = 0; i < panels; ++i) {
        auto* cell = new NSDictionary;
        cell->setStringForKey(QStringLiteral("{{%1, 20}, {%2, 960}}").arg(20 + i * 1000 / panels).arg(1000 / panels - 40),
                              QStringLiteral("Frame"));
        cells->addObject(NSObject(cell));
    }
    dictionary->setArrayForKey(cells, QStringLiteral("Cells"));
    return dictionary;
}

long peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void BM_QuickComicOfLargePhotographs(benchmark::State& state)
{
    ensureApplication();
    const int count = int(state.range(0));
    const QStringList pictures = QuickComic::picturesInFolder(photoFolder(count)).mid(0, count);
    QuickComicPlan plan;
    for (int placed = 0; placed < count; placed += 4)
        plan.pages.push_back({QStringLiteral("Four"), gridTemplate(4), 4});
    const long before = peakResidentMegabytes();
    for (auto _ : state) {
        CSComic* comic = new CSComic(Size{612, 792});
        QuickComic::fillComic(*comic, plan, pictures);
        benchmark::DoNotOptimize(comic->pictures().size());
        CSComic::destroy(comic);
    }
    state.counters["pictures"] = count;
    state.counters["peak_MB"] = double(peakResidentMegabytes());
    state.counters["peak_growth_MB"] = double(peakResidentMegabytes() - before);
    state.counters["decoded_total_MB"] = double(count) * 4000.0 * 3000.0 * 4.0 / (1024.0 * 1024.0);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_QuickComicOfLargePhotographs)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
