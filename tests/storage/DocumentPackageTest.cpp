// The document package: what a save stores and leaves out, what an open
// brings back, and that no failure on the way harms the file on disk or the
// document that is open.

#include "CSComic.h"
#include "CSImageElement.h"
#include "CSPage.h"
#include "DocumentPackage.h"
#include "FailingDevice.h"
#include "PAImage.h"
#include "TarArchive.h"
#include "TemporaryRoot.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A small PNG of one colour; its bytes are what the package must carry.
QString writePicture(const QString& path, QColor colour, int width = 24, int height = 16)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QDir().mkpath(QFileInfo(path).absolutePath());
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
}

// A thumbnail whose top half is red and bottom half blue, so a flip shows.
RefPtr<PAImage> twoToneThumbnail()
{
    QImage image(8, 10, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return RefPtr<PAImage>(new PAImage(image));
}

bool topIsRed(const PAImage& picture)
{
    return qRed(picture.image().pixel(0, 0)) > 200 && qBlue(picture.image().pixel(0, picture.height() - 1)) > 200;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class DocumentPackageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        place = TestEnvironment::makeTempFolder(QStringLiteral("documents"));
        root.reset(TemporaryRoot::makeForTesting(place + QStringLiteral("/temp")));
        ASSERT_TRUE(root->isValid());
    }

    // A comic of two pages; the first shows two pictures of files, a third
    // picture is in the table without being used. Page 1 has a thumbnail.
    std::unique_ptr<DocumentPackage> makeDocument()
    {
        auto document = std::make_unique<DocumentPackage>(*root);
        auto* comic = new CSComic(Size{300, 200});
        comic->addPage(new CSPage);
        comic->addPage(new CSPage);
        document->setComic(comic);
        red = writePicture(place + QStringLiteral("/sources/red.png"), Qt::red);
        green = writePicture(place + QStringLiteral("/sources/green.png"), Qt::green);
        const QString unused = writePicture(place + QStringLiteral("/sources/unused.png"), Qt::gray);
        redImage = showPicture(*document, red);
        greenImage = showPicture(*document, green);
        unusedName = document->importPicture(unused)->cacheName();
        comic->pageAt(0)->setThumbnail(twoToneThumbnail().get());
        return document;
    }

    CSImageElement* showPicture(DocumentPackage& document, const QString& path)
    {
        PAImage* picture = document.importPicture(path);
        EXPECT_NE(picture, nullptr);
        auto* element = new CSImageElement(Rect(10, 10, 60, 40));
        element->setPicture(picture);
        document.comic()->pageAt(0)->addChild(element);
        return element;
    }

    // The archive's files, unpacked afresh.
    QString unpacked(const QString& documentPath)
    {
        const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("unpacked"));
        EXPECT_TRUE(TarArchive::unpackArchive(documentPath, folder));
        return folder;
    }

    QString place;
    std::unique_ptr<TemporaryRoot> root;
    QString red, green, unusedName;
    CSImageElement* redImage = nullptr;
    CSImageElement* greenImage = nullptr;
};

