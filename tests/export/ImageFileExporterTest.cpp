// Exporting a comic as picture files: what lands in the folder, at which size,
// depth, resolution and quality, and what a failed or cancelled export leaves.

#include "CImageFile_Exporter.h"
#include "CSComic.h"
#include "ExportProgress.h"
#include "PAImage.h"
#include "PageRenderer.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>

namespace {

// Landscape 595 x 420 paper with margins in a mostly transparent blue, three
// pages that differ by where their caption stands.
const char kComic[] = R"(<comic><attributes>
<setting name="pageSize">{420, 595}</setting><setting name="portraitMode">0</setting>
<setting name="leftMargin">20</setting><setting name="rightMargin">10</setting>
<setting name="topMargin">30</setting><setting name="bottomMargin">5</setting>
<setting name="backgroundColor"><color r="0" g="0.5" b="1" a="0.25"/></setting></attributes>
<pages>
<element type="page" oid="p1"><style name=""/><elements>
  <element type="caption" oid="c1" x="10" y="20" w="100" h="40"><style name=""/><elements/></element></elements></element>
<element type="page" oid="p2"><style name=""/><elements>
  <element type="caption" oid="c2" x="200" y="100" w="100" h="40"><style name=""/><elements/></element></elements></element>
<element type="page" oid="p3"><style name=""/><elements>
  <element type="caption" oid="c3" x="400" y="300" w="100" h="40"><style name=""/><elements/></element></elements></element>
</pages></comic>)";

// 595 x 420 at 150 dpi, truncated.
const QSize kSizeAt150(1239, 875);

// Records what the exporter showed and cancels, or runs an action, on cue.
class RecordingProgress : public ExportProgress
{
public:
    void start(const QString& title, int steps) override
    {
        startedTitle = title;
        startedSteps = steps;
    }
    void advance(int step) override
    {
        advanced.push_back(step);
        if (step == cancelAtStep)
            cancelled = true;
        if (step == actionAtStep && action)
            action();
    }
    bool cancelRequested() const override { return cancelled; }
    void close() override { ++closed; }

    QString startedTitle;
    int startedSteps = -1;
    std::vector<int> advanced;
    int closed = 0;
    int cancelAtStep = -1;
    int actionAtStep = -1;
    std::function<void()> action;
    bool cancelled = false;
};

class ImageFileExport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = TestEnvironment::makeTempFolder(QStringLiteral("image-export"));
        comic.reset(CSComic::comicFromXmlText(kComic));
        ASSERT_TRUE(comic);
        ASSERT_EQ(comic->pageCount(), 3);
        exporter.setProgress(&progress);
    }

    // Exports into dir/out with the given extension; returns the exporter's answer.
    bool exportAs(const QString& extension, CImageFile_Exporter::Choices choices = {})
    {
        choices.chosenFile = dir + QStringLiteral("/out.") + extension;
        exporter.setChoices(choices);
        return exporter.exportComic(*comic, QStringLiteral("Holiday"));
    }

    QString folder() const { return dir + QStringLiteral("/out"); }
    QStringList filesInFolder() const { return QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name); }
    QStringList filesInDir() const { return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name); }

    struct ComicDeleter
    {
        void operator()(CSComic* c) const { CSComic::destroy(c); }
    };

    QString dir;
    std::unique_ptr<CSComic, ComicDeleter> comic;
    RecordingProgress progress;
    CImageFile_Exporter exporter;
};

CImageFile_Exporter::Choices at150()
{
    CImageFile_Exporter::Choices choices;
    choices.dotsPerInch = 150;
    return choices;
}

CImageFile_Exporter::Choices pages(int from, int to)
{
    CImageFile_Exporter::Choices choices;
    choices.allPages = false;
    choices.fromPage = from;
    choices.toPage = to;
    choices.dotsPerInch = 18;
    return choices;
}

int resolutionOf(const QString& path)
{
    return int(std::lround(QImage(path).dotsPerMeterX() * 0.0254));
}

} // namespace

