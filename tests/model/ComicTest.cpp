// The comic: paper geometry, the comic data file (read, written, hostile),
// relayout and notifications, the picture table and the stylesheet push.

#include "CSCaptionElement.h"
#include "CSComic.h"
#include "CSImageElement.h"
#include "CSPage.h"
#include "CSStylesheet.h"
#include "CUndoManager.h"
#include "ElementTestKinds.h"
#include "NSDictionary.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PAFont.h"
#include "PAImage.h"
#include "TestEnvironment.h"
#include "XmlSupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cmath>
#include <functional>
#include <memory>

namespace {

struct ComicDeleter
{
    void operator()(CSComic* comic) const { CSComic::destroy(comic); }
};
using ComicPtr = std::unique_ptr<CSComic, ComicDeleter>;

ComicPtr readComic(const QByteArray& text)
{
    return ComicPtr(CSComic::comicFromXmlText(text));
}

QByteArray xmlOf(const CSComic& comic)
{
    TiXmlDocument document;
    comic.toXml(&document);
    return XmlSupport::printDocument(document);
}

// Counts "CSComicChangedNotification" posts by one comic.
class ComicPosts : public NotificationObserver
{
public:
    explicit ComicPosts(const CSComic* comic) : m_comic(comic)
    {
        NotificationCenter::defaultCenter().addObserver(this, &ComicPosts::onPost,
                                                        NotificationNames::CSComicChangedNotification);
    }
    int count = 0;

private:
    void onPost(const Notification& notification)
    {
        if (notification.sender == m_comic)
            ++count;
    }
    const CSComic* m_comic;
};

const char kTwoPages[] = R"(<comic>
  <attributes>
    <setting name="pageName">US Letter</setting>
    <setting name="pageSize">{612, 792}</setting>
    <setting name="portraitMode">0</setting>
    <setting name="leftMargin">36.000000</setting>
    <setting name="rightMargin">36.000000</setting>
    <setting name="topMargin">36.000000</setting>
    <setting name="bottomMargin">36.000000</setting>
    <setting name="gridInterval">20</setting>
    <setting name="backgroundColor"><color r="1" g="0.5" b="0" a="1"/></setting>
    <setting name="somethingNew">7</setting>
  </attributes>
  <pages>
    <element type="page" oid="p1" x="5" y="5" w="10" h="10"><style name=""/><elements>
      <element type="caption" oid="c1" x="10" y="20" w="100" h="40" angle="0"><style name=""/><elements/>
        <attributes><setting name="clip">1</setting></attributes><text/></element>
    </elements></element>
    <element type="panel" oid="p2" x="0" y="0" w="1" h="1"><style name=""/><elements/></element>
  </pages>
</comic>)";

} // namespace

TEST(ComicGeometry, OrientationAndMarginsGiveContentAndPaper)
{
    struct Case
    {
        Size stored;
        bool portrait;
        float margin;
        Size oriented;
        Size content;
    };
    const Case cases[] = {
        {{612, 792}, false, 36, {792, 612}, {720, 540}},
        {{612, 792}, true, 36, {612, 792}, {540, 720}},
        {{792, 612}, true, 0, {612, 792}, {612, 792}},
        {{500, 500}, false, 10, {500, 500}, {480, 480}},
        // Margins wider than the paper leave one unit of content, never a
        // negative or empty size.
        {{100, 100}, true, 80, {100, 100}, {1, 1}},
    };
    for (const Case& c : cases) {
        CSComic comic(c.stored);
        comic.setPortrait(c.portrait);
        comic.setLeftMargin(c.margin);
        comic.setRightMargin(c.margin);
        comic.setTopMargin(c.margin);
        comic.setBottomMargin(c.margin);
        EXPECT_EQ(comic.orientedSize(), c.oriented);
        EXPECT_EQ(comic.contentSize(), c.content);
        EXPECT_EQ(comic.paperRect(), Rect(Point{-c.margin, -c.margin}, c.oriented));
    }
}