TEST_F(DocumentPackageTest, SavingStoresTheUsedPicturesAndThumbnailsAndLeavesNoTemporaryFile)
{
    auto document = makeDocument();
    document->setModified(true);
    const QString path = place + QStringLiteral("/Comic.comicdoc");
    ASSERT_TRUE(document->saveDocument(path)) << document->lastError().toStdString();
    EXPECT_FALSE(document->isModified());
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".comictmp")));
    EXPECT_TRUE(readFile(path).startsWith("pXnA0001"));

    const QString contents = unpacked(path);
    EXPECT_TRUE(QFileInfo(contents + QStringLiteral("/ComicData.pac")).isFile());
    const QStringList images = filesIn(contents + QStringLiteral("/Images"));
    QStringList expected{redImage->imageName(), greenImage->imageName()};
    expected.sort();
    EXPECT_EQ(images, expected);
    EXPECT_EQ(readFile(contents + QStringLiteral("/Images/") + redImage->imageName()), readFile(red));
    EXPECT_EQ(filesIn(contents + QStringLiteral("/Thumbnails")), QStringList{QStringLiteral("Page_1.tif")});
    // The unused picture stays in the working folder for an undo.
    EXPECT_TRUE(QFileInfo::exists(document->workingFolder() + QStringLiteral("/Images/") + unusedName));
    EXPECT_TRUE(topIsRed(*document->comic()->pageAt(0)->thumbnail())) << "the page's thumbnail is not flipped";

    DocumentPackage reopened(*root);
    ASSERT_TRUE(reopened.openDocument(path)) << reopened.lastError().toStdString();
    const CSComic& comic = *reopened.comic();
    ASSERT_EQ(comic.pageCount(), 2);
    EXPECT_EQ(comic.pictures().size(), 2u);
    const CSElement* shown = comic.pageAt(0)->children().at(0);
    ASSERT_NE(shown->picture(), nullptr);
    EXPECT_FALSE(shown->picture()->isLoaded()) << "opening decodes no picture";
    EXPECT_TRUE(shown->picture()->isStoredInPackage());
    ASSERT_NE(comic.pageAt(0)->thumbnail(), nullptr);
    EXPECT_TRUE(topIsRed(*comic.pageAt(0)->thumbnail()));
    EXPECT_EQ(comic.pageAt(1)->thumbnail(), nullptr);
    EXPECT_FALSE(reopened.isModified());
}

TEST_F(DocumentPackageTest, ADeletedPictureLeavesTheArchiveAndReturnsAfterUndo)
{
    auto document = makeDocument();
    const QString path = place + QStringLiteral("/Comic.comicdoc");
    ASSERT_TRUE(document->saveDocument(path));
    const QString name = redImage->imageName();

    document->comic()->pageAt(0)->removeChild(redImage);
    ASSERT_TRUE(document->saveDocument(path));
    EXPECT_FALSE(filesIn(unpacked(path) + QStringLiteral("/Images")).contains(name));

    document->undoManager().undo();
    ASSERT_TRUE(document->saveDocument(path));
    DocumentPackage reopened(*root);
    ASSERT_TRUE(reopened.openDocument(path));
    const CSElement* element = reopened.comic()->pageAt(0)->children().at(0);
    EXPECT_EQ(element->pictureName(), name);
    ASSERT_NE(element->picture(), nullptr);
    EXPECT_TRUE(PAImage::ok(element->picture()->reload()));
    EXPECT_EQ(element->picture()->width(), 24);
}

TEST_F(DocumentPackageTest, AThumbnailThatIsGoneIsRemovedFromThePackage)
{
    auto document = makeDocument();
    const QString path = place + QStringLiteral("/Comic.comicdoc");
    ASSERT_TRUE(document->saveDocument(path));
    document->comic()->pageAt(0)->setThumbnail(nullptr);
    document->comic()->pageAt(1)->setThumbnail(twoToneThumbnail().get());
    ASSERT_TRUE(document->saveDocument(path));
    EXPECT_EQ(filesIn(unpacked(path) + QStringLiteral("/Thumbnails")), QStringList{QStringLiteral("Page_2.tif")});
}

// A picture whose source is its own stored file, spelled another way, must
// not be deleted before it is copied onto itself.
TEST_F(DocumentPackageTest, APictureAlreadyInThePackageIsRecognisedByFileIdentity)
{
    auto document = makeDocument();
    const QString path = place + QStringLiteral("/Comic.comicdoc");
    ASSERT_TRUE(document->saveDocument(path));
    DocumentPackage reopened(*root);
    ASSERT_TRUE(reopened.openDocument(path));
    PAImage* picture = reopened.comic()->pictureNamed(redImage->imageName());
    ASSERT_NE(picture, nullptr);
    picture->setStoredInPackage(false);
    picture->setSourcePath(reopened.workingFolder() + QStringLiteral("/Images/../Images//") + picture->cacheName());
    ASSERT_TRUE(reopened.saveDocument(path)) << reopened.lastError().toStdString();
    EXPECT_EQ(readFile(unpacked(path) + QStringLiteral("/Images/") + picture->cacheName()), readFile(red));
}

// --- Failures ---------------------------------------------------------------------------