TEST_F(ImageFileExport, PngPagesAreThePaperAtTheResolutionWithAlpha)
{
    ASSERT_TRUE(exportAs(QStringLiteral("png"), at150()));
    EXPECT_EQ(exporter.outcome(), CImageFile_Exporter::Outcome::Written);
    EXPECT_EQ(filesInFolder(), (QStringList{"Page_1.png", "Page_2.png", "Page_3.png"}));
    EXPECT_EQ(filesInDir(), QStringList{"out"});

    PageRenderer renderer(*comic);
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        const QString path = folder() + QStringLiteral("/Page_%1.png").arg(page);
        QImageReader reader(path);
        EXPECT_EQ(reader.size(), kSizeAt150);
        EXPECT_TRUE(reader.read().hasAlphaChannel());
        // Each file holds exactly what the renderer draws for its page.
        const QImage expected = renderer.renderPage(page - 1, 150, true)->toStraightImage();
        EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
    }
    EXPECT_EQ(progress.startedSteps, 3);
    EXPECT_EQ(progress.advanced, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(progress.closed, 1);
}

TEST_F(ImageFileExport, EveryTypeIsWrittenWithItsDepthAndResolution)
{
    struct Case
    {
        const char* extension;
        bool alpha;
        bool recordsResolution;
    };
    const Case cases[] = {
        {"bmp", false, true}, {"BMP", false, true}, {"jpg", false, true}, {"jpeg", false, true},
        {"tif", true, true},  {"tiff", true, true}, {"png", true, true},  {"gif", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        ASSERT_TRUE(exportAs(QString::fromLatin1(c.extension), at150()));
        const QString path = folder() + QStringLiteral("/Page_2.") + QString::fromLatin1(c.extension);
        const QImage picture(path);
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.size(), kSizeAt150);
        EXPECT_EQ(picture.hasAlphaChannel(), c.alpha);
        // The margins keep their transparency (in a GIF: the transparent
        // colour), the paper inside them is opaque.
        const QRgb margin = picture.pixel(4, 4);
        const QRgb paper = picture.pixel(100 * 150 / 72, 300 * 150 / 72);
        if (!c.alpha) {
            EXPECT_EQ(qAlpha(margin), 255);
        } else if (c.recordsResolution) {
            EXPECT_GT(qAlpha(margin), 0);
            EXPECT_LT(qAlpha(margin), 128);
        } else {
            EXPECT_EQ(qAlpha(margin), 0);
        }
        EXPECT_EQ(qAlpha(paper), 255);
        if (c.recordsResolution) {
            EXPECT_EQ(resolutionOf(path), 150);
        }
        QDir(folder()).removeRecursively();
    }
}