TEST(ComicGeometry, PaperConstructionChoosesOrientationAndAStylesheet)
{
    CSComic tall(Size{400, 600});
    CSComic wide(Size{600, 400});
    EXPECT_TRUE(tall.isPortrait());
    EXPECT_FALSE(wide.isPortrait());
    EXPECT_NE(tall.stylesheet(), nullptr);
    EXPECT_EQ(tall.backgroundColor(), 0xFFFFFFFFu);
    EXPECT_EQ(tall.gridInterval(), 15);
    EXPECT_EQ(tall.snapTolerance(), 8);
}

TEST(ComicGeometry, PageTypeDictionaryIsReadWithoutUndo)
{
    NSDictionary type;
    type.setStringForKey(QStringLiteral("A4"), QStringLiteral("Name"));
    type.setStringForKey(QStringLiteral("{595, 842}"), QStringLiteral("Size"));
    type.setFloatForKey(20, QStringLiteral("LeftMargin"));
    type.setFloatForKey(30, QStringLiteral("TopMargin"));
    CSComic comic(type);
    EXPECT_EQ(comic.pageName(), QStringLiteral("A4"));
    EXPECT_EQ(comic.pageSize(), (Size{595, 842}));
    EXPECT_EQ(comic.leftMargin(), 20.0f);
    EXPECT_EQ(comic.topMargin(), 30.0f);
    EXPECT_EQ(comic.rightMargin(), 0.0f);
    EXPECT_NE(comic.stylesheet(), nullptr);
}

TEST(ComicFile, ReadsSettingsAndLaysOutEveryPageForTheContent)
{
    ComicPtr comic = readComic(kTwoPages);
    ASSERT_TRUE(comic);
    EXPECT_EQ(comic->pageName(), QStringLiteral("US Letter"));
    EXPECT_FALSE(comic->isPortrait());
    EXPECT_EQ(comic->gridInterval(), 20);
    EXPECT_EQ(comic->backgroundColor(), 0xFFFF8000u);
    // The second page says "panel" and is read as a page all the same.
    ASSERT_EQ(comic->pageCount(), 2);
    for (const CSPage* page : comic->pages()) {
        EXPECT_EQ(page->pageSize(), (Size{720, 540}));
        EXPECT_EQ(page->frame(), Rect(0, 0, 720, 540));
    }
    ASSERT_EQ(comic->pageAt(0)->childCount(), 1);
    EXPECT_EQ(comic->pageAt(0)->childAt(0)->frame(), Rect(10, 20, 100, 40));
    EXPECT_EQ(comic->pageAt(0)->identifier(), QStringLiteral("p1"));
}

TEST(ComicFile, WritesWhatItReadsByteForByte)
{
    ComicPtr comic = readComic(kTwoPages);
    ASSERT_TRUE(comic);
    comic->setStylesheet(CSStylesheet::newStylesheet());
    const QByteArray written = xmlOf(*comic);
    ComicPtr again = readComic(written);
    ASSERT_TRUE(again);
    EXPECT_EQ(xmlOf(*again), written);
    EXPECT_FALSE(written.startsWith("<?xml"));
    // The settings in their fixed order, the stylesheet, then the pages.
    const char* order[] = {"pageName", "pageSize", "portraitMode", "snapTolerance", "gridInterval",
                           "showAlignmentGuides", "showGrid", "snapToGrid", "leftMargin", "rightMargin",
                           "topMargin", "bottomMargin", "backgroundColor", "<stylesheet", "<pages"};
    qsizetype at = 0;
    for (const char* name : order) {
        const qsizetype found = written.indexOf(name, at);
        EXPECT_GT(found, at) << name;
        at = std::max(found, at);
    }
    EXPECT_NE(written.indexOf("<setting name=\"pageSize\">{612, 792}</setting>"), -1);
    EXPECT_NE(written.indexOf("<setting name=\"leftMargin\">36.000000</setting>"), -1);
}