// Fails the archive's n-th write, as a full disk or a lost share would.
class FailingDocument : public DocumentPackage
{
public:
    using DocumentPackage::DocumentPackage;
    int failAtWrite = -1;
    int writesSeen = 0;

protected:
    bool writeArchive(QIODevice& out, const QSet<QString>& leaveOut) override
    {
        if (failAtWrite < 0) {
            FailingDevice counter(1 << 30);
            DocumentPackage::writeArchive(counter, leaveOut);
            writesSeen = counter.writesSeen();
            return DocumentPackage::writeArchive(out, leaveOut);
        }
        FailingDevice failing(failAtWrite);
        return DocumentPackage::writeArchive(failing, leaveOut);
    }
};

// Writes through /dev/full: every write of the archive meets a full disk.
class DiskFullDocument : public DocumentPackage
{
public:
    using DocumentPackage::DocumentPackage;

protected:
    bool writeArchive(QIODevice& out, const QSet<QString>& leaveOut) override
    {
        QFile full(QStringLiteral("/dev/full"));
        if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return DocumentPackage::writeArchive(out, leaveOut);
        return DocumentPackage::writeArchive(full, leaveOut);
    }
};

TEST_F(DocumentPackageTest, AFailedWriteLeavesTheFileAsItWasAndTheDocumentModified)
{
    auto document = makeDocument();
    const QString path = place + QStringLiteral("/Comic.comicdoc");
    ASSERT_TRUE(document->saveDocument(path));
    const QByteArray before = readFile(path);

    FailingDocument failing(*root);
    failing.setComic(document->takeComic());
    failing.comic()->addPage(new CSPage);
    ASSERT_TRUE(failing.saveDocument(place + QStringLiteral("/Other.comicdoc")));
    ASSERT_GT(failing.writesSeen, 5);
    for (int n = 0; n < failing.writesSeen; ++n) {
        failing.failAtWrite = n;
        failing.setModified(true);
        EXPECT_FALSE(failing.saveDocument(path)) << "failure at write " << n;
        EXPECT_TRUE(failing.isModified());
        EXPECT_EQ(readFile(path), before) << "failure at write " << n;
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".comictmp")));
    }

    DiskFullDocument full(*root);
    full.setComic(failing.takeComic());
    full.setModified(true);
    EXPECT_FALSE(full.saveDocument(path));
    EXPECT_FALSE(full.lastError().isEmpty());
    EXPECT_TRUE(full.isModified());
    EXPECT_EQ(readFile(path), before);

    // A first save that fails leaves nothing behind.
    const QString fresh = place + QStringLiteral("/Fresh.comicdoc");
    EXPECT_FALSE(full.saveDocument(fresh));
    EXPECT_FALSE(QFileInfo::exists(fresh));
    EXPECT_FALSE(QFileInfo::exists(fresh + QStringLiteral(".comictmp")));
}

TEST_F(DocumentPackageTest, APictureThatCannotBeCopiedFailsTheSaveOnlyWhenAPageUsesIt)
{
    auto document = makeDocument();
    const QString path = place + QStringLiteral("/Comic.comicdoc");
    writeFile(path, "the old document");
    QFile::remove(place + QStringLiteral("/sources/unused.png"));
    ASSERT_TRUE(document->saveDocument(path)) << "an unused picture's missing file does not matter";

    const QByteArray saved = readFile(path);
    const QString missing = place + QStringLiteral("/sources/blue.png");
    writePicture(missing, Qt::blue);
    showPicture(*document, missing);
    QFile::remove(missing);
    EXPECT_FALSE(document->saveDocument(path));
    EXPECT_TRUE(document->lastError().contains(missing)) << document->lastError().toStdString();
    EXPECT_EQ(readFile(path), saved);
}