TEST_F(ImageFileExport, BitmapsAreTwentyFourBitsWithTheResolutionInTheHeader)
{
    ASSERT_TRUE(exportAs(QStringLiteral("bmp"), at150()));
    QFile file(folder() + QStringLiteral("/Page_1.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(54);
    ASSERT_EQ(header.size(), 54);
    const auto little = [&](int offset, int bytes) {
        quint32 value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = (value << 8) | quint8(header[offset + i]);
        return value;
    };
    EXPECT_EQ(little(28, 2), 24u);                        // bits per pixel
    EXPECT_EQ(little(38, 4), quint32(std::lround(150 / 0.0254))); // pixels per metre
}

namespace {

// The JPEG's first quantisation table, in the order stored (zigzag).
std::vector<int> firstQuantisationTable(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const qsizetype marker = bytes.indexOf(QByteArray("\xFF\xDB", 2));
    if (marker < 0 || marker + 5 + 64 > bytes.size())
        return {};
    std::vector<int> table;
    for (int i = 0; i < 64; ++i)
        table.push_back(quint8(bytes[marker + 5 + i]));
    return table;
}

// The baseline luminance table scaled for a quality as the JPEG reference
// encoder does, in stored order.
std::vector<int> expectedQuantisationTable(int quality)
{
    static const std::array<int, 64> luminance = {
        16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,  14, 13, 16, 24, 40, 57,
        69, 56, 14, 17, 22,  29,  51,  87,  80, 62, 18, 22, 37,  56,  68,  109, 103, 77, 24, 35, 55, 64,
        81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
    static const std::array<int, 64> zigzag = {
        0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
        41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
        30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::vector<int> table;
    for (int i = 0; i < 64; ++i)
        table.push_back(std::clamp((luminance[std::size_t(zigzag[std::size_t(i)])] * scale + 50) / 100, 1, 255));
    return table;
}

} // namespace

TEST_F(ImageFileExport, JpegQualityIsTenTimesTheSliderForJpgOnly)
{
    struct Case
    {
        const char* extension;
        int slider;
        int quality;
    };
    const Case cases[] = {
        {"jpg", 8, 80},
        {"jpg", 2, 20},
        {"JPG", 10, 100},
        {"jpg", 1, 20},   // below the slider's range
        {"jpg", 40, 100}, // above it
        {"jpeg", 2, 75},  // the encoder's own quality
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.extension << " slider " << c.slider);
        CImageFile_Exporter::Choices choices = pages(1, 1);
        choices.qualitySlider = c.slider;
        ASSERT_TRUE(exportAs(QString::fromLatin1(c.extension), choices));
        EXPECT_EQ(firstQuantisationTable(folder() + QStringLiteral("/Page_1.") + QString::fromLatin1(c.extension)),
                  expectedQuantisationTable(c.quality));
        QDir(folder()).removeRecursively();
    }
}

TEST_F(ImageFileExport, PageRangesAreClampedToTheComicAtBothEnds)
{
    struct Case
    {
        CImageFile_Exporter::Choices choices;
        QStringList files;
    };
    CImageFile_Exporter::Choices all = pages(3, 1);
    all.allPages = true;
    const Case cases[] = {
        {pages(2, 99), {"Page_2.png", "Page_3.png"}},
        {pages(3, 1), {"Page_3.png"}},
        {pages(-4, 1), {"Page_1.png"}},
        {pages(0, 0), {"Page_1.png"}},
        {pages(7, 9), {"Page_3.png"}},
        {pages(2, 2), {"Page_2.png"}},
        {all, {"Page_1.png", "Page_2.png", "Page_3.png"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.choices.fromPage << ".." << c.choices.toPage);
        progress.advanced.clear();
        ASSERT_TRUE(exportAs(QStringLiteral("png"), c.choices));
        EXPECT_EQ(filesInFolder(), c.files);
        EXPECT_EQ(exporter.progressSteps(), c.files.size());
        EXPECT_EQ(progress.startedSteps, c.files.size());
        EXPECT_EQ(int(progress.advanced.size()), c.files.size());
        QDir(folder()).removeRecursively();
    }
}

TEST_F(ImageFileExport, CancellingDuringPageTwoLeavesNoFolder)
{
    progress.cancelAtStep = 2;
    EXPECT_FALSE(exportAs(QStringLiteral("png")));
    EXPECT_EQ(exporter.outcome(), CImageFile_Exporter::Outcome::Cancelled);
    EXPECT_TRUE(exporter.isCancelled());
    EXPECT_TRUE(exporter.writtenFiles().isEmpty());
    EXPECT_TRUE(filesInDir().isEmpty());
    EXPECT_EQ(progress.advanced, (std::vector<int>{1, 2}));
    EXPECT_EQ(progress.closed, 1);

    // The next export starts afresh.
    progress.cancelAtStep = -1;
    progress.cancelled = false;
    EXPECT_TRUE(exportAs(QStringLiteral("png")));
    EXPECT_FALSE(exporter.isCancelled());
    EXPECT_EQ(filesInFolder().size(), 3);
}

TEST_F(ImageFileExport, WhatIsAlreadyThereIsRefusedAndLeftAlone)
{
    using Outcome = CImageFile_Exporter::Outcome;
    const QString other = dir + QStringLiteral("/elsewhere");
    ASSERT_TRUE(QDir().mkdir(other));
    struct Case
    {
        const char* what;
        std::function<void()> prepare;
        Outcome outcome;
    };
    const Case cases[] = {
        {"a folder with a file in it",
         [&] {
             QDir().mkdir(folder());
             QFile file(folder() + QStringLiteral("/Page_1.png"));
             file.open(QIODevice::WriteOnly);
             file.write("keep me");
         },
         Outcome::DestinationExists},
        {"a file",
         [&] {
             QFile file(folder());
             file.open(QIODevice::WriteOnly);
             file.write("keep me");
         },
         Outcome::DestinationExists},
        {"a link to a folder", [&] { QFile::link(other, folder()); }, Outcome::DestinationExists},
        {"a dangling link", [&] { QFile::link(dir + QStringLiteral("/nowhere"), folder()); },
         Outcome::DestinationExists},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        const QFileInfo before(folder());
        const QStringList entries = filesInDir();
        const QStringList inside = filesInFolder();
        EXPECT_FALSE(exportAs(QStringLiteral("png")));
        EXPECT_EQ(exporter.outcome(), c.outcome);
        EXPECT_EQ(exporter.failedPath(), folder());
        EXPECT_EQ(filesInDir(), entries);
        EXPECT_EQ(filesInFolder(), inside);
        EXPECT_EQ(QFileInfo(folder()).isSymLink(), before.isSymLink());
        if (before.isFile() || inside.contains(QStringLiteral("Page_1.png"))) {
            QFile file(before.isFile() ? folder() : folder() + QStringLiteral("/Page_1.png"));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), QByteArray("keep me"));
        }
        EXPECT_TRUE(QDir(other).isEmpty());
        if (QFileInfo(folder()).isSymLink() || QFileInfo(folder()).isFile())
            QFile::remove(folder());
        else
            QDir(folder()).removeRecursively();
    }
}

TEST_F(ImageFileExport, RefusalsBeforeWritingMakeNothing)
{
    using Outcome = CImageFile_Exporter::Outcome;
    struct Case
    {
        QString chosenFile;
        Outcome outcome;
    };
    const Case cases[] = {
        {dir + QStringLiteral("/out.xyz"), Outcome::UnsupportedType},
        {dir + QStringLiteral("/out"), Outcome::UnsupportedType},
        {dir + QStringLiteral("/.png"), Outcome::FolderNotCreated},
        {dir + QStringLiteral("/missing/out.png"), Outcome::FolderNotCreated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosenFile.toStdString());
        CImageFile_Exporter::Choices choices;
        choices.chosenFile = c.chosenFile;
        exporter.setChoices(choices);
        EXPECT_FALSE(exporter.exportComic(*comic, QString()));
        EXPECT_EQ(exporter.outcome(), c.outcome);
        EXPECT_TRUE(filesInDir().isEmpty());
    }

    CSComic empty;
    exporter.setChoices(CImageFile_Exporter::Choices{dir + QStringLiteral("/out.png")});
    EXPECT_FALSE(exporter.exportComic(empty, QString()));
    EXPECT_EQ(exporter.outcome(), Outcome::NoPages);
    EXPECT_TRUE(filesInDir().isEmpty());
}

TEST_F(ImageFileExport, AFailureMidwayRemovesOnlyWhatTheExportWrote)
{
    // Something else takes the name of page 2 while page 1 is written: page 2
    // cannot be saved, page 1 goes, the stranger and so its folder stay.
    progress.actionAtStep = 2;
    progress.action = [&] { QDir().mkdir(folder() + QStringLiteral("/Page_2.png")); };
    EXPECT_FALSE(exportAs(QStringLiteral("png")));
    EXPECT_EQ(exporter.outcome(), CImageFile_Exporter::Outcome::FileNotWritten);
    EXPECT_EQ(exporter.failedPage(), 2);
    EXPECT_EQ(exporter.failedPath(), folder() + QStringLiteral("/Page_2.png"));
    EXPECT_EQ(filesInFolder(), QStringList{"Page_2.png"});
    EXPECT_EQ(progress.closed, 1);
}

TEST_F(ImageFileExport, APageTooLargeToRenderFailsAndLeavesNoFolder)
{
    for (int dotsPerInch : {0, -72, 200000}) {
        SCOPED_TRACE(dotsPerInch);
        CImageFile_Exporter::Choices choices;
        choices.dotsPerInch = dotsPerInch;
        EXPECT_FALSE(exportAs(QStringLiteral("png"), choices));
        EXPECT_EQ(exporter.outcome(), CImageFile_Exporter::Outcome::PageNotRendered);
        EXPECT_EQ(exporter.failedPage(), 1);
        EXPECT_TRUE(filesInDir().isEmpty());
    }
}

TEST(ImageFileExporter, NamesItselfAndFindsItsFolder)
{
    CImageFile_Exporter exporter;
    EXPECT_EQ(exporter.identifier(), QStringLiteral("ImageFile_Exporter"));
    EXPECT_FALSE(exporter.displayName().isEmpty());
    EXPECT_EQ(CImageFile_Exporter::folderForChosenFile(QStringLiteral("/tmp/x/Holiday.jpg")),
              QStringLiteral("/tmp/x/Holiday"));
    EXPECT_EQ(CImageFile_Exporter::folderForChosenFile(QStringLiteral("/tmp/x/my.comic.tif")),
              QStringLiteral("/tmp/x/my.comic"));
}
