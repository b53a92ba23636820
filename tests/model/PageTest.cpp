// The page: the panel band at the back, stacking that keeps it, the page
// number box and the page's own XML form.

#include "CSCaptionElement.h"
#include "CSCell.h"
#include "CSPage.h"
#include "CSStylesheet.h"
#include "CUndoManager.h"
#include "ElementTestKinds.h"
#include "NSDictionary.h"
#include "PAImage.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct PageDeleter
{
    void operator()(CSPage* page) const { CSElement::destroyTree(page); }
};

struct Band
{
    CUndoManager undo;
    std::unique_ptr<CSPage, PageDeleter> page{new CSPage(Size{600, 800})};
    TestPanel* first = new TestPanel(Rect(10, 10, 280, 380));
    TestPanel* second = new TestPanel(Rect(310, 10, 280, 380));
    CSCaptionElement* caption = new CSCaptionElement(Rect(20, 20, 100, 40));
    TestBalloon* balloon = new TestBalloon(Rect(300, 300, 100, 60));
    TestPart* part = new TestPart(Rect(310, 310, 80, 40));

    Band()
    {
        page->addChild(caption);
        page->addChild(first);
        page->addChild(balloon);
        page->addChild(part);
        page->addChild(second);
        part->setMaster(balloon);
        page->setUndoManager(&undo);
    }
    std::vector<CSElement*> order() const { return page->children(); }
};

} // namespace

TEST(PageBand, PanelsGoBehindEverythingElseInTheOrderAdded)
{
    Band band;
    const std::vector<CSElement*> expected{band.first, band.second, band.caption, band.balloon, band.part};
    EXPECT_EQ(band.order(), expected);
    EXPECT_EQ(band.page->lastPanelIndex(), 1);
    EXPECT_EQ(band.page->panels(), (std::vector<CSElement*>{band.first, band.second}));
}