TEST_F(DocumentPackageTest, AFailedOpenKeepsTheDocumentThatIsOpen)
{
    auto document = makeDocument();
    const QString path = place + QStringLiteral("/Comic.comicdoc");
    ASSERT_TRUE(document->saveDocument(path));
    DocumentPackage open(*root);
    ASSERT_TRUE(open.openDocument(path));
    const CSComic* comic = open.comic();
    const QString folder = open.workingFolder();

    const QString garbage = place + QStringLiteral("/garbage.comicdoc");
    writeFile(garbage, QByteArray(3000, 'x'));
    const QString noComic = place + QStringLiteral("/nocomic.comicdoc");
    writeFile(place + QStringLiteral("/nocomic/readme.txt"), "no comic here");
    ASSERT_TRUE(TarArchive::packFolder(place + QStringLiteral("/nocomic"), noComic));
    for (const QString& bad : {garbage, noComic, place + QStringLiteral("/missing.comicdoc")}) {
        SCOPED_TRACE(bad.toStdString());
        EXPECT_FALSE(open.openDocument(bad, [] { return true; }));
        EXPECT_FALSE(open.lastError().isEmpty());
        EXPECT_EQ(open.comic(), comic);
        EXPECT_EQ(open.workingFolder(), folder);
        EXPECT_EQ(open.filePath(), path);
    }
    // The pictures still read from the folder that was kept.
    EXPECT_TRUE(PAImage::ok(comic->pageAt(0)->children().at(0)->picture()->reload()));
}

TEST_F(DocumentPackageTest, ADamagedFileOpensOnlyWhenTheUserAgrees)
{
    auto document = makeDocument();
    const QString path = place + QStringLiteral("/Comic.comicdoc");
    ASSERT_TRUE(document->saveDocument(path));
    QByteArray bytes = readFile(path);
    // Cut inside the pictures: the comic data, packed first, is whole.
    const QString cut = place + QStringLiteral("/Cut.comicdoc");
    writeFile(cut, bytes.left(bytes.size() - 1024 - 600));

    int asked = 0;
    DocumentPackage refused(*root);
    EXPECT_FALSE(refused.openDocument(cut, [&] { ++asked; return false; }));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(refused.comic(), nullptr);
    EXPECT_FALSE(refused.openDocument(cut)) << "without a question a damaged file is refused";

    DocumentPackage salvaged(*root);
    EXPECT_TRUE(salvaged.openDocument(cut, [&] { ++asked; return true; }));
    EXPECT_EQ(asked, 2);
    ASSERT_NE(salvaged.comic(), nullptr);
    EXPECT_EQ(salvaged.comic()->pageCount(), 2);
}

TEST_F(DocumentPackageTest, APackageWithoutThumbnailsOpensWithoutThem)
{
    const QString folder = place + QStringLiteral("/bare");
    auto document = makeDocument();
    ASSERT_TRUE(document->comic()->saveToFile(place + QStringLiteral("/data.pac")));
    writeFile(folder + QStringLiteral("/ComicData.pac"), readFile(place + QStringLiteral("/data.pac")));
    const QString path = place + QStringLiteral("/Bare.COMICDOC");
    ASSERT_TRUE(TarArchive::packFolder(folder, path));
    DocumentPackage open(*root);
    ASSERT_TRUE(open.openDocument(path));
    EXPECT_EQ(open.comic()->pageCount(), 2);
    EXPECT_EQ(open.comic()->pageAt(0)->thumbnail(), nullptr);
    // The pictures are missing: the elements keep their names.
    EXPECT_EQ(open.comic()->pageAt(0)->children().at(0)->pictureName(), redImage->imageName());
}

// --- Names and folders ------------------------------------------------------------------

