// Grid pages, page types and the page format change.

#include "CSCell.h"
#include "CSComic.h"
#include "CSPage.h"
#include "CUndoManager.h"
#include "GridPage.h"
#include "LocalePaper.h"
#include "NSDictionary.h"
#include "PageFormatChange.h"
#include "PageTypes.h"
#include "PreferenceDefaults.h"
#include "PropertyList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

namespace {

struct PageDeleter
{
    void operator()(CSPage* page) const { CSElement::destroyTree(page); }
};
using PagePtr = std::unique_ptr<CSPage, PageDeleter>;

TEST(GridPageLayout, ThreeByTwoWithGutter15On515x760)
{
    PagePtr page(GridPage::gridPage(Size{515, 760}, 3, 2, 15));
    ASSERT_TRUE(page);
    const std::vector<CSElement*> panels = page->panels();
    ASSERT_EQ(panels.size(), 6u);
    for (const CSElement* panel : panels) {
        EXPECT_NEAR(panel->frame().width(), 235.0f, 1e-3f);
        EXPECT_NEAR(panel->frame().height(), 233.333f, 1e-3f);
        EXPECT_FALSE(panel->isLocked());
    }
    // A 15-unit border on every side, row by row.
    EXPECT_EQ(panels[0]->frame().origin, (Point{15, 15}));
    EXPECT_NEAR(panels[1]->frame().x(), 265.0f, 1e-3f);
    EXPECT_EQ(panels[1]->frame().y(), 15.0f);
    EXPECT_NEAR(panels[5]->frame().maxX(), 500.0f, 1e-3f);
    EXPECT_NEAR(panels[5]->frame().maxY(), 745.0f, 1e-3f);
}

struct Refusal
{
    const char* name;
    Size content;
    int rows;
    int columns;
    float gutter;
};

TEST(GridPageLayout, ValuesThatWouldDivideBadlyAreRefused)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Refusal cases[] = {
        {"zero width", {0, 760}, 3, 2, 15},       {"negative height", {515, -1}, 3, 2, 15},
        {"nan size", {nan, 760}, 3, 2, 15},       {"no rows", {515, 760}, 0, 2, 15},
        {"negative columns", {515, 760}, 3, -2, 15}, {"too many rows", {515, 760}, 100000, 2, 15},
        {"negative gutter", {515, 760}, 3, 2, -1}, {"nan gutter", {515, 760}, 3, 2, nan},
        {"infinite gutter", {515, 760}, 3, 2, inf}, {"gutters fill the page", {515, 760}, 3, 2, 200},
    };
    for (const Refusal& c : cases) {
        QString why;
        PagePtr page(GridPage::gridPage(c.content, c.rows, c.columns, c.gutter, &why));
        EXPECT_FALSE(page) << c.name;
        EXPECT_FALSE(why.isEmpty()) << c.name;
    }
    QString why = QStringLiteral("stale");
    PagePtr page(GridPage::gridPage(Size{100, 100}, 1, 1, 0, &why));
    ASSERT_TRUE(page);
    EXPECT_TRUE(why.isEmpty());
    EXPECT_EQ(page->panels().front()->frame(), Rect(0, 0, 100, 100));
}

// --- Page types ------------------------------------------------------------

TEST(ShippedPageTypes, EveryTypeHasASizeAndTheNamedFallbacksExist)
{
    const PageTypes pageTypes;
    ASSERT_GE(pageTypes.types().size(), 13);
    for (const RefPtr<NSDictionary>& type : pageTypes.types()) {
        const Size size = PageTypes::sizeOf(*type);
        EXPECT_GT(size.width, 0.0f) << type->stringForKey(QStringLiteral("Name")).toStdString();
        EXPECT_GT(size.height, 0.0f);
        for (const char* margin : {"TopMargin", "LeftMargin", "RightMargin", "BottomMargin"}) {
            const float value = type->floatForKey(QString::fromLatin1(margin));
            EXPECT_GE(value, 0.0f);
            EXPECT_LT(2 * value, std::min(size.width, size.height));
        }
    }
    const struct { const char* name; Size size; } pinned[] = {
        {"US Letter", {612, 792}}, {"A4", {595, 842}}, {"A3", {842, 1191}}, {"US Legal", {612, 1008}}};
    for (const auto& p : pinned) {
        NSDictionary* type = pageTypes.typeNamed(QString::fromLatin1(p.name));
        ASSERT_NE(type, nullptr) << p.name;
        EXPECT_EQ(PageTypes::sizeOf(*type), p.size) << p.name;
    }
    EXPECT_EQ(pageTypes.names().front(), QStringLiteral("US Letter"));
    EXPECT_EQ(pageTypes.typeNamedOrA4(QStringLiteral("No such paper"))->stringForKey(QStringLiteral("Name")),
              QStringLiteral("A4"));
}

