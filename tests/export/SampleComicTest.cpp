// The sample comic as an export draws it, page by page, against reviewed
// reference pictures; and its comic data file written, read and written
// again gives the same bytes in any locale.

#include "CSComic.h"
#include "PAImage.h"
#include "PageRenderer.h"
#include "ReferenceImage.h"
#include "SampleComic.h"
#include "TestEnvironment.h"
#include "XmlSupport.h"

#include <QLocale>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <clocale>
#include <memory>

namespace {

struct ComicDeleter
{
    void operator()(CSComic* comic) const { CSComic::destroy(comic); }
};
using ComicPtr = std::unique_ptr<CSComic, ComicDeleter>;

QByteArray xmlOf(const CSComic& comic)
{
    TiXmlDocument document;
    comic.toXml(&document);
    return XmlSupport::printDocument(document);
}

class SampleComicTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_images = new QString(TestEnvironment::makeTempFolder(QStringLiteral("sample")) + QStringLiteral("/Images"));
        ASSERT_TRUE(SampleComic::writeGeneratedPictures(*s_images));
    }
    static void TearDownTestSuite()
    {
        delete s_images;
        s_images = nullptr;
    }
    ComicPtr build() const { return ComicPtr(SampleComic::build(*s_images)); }

    static QString* s_images;
};

QString* SampleComicTest::s_images = nullptr;

} // namespace

TEST_F(SampleComicTest, PagesMatchTheirReferences)
{
    ComicPtr comic = build();
    ASSERT_EQ(comic->pageCount(), 3);
    PageRenderer renderer(*comic);
    for (int index = 0; index < comic->pageCount(); ++index) {
        RefPtr<PAImage> page = renderer.renderPage(index, 72.0f, false);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->width(), 612);
        EXPECT_EQ(page->height(), 792);
        EXPECT_TRUE(matchesReference(page->image().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                                     QStringLiteral("sample_page_%1").arg(index + 1), 24));
    }
}

TEST_F(SampleComicTest, WriteReadWriteGivesTheSameBytesInAnyLocale)
{
    ComicPtr comic = build();
    const QByteArray written = xmlOf(*comic);
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        SCOPED_TRACE(locale);
        const char* previous = std::setlocale(LC_ALL, locale);
        ASSERT_NE(previous, nullptr) << "locale missing (scripts/install-deps generates it)";
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        ComicPtr read(CSComic::comicFromXmlText(written));
        ASSERT_TRUE(read);
        EXPECT_TRUE(read->readProblems().isEmpty()) << read->readProblems().join('\n').toStdString();
        EXPECT_EQ(xmlOf(*read), written);
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
    }
}

TEST_F(SampleComicTest, UsesEveryElementKind)
{
    ComicPtr comic = build();
    const QByteArray written = xmlOf(*comic);
    for (const char* type : {"panel", "image", "balloon", "subballoon", "balloontail", "caption", "lettering"})
        EXPECT_NE(written.indexOf(QByteArray("type=\"") + type + '"'), -1) << type;
    EXPECT_NE(written.indexOf("name=\"irregular\""), -1);
}