TEST(DocumentPath, EndsInComicdocInAnyCase)
{
    const struct
    {
        const char* path;
        bool document;
    } cases[] = {
        {"a.comicdoc", true},     {"/x/B.COMICDOC", true}, {"c.ComicDoc", true},
        {"a.comicdoc.txt", false}, {"comicdoc", false},    {"a.xml", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DocumentPackage::isDocumentPath(QString::fromLatin1(c.path)), c.document) << c.path;

    // A link is resolved to its target first.
    const QString place = TestEnvironment::makeTempFolder(QStringLiteral("links"));
    writeFile(place + QStringLiteral("/real.comicdoc"), "x");
    ASSERT_TRUE(QFile::link(place + QStringLiteral("/real.comicdoc"), place + QStringLiteral("/shortcut")));
    EXPECT_TRUE(DocumentPackage::isDocumentPath(place + QStringLiteral("/shortcut")));
}

TEST(StorablePictureName, FitsTheArchiveStaysUniqueAndKeepsItsExtension)
{
    const QString longName = QString(150, u'p') + QStringLiteral(".png");
    const QString first = DocumentPackage::storablePictureName(longName, {});
    EXPECT_LE(first.toUtf8().size(), DocumentPackage::kMaxPictureNameBytes);
    EXPECT_TRUE(first.endsWith(QStringLiteral(".png")));
    const QString second = DocumentPackage::storablePictureName(longName, {first});
    EXPECT_NE(second, first);
    EXPECT_LE(second.toUtf8().size(), DocumentPackage::kMaxPictureNameBytes);

    // Two-byte letters are not cut in half.
    const QString umlauts = DocumentPackage::storablePictureName(QString(80, QChar(0xE4)) + QStringLiteral(".jpg"), {});
    EXPECT_LE(umlauts.toUtf8().size(), DocumentPackage::kMaxPictureNameBytes);
    EXPECT_EQ(QString::fromUtf8(umlauts.toUtf8()), umlauts);

    EXPECT_EQ(DocumentPackage::storablePictureName(QStringLiteral("photo.jpg"), {}), QStringLiteral("photo.jpg"));
    EXPECT_EQ(DocumentPackage::storablePictureName(QStringLiteral("photo.jpg"), {QStringLiteral("photo.jpg")}),
              QStringLiteral("photo~1.jpg"));
    EXPECT_EQ(DocumentPackage::storablePictureName(QStringLiteral(".hidden.png"), {}), QStringLiteral("_hidden.png"));
    EXPECT_EQ(DocumentPackage::storablePictureName(QStringLiteral("a\\b.png"), {}), QStringLiteral("a_b.png"));
}

TEST_F(DocumentPackageTest, APictureWithALongFileNameIsStoredUnderAShortOne)
{
    auto document = makeDocument();
    const QString source = writePicture(place + QStringLiteral("/sources/") + QString(120, u'n') + QStringLiteral(".png"),
                                        Qt::magenta);
    PAImage* picture = document->importPicture(source, false);
    ASSERT_NE(picture, nullptr);
    EXPECT_LE(picture->cacheName().toUtf8().size(), DocumentPackage::kMaxPictureNameBytes);
    auto* element = new CSImageElement(Rect(0, 0, 20, 20));
    element->setPicture(picture);
    document->comic()->pageAt(1)->addChild(element);
    const QString path = place + QStringLiteral("/Long.comicdoc");
    ASSERT_TRUE(document->saveDocument(path)) << document->lastError().toStdString();
    DocumentPackage reopened(*root);
    ASSERT_TRUE(reopened.openDocument(path));
    const CSElement* read = reopened.comic()->pageAt(1)->children().at(0);
    ASSERT_NE(read->picture(), nullptr);
    EXPECT_TRUE(PAImage::ok(read->picture()->reload()));
}

TEST_F(DocumentPackageTest, FoldersArePerDocumentAndGoAtExit)
{
    const int before = DocumentPackage::openDocumentCount();
    QString working, cache;
    {
        DocumentPackage first(*root);
        DocumentPackage second(*root);
        EXPECT_EQ(DocumentPackage::openDocumentCount(), before + 2);
        EXPECT_NE(first.documentNumber(), second.documentNumber());
        working = first.workingFolder();
        cache = first.pictureCacheFolder();
        EXPECT_EQ(cache, root->path() + QStringLiteral("/ImageCache/doc%1").arg(first.documentNumber()));
        EXPECT_TRUE(working.startsWith(root->path() + QStringLiteral("/doc%1-").arg(first.documentNumber())));
        EXPECT_NE(second.workingFolder(), working);
    }
    EXPECT_EQ(DocumentPackage::openDocumentCount(), before);
    EXPECT_TRUE(QFileInfo(working).isDir()) << "kept until the program ends";
    root->removeAtExit();
    EXPECT_FALSE(QFileInfo::exists(working));
    EXPECT_FALSE(QFileInfo::exists(cache));
}

} // namespace
