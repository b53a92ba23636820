// Every element undo action, checked on XML snapshots of a small page: the
// edit changes the XML, undo gives back the XML from before byte for byte,
// redo the XML from after.

#include "CSCaptionElement.h"
#include "CUndoManager.h"
#include "ElementTestKinds.h"
#include "PAFont.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Scene
{
    CUndoManager undo;
    TestKind* page = new TestKind(Rect(0, 0, 600, 400));
    TestPanel* panel = new TestPanel(Rect(10, 10, 200, 150));
    CSCaptionElement* caption = new CSCaptionElement(Rect(20, 20, 120, 50));
    CSCaptionElement* other = new CSCaptionElement(Rect(300, 40, 80, 40));
    TestBalloon* balloon = new TestBalloon(Rect(300, 200, 120, 80));
    TestPart* part = new TestPart(Rect(310, 210, 100, 60));
    CSCaptionElement* spare = new CSCaptionElement(Rect(0, 300, 50, 50));

    Scene()
    {
        page->addChild(panel);
        page->addChild(caption);
        page->addChild(other);
        page->addChild(balloon);
        page->addChild(part);
        caption->setText(CAttributedString(QStringLiteral("Later that day"),
                                           PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 10, true, false),
                                           kOpaqueBlack));
        caption->setFloatAttribute(3.0f, QStringLiteral("FrameWidth"));
        page->setUndoManager(&undo);
        spare->setUndoManager(&undo);
    }
    ~Scene()
    {
        // Once added, the spare caption belongs to the page (as a child or
        // retired there).
        if (page->indexOfChild(spare) < 0 && !page->isRetired(spare))
            CSElement::destroyTree(spare);
        CSElement::destroyTree(page);
    }
    QByteArray snapshot() const { return xmlOf(*page); }
};

struct EditCase
{
    const char* name;
    std::function<void(Scene&)> edit;
};

class ElementUndo : public ::testing::TestWithParam<EditCase>
{
};

TEST_P(ElementUndo, UndoAndRedoGiveBackTheSnapshots)
{
    Scene scene;
    const QByteArray before = scene.snapshot();
    scene.undo.beginGroup();
    GetParam().edit(scene);
    scene.undo.endGroup();
    const QByteArray after = scene.snapshot();
    ASSERT_NE(after, before) << "the edit changed nothing";
    ASSERT_TRUE(scene.undo.canUndo());

    scene.undo.undo();
    EXPECT_EQ(scene.snapshot(), before);
    EXPECT_FALSE(scene.undo.canUndo());
    scene.undo.redo();
    EXPECT_EQ(scene.snapshot(), after);
    scene.undo.undo();
    EXPECT_EQ(scene.snapshot(), before);
}

const EditCase kEdits[] = {
    {"SetFrame", [](Scene& s) { s.caption->setFrame(Rect(30, 40, 90, 60)); }},
    {"MoveFrameByDelta", [](Scene& s) { s.caption->moveBy(Size{7, -3}); }},
    {"MoveWithChildren", [](Scene& s) { s.page->moveBy(Size{5, 5}); }},
    {"ResizeRotated",
     [](Scene& s) {
         s.caption->setAngle(30);
         s.caption->resizeByHandle(Size{10, 20}, 7);
     }},
    {"ApplyTransform", [](Scene& s) { s.caption->applyTransform(AffineTransform::scaling(2, 1.5f)); }},
    {"SetClipToFrame", [](Scene& s) { s.caption->setClipsToFrame(false); }},
    {"SetLock", [](Scene& s) { s.caption->setLocked(true); }},
    {"SetMargin", [](Scene& s) { s.caption->setMargin(Size{8, 9}); }},
    {"SetAngle", [](Scene& s) { s.caption->setAngle(-15); }},
    {"SetMaster", [](Scene& s) { s.part->setMaster(s.balloon); }},
    {"SetClipSource", [](Scene& s) { s.caption->setClipSource(s.panel); }},
    {"AddChild", [](Scene& s) { s.page->addChild(s.spare); }},
    {"InsertChild", [](Scene& s) { s.page->insertChild(s.spare, 1); }},
    {"RemoveChild", [](Scene& s) { s.page->removeChild(s.other); }},
    {"RemoveChildAtIndex", [](Scene& s) { s.page->removeChildAtIndex(0); }},
    {"BringToFront", [](Scene& s) { s.page->bringChildToFront(s.panel); }},
    {"BringForward", [](Scene& s) { s.page->bringChildForward(s.caption); }},
    {"SendToBack", [](Scene& s) { s.page->sendChildToBack(s.part); }},
    {"SendBackward", [](Scene& s) { s.page->sendChildBackward(s.other); }},
    {"AlignRight", [](Scene& s) { s.page->alignRight(s.caption); }},
    {"SetStyle", [](Scene& s) { s.caption->setStyleName(QStringLiteral("Loud")); }},
    {"SetObjectNew", [](Scene& s) { s.caption->setColorAttribute(0xFF336699u, QStringLiteral("FrameColor")); }},
    {"SetObjectReplace", [](Scene& s) { s.caption->setFloatAttribute(6, QStringLiteral("FrameWidth")); }},
    {"RemoveObjectForKey", [](Scene& s) { s.caption->removeAttribute(QStringLiteral("FrameWidth")); }},
    {"ClearLocalAttributes", [](Scene& s) { s.caption->clearLocalAttributes(); }},
    {"SetString", [](Scene& s) { s.caption->setText(CAttributedString(QStringLiteral("Meanwhile"))); }},
    {"SetFont",
     [](Scene& s) { s.caption->setFont(PAFont::fontWithFamily(QStringLiteral("Verdana"), 14, false, true)); }},
    {"SetTextColor", [](Scene& s) { s.caption->setTextColor(0xFFCC0000u); }},
};

INSTANTIATE_TEST_SUITE_P(Actions, ElementUndo, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(ElementUndoRefusals, RefusedEditsRecordNothing)
{
    Scene scene;
    scene.caption->setAngle(0);
    scene.caption->setFrame(scene.caption->frame());
    scene.caption->setFloatAttribute(3.0f, QStringLiteral("FrameWidth"));
    scene.caption->removeAttribute(QStringLiteral("FrameColor"));
    scene.caption->setLocked(true);
    const int count = scene.undo.undoCount();
    scene.caption->setFrame(Rect(0, 0, 50, 50));
    scene.caption->setAngle(10);
    scene.caption->setClipSource(scene.other); // a caption clips nothing
    EXPECT_EQ(scene.undo.undoCount(), count);
    EXPECT_EQ(count, 1);
}

TEST(ElementUndoRefusals, UndoingAFrameOfAnElementLockedSinceDoesNothing)
{
    Scene scene;
    scene.caption->setFrame(Rect(0, 0, 50, 50));
    CUndoManager::suspendRegistration();
    scene.caption->setLocked(true);
    CUndoManager::resumeRegistration();
    scene.undo.undo();
    EXPECT_EQ(scene.caption->frame(), Rect(0, 0, 50, 50));
    EXPECT_FALSE(scene.undo.canRedo());
}

} // namespace
