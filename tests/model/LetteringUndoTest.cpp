// Lettering's undo actions, checked on XML snapshots: the edit changes the
// XML, undo gives back the XML from before byte for byte, redo the XML from
// after; and repeated undo and redo never add or drop letters.

#include "CUndoManager.h"
#include "ElementTestKinds.h"
#include "LetteringTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Scene
{
    CUndoManager undo;
    TreePtr<TestKind> page{new TestKind(Rect(0, 0, 600, 400))};
    CSSFXElement* lettering = new CSSFXElement(QStringLiteral("KA-BOOM!"), letteringFont());

    Scene()
    {
        page->addChild(lettering);
        placeAt(*lettering, Point{40, 60});
        page->setUndoManager(&undo);
    }
    QByteArray snapshot() const { return xmlOf(*page); }
};

struct EditCase
{
    const char* name;
    std::function<void(CSSFXElement&)> edit;
};

class LetteringUndo : public ::testing::TestWithParam<EditCase>
{
};

TEST_P(LetteringUndo, UndoAndRedoGiveBackTheSnapshots)
{
    Scene scene;
    const QByteArray before = scene.snapshot();
    scene.undo.beginGroup();
    GetParam().edit(*scene.lettering);
    scene.undo.endGroup();
    const QByteArray after = scene.snapshot();
    ASSERT_NE(after, before) << "the edit changed nothing";

    for (int round = 0; round < 3; ++round) {
        scene.undo.undo();
        EXPECT_EQ(scene.snapshot(), before) << round;
        EXPECT_FALSE(scene.undo.canUndo());
        scene.undo.redo();
        EXPECT_EQ(scene.snapshot(), after) << round;
    }
}

const EditCase kEdits[] = {
    {"spreadHorizontal", [](CSSFXElement& l) { l.spreadHorizontal(1.1f); }},
    {"squeezeHorizontal", [](CSSFXElement& l) { l.spreadHorizontal(0.9f); }},
    {"spreadVertical", [](CSSFXElement& l) { l.spreadVertical(1.1f); }},
    {"rotateLetters", [](CSSFXElement& l) { l.rotateLetters(17); }},
    {"staggerHorizontal", [](CSSFXElement& l) { l.stagger(Size{1, 0}); }},
    {"staggerVertical", [](CSSFXElement& l) { l.stagger(Size{0, 1}); }},
    {"textAfterStagger", [](CSSFXElement& l) { l.stagger(Size{0, 3}); l.setTextAndFont(QStringLiteral("CRASH"), l.letteringFont()); }},
    {"font", [](CSSFXElement& l) { l.setFont(letteringFont(30)); }},
    {"moveBy", [](CSSFXElement& l) { l.moveBy(Size{12, -7}); }},
    {"movePoint", [](CSSFXElement& l) { l.movePoint(Point{50, 20}, 0); }},
    {"moveBulge", [](CSSFXElement& l) { const Point p = l.envelope()[5]; l.movePoint(Point{p.x, p.y + 30}, 5); }},
    {"resize", [](CSSFXElement& l) { l.resizeByHandle(Size{40, 20}, 7); }},
    {"applyTransform", [](CSSFXElement& l) { l.applyTransform(AffineTransform::scaling(2, 2)); }},
    {"spreadTurnedLettering", [](CSSFXElement& l) { l.spreadHorizontal(1.1f); l.rotateLetters(-8); l.spreadVertical(1.1f); }},
};

INSTANTIATE_TEST_SUITE_P(Edits, LetteringUndo, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(LetteringUndoRules, UndoingASpreadPutsTheLettersBackExactly)
{
    Scene scene;
    const CSSFXElement::Layout before = scene.lettering->layout();
    scene.lettering->spreadHorizontal(1.1f);
    scene.undo.undo();
    const CSSFXElement::Layout after = scene.lettering->layout();
    EXPECT_EQ(after.envelope, before.envelope);
    ASSERT_EQ(after.outlines.size(), before.outlines.size());
    for (std::size_t i = 0; i < before.outlines.size(); ++i) {
        ASSERT_EQ(after.outlines[i].vertexCount(), before.outlines[i].vertexCount());
        for (int v = 0; v < before.outlines[i].vertexCount(); ++v)
            EXPECT_EQ(after.outlines[i].vertexAt(v), before.outlines[i].vertexAt(v));
    }
}

// A rotated lettering shifts its envelope after a point edit so that it
// stays in place on the page; undo puts the envelope back where it was (to
// float rounding), not the one point alone.
TEST(LetteringUndoRules, UndoingAPointEditOfARotatedLetteringRestoresTheEnvelope)
{
    Scene scene;
    CSSFXElement& l = *scene.lettering;
    l.setAngle(30);
    const CSSFXElement::Envelope before = l.envelope();
    for (int index : {0, 2, 4}) {
        const Point p = l.envelope()[std::size_t(index)];
        l.movePoint(Point{p.x + 25, p.y + 15}, index);
        ASSERT_NE(l.envelope(), before);
        scene.undo.undo();
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_NEAR(l.envelope()[i].x, before[i].x, 1e-3) << index << " " << i;
            EXPECT_NEAR(l.envelope()[i].y, before[i].y, 1e-3) << index << " " << i;
        }
    }
}

TEST(LetteringUndoRules, LettersRecordNothingThemselves)
{
    Scene scene;
    scene.lettering->letterAt(0)->moveBy(Size{3, 3});
    EXPECT_EQ(scene.undo.undoCount(), 0);
    // Each layout operation and each text change is one action.
    scene.lettering->stagger(Size{1, 0});
    EXPECT_EQ(scene.undo.undoCount(), 1);
    scene.lettering->setTextAndFont(QStringLiteral("BAM"), letteringFont());
    EXPECT_EQ(scene.undo.undoCount(), 2);
}

TEST(LetteringUndoRules, RepeatedUndoAndRedoNeverAddOrDropLetters)
{
    Scene scene;
    CSSFXElement& l = *scene.lettering;
    const std::vector<CSElement*> original = l.children();
    l.stagger(Size{0, 2});
    l.setTextAndFont(QStringLiteral("ZAP"), letteringFont());
    l.spreadHorizontal(1.3f);
    l.setTextAndFont(QStringLiteral("WHOOOSH"), letteringFont(36));
    const std::vector<CSElement*> last = l.children();
    const QByteArray final = scene.snapshot();

    for (int round = 0; round < 5; ++round) {
        while (scene.undo.canUndo())
            scene.undo.undo();
        EXPECT_EQ(l.children(), original);
        EXPECT_EQ(l.letteringText(), QStringLiteral("KA-BOOM!"));
        while (scene.undo.canRedo())
            scene.undo.redo();
        EXPECT_EQ(l.children(), last);
        EXPECT_EQ(scene.snapshot(), final);
    }
    // Nothing but the current letters is a child; the others wait retired.
    for (CSElement* letter : original)
        EXPECT_TRUE(l.isRetired(letter));
}

TEST(LetteringUndoRules, AnUnchangedTextAndFontRecordsNothing)
{
    Scene scene;
    scene.lettering->setTextAndFont(scene.lettering->letteringText(), scene.lettering->letteringFont());
    EXPECT_EQ(scene.undo.undoCount(), 0);
}

} // namespace
