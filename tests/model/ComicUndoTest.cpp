// Every comic undo action, checked on XML snapshots of a small comic: undo
// gives back the comic data from before byte for byte, redo the data after.

#include "CSCaptionElement.h"
#include "CSComic.h"
#include "CSPage.h"
#include "CSStylesheet.h"
#include "CUndoManager.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Scene
{
    CUndoManager undo;
    CSComic* comic = new CSComic(Size{612, 792});
    CSPage* spare = new CSPage;

    Scene()
    {
        for (int i = 0; i < 4; ++i) {
            auto* page = new CSPage;
            page->addChild(new CSCaptionElement(Rect(10.0f * float(i + 1), 20, 100, 40)));
            comic->addPage(page);
        }
        comic->setUndoManager(&undo);
        spare->setUndoManager(&undo);
    }
    ~Scene()
    {
        if (comic->indexOfPage(spare) < 0 && !comic->isRetired(spare))
            CSElement::destroyTree(spare);
        CSComic::destroy(comic);
    }
    QByteArray snapshot() const
    {
        TiXmlDocument document;
        comic->toXml(&document);
        return XmlSupport::printDocument(document);
    }
};

struct EditCase
{
    const char* name;
    std::function<void(Scene&)> edit;
};

class ComicUndo : public ::testing::TestWithParam<EditCase>
{
};

} // namespace

TEST_P(ComicUndo, UndoAndRedoGiveBackTheSnapshots)
{
    Scene scene;
    const QByteArray before = scene.snapshot();
    GetParam().edit(scene);
    const QByteArray after = scene.snapshot();
    ASSERT_NE(after, before) << "the edit changed nothing";
    ASSERT_EQ(scene.undo.undoCount(), 1);

    scene.undo.undo();
    EXPECT_EQ(scene.snapshot(), before);
    scene.undo.redo();
    EXPECT_EQ(scene.snapshot(), after);
    scene.undo.undo();
    EXPECT_EQ(scene.snapshot(), before);
}

const EditCase kEdits[] = {
    {"SetPageName", [](Scene& s) { s.comic->setPageName(QStringLiteral("Tabloid")); }},
    {"SetPageSize", [](Scene& s) { s.comic->setPageSize(Size{792, 1224}); }},
    {"SetPortrait", [](Scene& s) { s.comic->setPortrait(false); }},
    {"SetLeftMargin", [](Scene& s) { s.comic->setLeftMargin(18); }},
    {"SetRightMargin", [](Scene& s) { s.comic->setRightMargin(19); }},
    {"SetTopMargin", [](Scene& s) { s.comic->setTopMargin(20); }},
    {"SetBottomMargin", [](Scene& s) { s.comic->setBottomMargin(21); }},
    {"SetBackgroundColor", [](Scene& s) { s.comic->setBackgroundColor(0xFF102030u); }},
    {"AddPage", [](Scene& s) { s.comic->addPage(s.spare); }},
    {"InsertPage", [](Scene& s) { s.comic->insertPageAtIndex(s.spare, 1); }},
    {"RemovePage", [](Scene& s) { s.comic->removePageAtIndex(2); }},
    {"MovePage", [](Scene& s) { s.comic->movePage(0, 3); }},
    {"SetStylesheet",
     [](Scene& s) {
         CSStylesheet* sheet = CSStylesheet::newStylesheet();
         sheet->setColorForKey(0xFF00FF00u, QStringLiteral("Page.BackgroundColor"));
         s.comic->setStylesheet(sheet);
     }},
};

INSTANTIATE_TEST_SUITE_P(Actions, ComicUndo, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(ComicUndoObjects, RedoingARemovalOrAdditionUsesTheSameObjects)
{
    Scene scene;
    CSPage* third = scene.comic->pageAt(2);
    scene.comic->removePageAtIndex(2);
    EXPECT_TRUE(scene.comic->isRetired(third));
    scene.undo.undo();
    EXPECT_EQ(scene.comic->pageAt(2), third);
    EXPECT_FALSE(scene.comic->isRetired(third));

    scene.comic->addPage(scene.spare);
    scene.undo.undo();
    EXPECT_EQ(scene.comic->indexOfPage(scene.spare), -1);
    scene.undo.redo();
    EXPECT_EQ(scene.comic->pageAt(4), scene.spare);
}

TEST(ComicUndoObjects, MovingAPageFromFirstToLastIsUndoneFromLastToFirst)
{
    Scene scene;
    CSPage* first = scene.comic->pageAt(0);
    scene.comic->movePage(0, 3);
    EXPECT_EQ(scene.comic->pageAt(3), first);
    scene.undo.undo();
    EXPECT_EQ(scene.comic->pageAt(0), first);
}

TEST(ComicUndoObjects, UndoingAPageSizeLaysThePagesOutAgain)
{
    Scene scene;
    scene.comic->setPageSize(Size{400, 600});
    EXPECT_EQ(scene.comic->pageAt(0)->pageSize(), (Size{400, 600}));
    scene.undo.undo();
    EXPECT_EQ(scene.comic->pageAt(0)->pageSize(), (Size{612, 792}));
}