TEST(ComicFile, SavesThroughAFileAndReadsItBack)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("comic"));
    const QString path = folder + QStringLiteral("/comic.xml");
    ComicPtr comic = readComic(kTwoPages);
    ASSERT_TRUE(comic->saveToFile(path));
    ComicPtr read(CSComic::comicFromFile(path));
    ASSERT_TRUE(read);
    EXPECT_EQ(xmlOf(*read), xmlOf(*comic));
    EXPECT_FALSE(CSComic::comicFromFile(folder + QStringLiteral("/missing.xml")));
    // A save into a folder that does not exist fails and leaves nothing.
    EXPECT_FALSE(comic->saveToFile(folder + QStringLiteral("/no/such/comic.xml")));
}

TEST(ComicFile, KeepsTheSpacesOfTexts)
{
    ComicPtr comic = readComic(R"(<comic><attributes><setting name="pageName">  Two  spaces
and a line </setting></attributes></comic>)");
    ASSERT_TRUE(comic);
    EXPECT_EQ(comic->pageName(), QStringLiteral("  Two  spaces\nand a line "));
    EXPECT_EQ(comic->pageCount(), 0);
}

TEST(ComicFile, DamagedOrHostileFilesGiveSaneComics)
{
    struct Case
    {
        const char* name;
        const char* xml;
        bool readable;
    };
    const Case cases[] = {
        {"not xml", "<comic><pages>", false},
        {"empty", "", false},
        {"colour as text", R"(<comic><attributes><setting name="backgroundColor">white</setting></attributes></comic>)", true},
        {"huge and odd numbers",
         R"(<comic><attributes><setting name="pageSize">{1e30, nan}</setting><setting name="leftMargin">-5</setting>
            <setting name="topMargin">inf</setting><setting name="gridInterval">0</setting><setting name="snapTolerance">-3</setting>
            <setting name="portraitMode"></setting></attributes><pages><element type="page"/></pages></comic>)",
         true},
        {"settings without names", R"(<comic><attributes><setting>1</setting><setting name=""/></attributes></comic>)", true},
        {"unknown element types",
         R"(<comic><pages><element type="page"><elements><element type="spaceship" x="1"/><element/></elements></element></pages></comic>)",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ComicPtr comic = readComic(c.xml);
        ASSERT_EQ(bool(comic), c.readable);
        if (!comic)
            continue;
        const Size content = comic->contentSize();
        EXPECT_TRUE(std::isfinite(content.width) && std::isfinite(content.height));
        EXPECT_GE(content.width, 1.0f);
        EXPECT_GE(content.height, 1.0f);
        EXPECT_NE(comic->stylesheet(), nullptr);
        EXPECT_GE(comic->leftMargin(), 0.0f);
        EXPECT_GE(comic->gridInterval(), 1);
        EXPECT_GE(comic->snapTolerance(), 1);
        // A comic read from a file writes out again and reads back the same.
        const QByteArray written = xmlOf(*comic);
        ComicPtr again = readComic(written);
        ASSERT_TRUE(again);
        EXPECT_EQ(xmlOf(*again), written);
    }
    ComicPtr black = readComic(cases[2].xml);
    EXPECT_EQ(black->backgroundColor(), kOpaqueBlack);
}

TEST(ComicEdits, OrientationRelaysOutEveryPageAndPostsOnce)
{
    CSComic comic(Size{612, 792});
    comic.addPage(new CSPage);
    comic.addPage(new CSPage);
    ComicPosts posts(&comic);
    comic.setPortrait(false);
    EXPECT_EQ(posts.count, 1);
    for (const CSPage* page : comic.pages())
        EXPECT_EQ(page->pageSize(), (Size{792, 612}));

    CUndoManager undo;
    comic.setUndoManager(&undo);
    comic.setPortrait(false);
    EXPECT_EQ(posts.count, 1);
    EXPECT_FALSE(undo.canUndo());
}

