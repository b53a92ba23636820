// Saving and opening a document of many pictures, against packing and
// unpacking the same folder alone. The pictures are never decoded on the
// way, so their files are filler bytes.

#include "CSComic.h"
#include "CSImageElement.h"
#include "CSPage.h"
#include "DocumentPackage.h"
#include "PAImage.h"
#include "TarArchive.h"
#include "TemporaryRoot.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kPages = 20;
constexpr int kPicturesPerPage = 3;
constexpr int kPictureBytes = 256 * 1024;

struct Fixture
{
    QTemporaryDir place;
    std::unique_ptr<TemporaryRoot> root;
    QString sources;
    QString savedDocument;

    Fixture()
    {
        root.reset(TemporaryRoot::makeForTesting(place.path() + QStringLiteral("/temp")));
        sources = place.path() + QStringLiteral("/sources");
        QDir().mkpath(sources);
        QByteArray filler(kPictureBytes, '\0');
        for (int i = 0; i < kPages * kPicturesPerPage; ++i) {
            for (int j = 0; j < filler.size(); ++j)
                filler[j] = char((i * 131 + j * 7) & 0xFF);
            QFile file(sources + QStringLiteral("/photo%1.jpg").arg(i));
            if (file.open(QIODevice::WriteOnly))
                file.write(filler);
        }
        savedDocument = place.path() + QStringLiteral("/Saved.comicdoc");
        auto document = makeDocument();
        document->saveDocument(savedDocument);
    }

    std::unique_ptr<DocumentPackage> makeDocument()
    {
        auto document = std::make_unique<DocumentPackage>(*root);
        auto* comic = new CSComic(Size{600, 800});
        document->setComic(comic);
        for (int p = 0; p < kPages; ++p) {
            auto* page = new CSPage;
            comic->addPage(page);
            for (int i = 0; i < kPicturesPerPage; ++i) {
                PAImage* picture =
                    document->importPicture(sources + QStringLiteral("/photo%1.jpg").arg(p * kPicturesPerPage + i));
                auto* element = new CSImageElement(Rect(10.0f + 100.0f * i, 10, 90, 90));
                element->setPicture(picture);
                page->addChild(element);
            }
        }
        return document;
    }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

void BM_FirstSave(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString path = f.place.path() + QStringLiteral("/First.comicdoc");
    for (auto _ : state) {
        state.PauseTiming();
        auto document = f.makeDocument();
        state.ResumeTiming();
        benchmark::DoNotOptimize(document->saveDocument(path));
        state.PauseTiming();
        document.reset();
        f.root->removeAtExit();
        f.root.reset(TemporaryRoot::makeForTesting(f.place.path() + QStringLiteral("/temp")));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstSave)->Unit(benchmark::kMillisecond)->Iterations(5);

// No picture is copied again.
void BM_UnchangedSave(benchmark::State& state)
{
    Fixture& f = fixture();
    DocumentPackage document(*f.root);
    document.openDocument(f.savedDocument);
    const QString path = f.place.path() + QStringLiteral("/Again.comicdoc");
    for (auto _ : state)
        benchmark::DoNotOptimize(document.saveDocument(path));
}
BENCHMARK(BM_UnchangedSave)->Unit(benchmark::kMillisecond);

void BM_Open(benchmark::State& state)
{
    Fixture& f = fixture();
    DocumentPackage document(*f.root);
    for (auto _ : state)
        benchmark::DoNotOptimize(document.openDocument(f.savedDocument));
}
// Every open unpacks into a fresh folder, kept until the root goes: few rounds.
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->Iterations(8);

// The archive alone: what opening plus an unchanged save is measured against.
void BM_UnpackAndPackAlone(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString folder = f.place.path() + QStringLiteral("/alone");
    const QString path = f.place.path() + QStringLiteral("/Alone.comicdoc");
    for (auto _ : state) {
        state.PauseTiming();
        removeFolderTree(folder);
        state.ResumeTiming();
        benchmark::DoNotOptimize(TarArchive::unpackArchive(f.savedDocument, folder));
        benchmark::DoNotOptimize(TarArchive::packFolder(folder, path));
    }
}
BENCHMARK(BM_UnpackAndPackAlone)->Unit(benchmark::kMillisecond);

} // namespace