TEST(PageBand, StackingKeepsPanelsInTheirBand)
{
    struct Case
    {
        const char* name;
        std::function<void(Band&)> edit;
        std::function<std::vector<CSElement*>(Band&)> expected;
    };
    const Case cases[] = {
        {"panel to front stays behind the others", [](Band& b) { b.page->bringChildToFront(b.first); },
         [](Band& b) { return std::vector<CSElement*>{b.second, b.first, b.caption, b.balloon, b.part}; }},
        {"last panel forward does nothing", [](Band& b) { b.page->bringChildForward(b.second); },
         [](Band& b) { return std::vector<CSElement*>{b.first, b.second, b.caption, b.balloon, b.part}; }},
        {"caption to back stops at the band", [](Band& b) { b.page->sendChildToBack(b.balloon); },
         [](Band& b) { return std::vector<CSElement*>{b.first, b.second, b.balloon, b.caption, b.part}; }},
        {"caption backward stops at the band", [](Band& b) { b.page->sendChildBackward(b.caption); },
         [](Band& b) { return std::vector<CSElement*>{b.first, b.second, b.caption, b.balloon, b.part}; }},
        {"panel to back", [](Band& b) { b.page->sendChildToBack(b.second); },
         [](Band& b) { return std::vector<CSElement*>{b.second, b.first, b.caption, b.balloon, b.part}; }},
        {"a part moves its balloon", [](Band& b) { b.page->bringChildToFront(b.part); },
         [](Band& b) { return std::vector<CSElement*>{b.first, b.second, b.caption, b.part, b.balloon}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Band band;
        const std::vector<CSElement*> before = band.order();
        c.edit(band);
        EXPECT_EQ(band.order(), c.expected(band));
        while (band.undo.canUndo())
            band.undo.undo();
        EXPECT_EQ(band.order(), before);
    }
}

TEST(PageBand, ReadingAFileKeepsPanelsAtTheBack)
{
    const char xml[] = R"(<element type="page" w="600" h="800"><style name=""/><elements>
        <element type="caption" oid="a" x="1" y="1" w="50" h="20"><style name=""/><elements/></element>
        <element type="caption" oid="b" x="1" y="30" w="50" h="20"><style name=""/><elements/></element>
      </elements></element>)";
    TiXmlDocument document;
    ASSERT_TRUE(XmlSupport::parseDocument(document, xml));
    std::unique_ptr<CSPage, PageDeleter> page(CSPage::fromXml(document.RootElement(), 0));
    ASSERT_EQ(page->childCount(), 2);
    EXPECT_EQ(page->frame(), Rect(0, 0, 600, 800));
    EXPECT_EQ(page->childAt(0)->identifier(), QStringLiteral("a"));
    // A page writes no angle and no "attributes".
    const QByteArray written = xmlOf(*page);
    EXPECT_EQ(written.indexOf("angle=\"0"), written.indexOf("angle=\"0", written.indexOf("type=\"caption")));
    EXPECT_FALSE(written.startsWith("<element type=\"page\" oid=\"a\""));
}

TEST(PageNumber, BoxFollowsLocationAndJustification)
{
    struct Case
    {
        int location;
        int justification;
        int number;
        Rect box;
    };
    // Page 600 x 800, inset 10, box 40 x 20.
    const Case cases[] = {
        {0, 0, 2, Rect(10, 10, 40, 20)},   {1, 1, 2, Rect(280, 390, 40, 20)}, {2, 2, 2, Rect(550, 770, 40, 20)},
        {2, 3, 3, Rect(550, 770, 40, 20)}, {2, 3, 2, Rect(10, 770, 40, 20)},
    };
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    CSPage page(Size{600, 800});
    page.setBoolAttribute(true, QStringLiteral("DrawNumber"));
    page.setFloatAttribute(10, QStringLiteral("NumberInset"));
    page.setFloatAttribute(40, QStringLiteral("BackdropWidth"));
    page.setFloatAttribute(20, QStringLiteral("BackdropHeight"));
    for (const Case& c : cases) {
        page.setIntAttribute(c.location, QStringLiteral("NumberLocation"));
        page.setIntAttribute(c.justification, QStringLiteral("NumberJustification"));
        EXPECT_EQ(page.pageNumberBox(sheet.get(), c.number), c.box)
            << "location " << c.location << " justification " << c.justification << " page " << c.number;
    }
    // Pushed off the page by its inset: nothing is drawn.
    page.setFloatAttribute(-100, QStringLiteral("NumberInset"));
    page.setIntAttribute(0, QStringLiteral("NumberLocation"));
    page.setIntAttribute(0, QStringLiteral("NumberJustification"));
    EXPECT_EQ(page.pageNumberBox(sheet.get(), 2), Rect());
    page.setBoolAttribute(false, QStringLiteral("DrawNumber"));
    page.setFloatAttribute(10, QStringLiteral("NumberInset"));
    EXPECT_EQ(page.pageNumberBox(sheet.get(), 2), Rect());
}

TEST(PageCopy, CloneKeepsSizeChildrenAndItsOwnThumbnail)
{
    CSPage page(Size{300, 400});
    page.addChild(new CSCaptionElement(Rect(5, 5, 50, 20)));
    page.setThumbnail(new PAImage(QImage(16, 16, QImage::Format_RGB32)));
    std::unique_ptr<CSPage, PageDeleter> copy(static_cast<CSPage*>(page.clone()));
    EXPECT_EQ(copy->pageSize(), (Size{300, 400}));
    EXPECT_EQ(copy->childCount(), 1);
    ASSERT_NE(copy->thumbnail(), nullptr);
    EXPECT_NE(copy->thumbnail(), page.thumbnail());
    EXPECT_EQ(copy->thumbnail()->width(), 16);
}

TEST(PageGrid, RowsAndColumnsOfPanelsGapApart)
{
    std::unique_ptr<CSPage, PageDeleter> page(CSPage::pageWithGrid(Size{600, 800}, 2, 3, 10));
    const std::vector<CSElement*> panels = page->panels();
    ASSERT_EQ(panels.size(), 6u);
    for (const CSElement* panel : panels) {
        EXPECT_NEAR(panel->frame().width(), 186.667f, 1e-3f);
        EXPECT_NEAR(panel->frame().height(), 385.0f, 1e-3f);
        EXPECT_FALSE(panel->isLocked());
    }
    EXPECT_EQ(panels.front()->frame().origin, (Point{10, 10}));
    EXPECT_NEAR(panels.back()->frame().x(), 403.333f, 1e-3f);
    EXPECT_NEAR(panels.back()->frame().y(), 405.0f, 1e-3f);
    // Row order: the second panel is beside the first.
    EXPECT_EQ(panels[1]->frame().y(), 10.0f);

    for (auto [rows, columns] : {std::pair{2, 0}, {0, 3}, {-1, 2}, {1000000, 1000000}}) {
        std::unique_ptr<CSPage, PageDeleter> empty(CSPage::pageWithGrid(Size{600, 800}, rows, columns, 10));
        EXPECT_EQ(empty->childCount(), 0);
    }
}

TEST(PageTemplate, ADictionaryRebuildsThePanelsForAnotherPaper)
{
    std::unique_ptr<CSPage, PageDeleter> page(CSPage::pageWithGrid(Size{600, 800}, 2, 2, 20));
    page->panels()[1]->setLocked(true);
    static_cast<CSCell*>(page->panels()[2])->setTag(7);
    page->setStyleName(QStringLiteral("Night"));
    RefPtr<NSDictionary> dictionary(page->templateDictionary());
    EXPECT_EQ(dictionary->stringForKey(QStringLiteral("Normalized To")), QStringLiteral("{1000, 1000}"));
    EXPECT_EQ(dictionary->stringForKey(QStringLiteral("Normalized From")), QStringLiteral("{600, 800}"));
    EXPECT_EQ(dictionary->stringForKey(QStringLiteral("Style")), QStringLiteral("Night"));
    // The page itself is left as it was.
    EXPECT_TRUE(page->panels()[1]->isLocked());
    EXPECT_EQ(page->panels()[0]->frame(), Rect(20, 20, 270, 370));

    std::unique_ptr<CSPage, PageDeleter> rebuilt(CSPage::pageFromTemplate(*dictionary, Size{300, 400}));
    ASSERT_EQ(rebuilt->panels().size(), 4u);
    EXPECT_EQ(rebuilt->styleName(), QStringLiteral("Night"));
    const Rect first = rebuilt->panels()[0]->frame();
    EXPECT_NEAR(first.x(), 10.0f, 1e-3f);
    EXPECT_NEAR(first.width(), 135.0f, 1e-3f);
    EXPECT_NEAR(first.height(), 185.0f, 1e-3f);
    EXPECT_FALSE(rebuilt->panels()[1]->isLocked());
    ASSERT_NE(rebuilt->panelWithTag(7), nullptr);
    EXPECT_EQ(rebuilt->panelWithTag(7), rebuilt->panels()[2]);
    EXPECT_EQ(rebuilt->panelWithTag(99), nullptr);

    NSDictionary hostile;
    hostile.setStringForKey(QStringLiteral("not a list"), QStringLiteral("Cells"));
    std::unique_ptr<CSPage, PageDeleter> none(CSPage::pageFromTemplate(hostile, Size{300, 400}));
    EXPECT_EQ(none->childCount(), 0);
}

TEST(PageBand, RealPanelsJoinTheBandBehindABalloon)
{
    CSPage page(Size{600, 800});
    auto* caption = new CSCaptionElement(Rect(20, 20, 100, 40));
    auto* first = new CSCell(Rect(0, 0, 100, 100));
    auto* second = new CSCell(Rect(100, 0, 100, 100));
    page.addChild(caption);
    page.addChild(first);
    page.addChild(second);
    EXPECT_EQ(page.children(), (std::vector<CSElement*>{first, second, caption}));
}