TEST(ComicEdits, PictureTableRefusesASecondPictureUnderOneName)
{
    CSComic comic(Size{400, 600});
    RefPtr<PAImage> first(new PAImage(QImage(4, 4, QImage::Format_RGB32)));
    RefPtr<PAImage> second(new PAImage(QImage(8, 8, QImage::Format_RGB32)));
    first->setCacheName(QStringLiteral("photo.jpg"));
    second->setCacheName(QStringLiteral("photo.jpg"));
    EXPECT_TRUE(comic.addPicture(first.get()));
    EXPECT_FALSE(comic.addPicture(second.get()));
    EXPECT_EQ(comic.pictureNamed(QStringLiteral("photo.jpg")), first.get());
    ASSERT_EQ(comic.picturesToStore().size(), 1u);
    first->setStoredInPackage(true);
    EXPECT_TRUE(comic.picturesToStore().empty());
}

// A comic read from a file finds its pictures by name, on the page itself
// as well as inside a panel.
TEST(ComicEdits, AttachingPicturesReachesPictureElementsAnywhereOnAPage)
{
    std::unique_ptr<CSComic, ComicDeleter> comic(CSComic::comicFromXmlText(R"(<comic><pages>
        <element type="page"><elements>
          <element type="image" x="0" y="0" w="10" h="10"><attributes><setting name="imageName">a.png</setting></attributes></element>
          <element type="panel" x="20" y="20" w="50" h="50"><elements>
            <element type="image" x="25" y="25" w="10" h="10"><attributes><setting name="imageName">a.png</setting></attributes></element>
          </elements></element>
        </elements></element></pages></comic>)"));
    ASSERT_TRUE(comic);
    RefPtr<PAImage> picture(new PAImage(QImage(4, 4, QImage::Format_RGB32)));
    picture->setCacheName(QStringLiteral("a.png"));
    comic->addPicture(picture.get());
    comic->attachPictures();
    const CSPage* page = comic->pageAt(0);
    int found = 0;
    std::function<void(const CSElement*)> visit = [&](const CSElement* element) {
        if (element->elementKind() == CSElementKind::Image) {
            EXPECT_EQ(element->picture(), picture.get());
            ++found;
        }
        for (const CSElement* child : element->children())
            visit(child);
    };
    visit(page);
    EXPECT_EQ(found, 2);
}

TEST(ComicEdits, ANewStylesheetPushesItsFontsIntoTextWithoutOverrides)
{
    CSComic comic(Size{400, 600});
    auto* page = new CSPage;
    comic.addPage(page);
    auto* plain = new CSCaptionElement(Rect(10, 10, 100, 40));
    auto* overridden = new CSCaptionElement(Rect(10, 60, 100, 40));
    const PAFont* own = PAFont::fontWithFamily(QStringLiteral("DejaVu Serif"), 11, false, false);
    plain->setText(CAttributedString(QStringLiteral("plain"), own, kOpaqueBlack));
    overridden->setText(CAttributedString(QStringLiteral("own"), own, kOpaqueBlack));
    overridden->setFontAttribute(own, QStringLiteral("Font"));
    page->addChild(plain);
    page->addChild(overridden);

    CSStylesheet* sheet = CSStylesheet::newStylesheet();
    const PAFont* styled = PAFont::fontWithFamily(QStringLiteral("DejaVu Sans Mono"), 15, false, false);
    sheet->setFontForKey(styled, QStringLiteral("Caption.Font"));
    sheet->setColorForKey(0xFF0000C0u, QStringLiteral("Caption.FontColor"));
    comic.setStylesheet(sheet);

    EXPECT_EQ(plain->text().runs().front().font, styled);
    EXPECT_EQ(plain->text().runs().front().color, 0xFF0000C0u);
    EXPECT_EQ(overridden->text().runs().front().font, own);
}

TEST(ComicEdits, ContainsElementLooksThroughEveryPage)
{
    CSComic comic(Size{400, 600});
    auto* page = new CSPage;
    auto* caption = new CSCaptionElement(Rect(0, 0, 20, 20));
    page->addChild(caption);
    comic.addPage(new CSPage);
    comic.addPage(page);
    EXPECT_TRUE(comic.containsElement(page));
    EXPECT_TRUE(comic.containsElement(caption));
    CSCaptionElement stranger(Rect(0, 0, 20, 20));
    EXPECT_FALSE(comic.containsElement(&stranger));
}