TEST(ShippedPageTypes, EachLocalePaperFindsItsType)
{
    RefPtr<NSDictionary> file(PropertyList::propertyListFromFile(PageTypes::pageTypesFile()));
    ASSERT_TRUE(file);
    const struct { int code; const char* name; } expected[] = {
        {1, "US Letter"}, {5, "US Legal"}, {8, "A3"}, {9, "A4"}, {0, "Web Comic 400 x 600"}};
    for (const auto& e : expected) {
        EXPECT_EQ(PreferenceDefaults::pageFormatForPaper(LocalePaper::sizeForCode(e.code), file.get()),
                  QString::fromLatin1(e.name))
            << e.code;
    }
    EXPECT_TRUE(PageTypes().typeNamed(PageTypes::firstRunPageType()));
}

TEST(PageTypeList, EntriesWithoutANameAreLeftOut)
{
    RefPtr<NSDictionary> file(PropertyList::propertyListFromText(
        "<plist><dict><key>Page Types</key><array>"
        "<dict><key>Name</key><string></string><key>Size</key><string>{1, 1}</string></dict>"
        "<string>not a type</string>"
        "<dict><key>Name</key><string>Kept</string><key>Size</key><string>{10, 20}</string></dict>"
        "</array></dict></plist>"));
    const PageTypes pageTypes(file.get());
    EXPECT_EQ(pageTypes.names(), QStringList{QStringLiteral("Kept")});
    EXPECT_EQ(pageTypes.typeNamedOrA4(QStringLiteral("A4"))->stringForKey(QStringLiteral("Name")),
              QStringLiteral("Kept"));
    EXPECT_EQ(PageTypes(nullptr).typeNamedOrA4(QStringLiteral("A4")), nullptr);
}

// --- Page format change -------------------------------------------------------

struct FormatScene
{
    CUndoManager undo;
    CSComic* comic = new CSComic(Size{612, 792});

    FormatScene()
    {
        comic->setPageName(QStringLiteral("US Letter"));
        comic->addPage(new CSPage);
        comic->setUndoManager(&undo);
    }
    ~FormatScene() { CSComic::destroy(comic); }
};

TEST(PageFormat, ANamedTypeThenTheFieldsAreApplied)
{
    FormatScene scene;
    PageFormatChange change = PageFormatChange::fromComic(*scene.comic);
    change.pageType = PageTypes().typeNamed(QStringLiteral("A4"));
    ASSERT_TRUE(change.pageType);
    change.portrait = false;
    change.leftMargin = 10;
    change.rightMargin = 20;
    change.topMargin = 30;
    change.bottomMargin = 40;
    change.backgroundColor = 0xFF102030u;
    ASSERT_TRUE(change.applyTo(*scene.comic));
    EXPECT_EQ(scene.comic->pageName(), QStringLiteral("A4"));
    EXPECT_EQ(scene.comic->orientedSize(), (Size{842, 595}));
    EXPECT_EQ(scene.comic->contentSize(), (Size{812, 525}));
    EXPECT_EQ(scene.comic->pageAt(0)->pageSize(), (Size{812, 525}));
    EXPECT_EQ(scene.comic->backgroundColor(), 0xFF102030u);

    while (scene.undo.canUndo())
        scene.undo.undo();
    EXPECT_EQ(scene.comic->pageName(), QStringLiteral("US Letter"));
    EXPECT_EQ(scene.comic->orientedSize(), (Size{612, 792}));
}

TEST(PageFormat, ACustomSizeClearsThePageName)
{
    FormatScene scene;
    PageFormatChange change = PageFormatChange::fromComic(*scene.comic);
    change.customSize = Size{500, 300};
    change.portrait = true;
    ASSERT_TRUE(change.applyTo(*scene.comic));
    EXPECT_TRUE(scene.comic->pageName().isEmpty());
    EXPECT_EQ(scene.comic->orientedSize(), (Size{300, 500}));
}

TEST(PageFormat, RefusedValuesLeaveTheComicAsItWas)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::function<void(PageFormatChange&)> edits[] = {
        [](PageFormatChange& c) { c.customSize = Size{0, 500}; },
        [](PageFormatChange& c) { c.customSize = Size{500, -3}; },
        [nan](PageFormatChange& c) { c.customSize = Size{nan, 500}; },
        [](PageFormatChange& c) { c.leftMargin = -1; },
        [nan](PageFormatChange& c) { c.topMargin = nan; },
        [](PageFormatChange& c) { c.leftMargin = 400; c.rightMargin = 400; },
    };
    for (const auto& edit : edits) {
        FormatScene scene;
        PageFormatChange change = PageFormatChange::fromComic(*scene.comic);
        edit(change);
        EXPECT_FALSE(change.problem().isEmpty());
        EXPECT_FALSE(change.applyTo(*scene.comic));
        EXPECT_FALSE(scene.undo.canUndo());
        EXPECT_EQ(scene.comic->pageName(), QStringLiteral("US Letter"));
    }
}

} // namespace
