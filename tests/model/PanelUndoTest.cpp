// Panel edits undone and redone, checked on XML snapshots of a small page:
// undo gives back the XML from before the edit, redo the XML from after.

#include "CSCell.h"
#include "CSUndoSetIsIrregular.h"
#include "CSUndoSetTag.h"
#include "CUndoManager.h"
#include "ElementTestKinds.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <cmath>
#include <functional>

namespace {

// Stands in for a picture: the one kind a panel holds.
class TestPicture : public TestKind
{
public:
    using TestKind::TestKind;
    CSElementKind elementKind() const override { return CSElementKind::Image; }
    const char* kindName() const override { return "image"; }
    CSElement* clone() const override { return new TestPicture(*this); }

protected:
    TestPicture(const TestPicture& other) : TestKind(other) {}
};

// The XML with every decimal rounded to three places: a rotated panel's
// points go through sines and cosines, so undo brings them back to within
// float rounding, not bit for bit.
QString rounded(const QByteArray& xml)
{
    static const QRegularExpression number(QStringLiteral("-?[0-9]+\\.[0-9]+"));
    QString text = QString::fromUtf8(xml);
    QString result;
    qsizetype last = 0;
    for (auto it = number.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(text).mid(last, match.capturedStart() - last);
        const double value = std::round(match.captured().toDouble() * 1000.0) / 1000.0;
        result += QString::number(value == 0.0 ? 0.0 : value, 'f', 3);
        last = match.capturedEnd();
    }
    result += QStringView(text).mid(last);
    return result;
}

struct Scene
{
    CUndoManager undo;
    TestKind* page = new TestKind(Rect(0, 0, 600, 400));
    CSCell* regular = new CSCell(Rect(10, 10, 200, 150));
    CSCell* irregular = new CSCell(Rect(250, 20, 120, 90));
    CSCell* rotated = new CSCell(Rect(50, 200, 160, 100));
    CSCell* turned = new CSCell(Rect(400, 250, 100, 80));
    TestPicture* picture = new TestPicture(Rect(260, 30, 60, 40));

    Scene()
    {
        page->addChild(regular);
        page->addChild(irregular);
        page->addChild(rotated);
        page->addChild(turned);
        irregular->addChild(picture);
        irregular->setIrregular(true);
        irregular->setPointCount(6);
        irregular->movePoint(Point{240, 120}, 0); // the user's edit
        rotated->setAngle(30);
        rotated->setIrregular(true);
        regular->setTag(1);
        turned->setAngle(20);
        page->setUndoManager(&undo);
    }
    ~Scene() { CSElement::destroyTree(page); }
    QString snapshot() const { return rounded(xmlOf(*page)); }
};

struct EditCase
{
    const char* name;
    std::function<void(Scene&)> edit;
};

class PanelUndo : public ::testing::TestWithParam<EditCase>
{
};

TEST_P(PanelUndo, UndoAndRedoGiveBackTheSnapshots)
{
    Scene scene;
    const QString before = scene.snapshot();
    scene.undo.beginGroup();
    GetParam().edit(scene);
    scene.undo.endGroup();
    const QString after = scene.snapshot();
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
    {"irregular_on", [](Scene& s) { s.regular->setIrregular(true); }},
    // Undoing "regular" brings back the edited points, not the frame's.
    {"irregular_off_after_edits", [](Scene& s) { s.irregular->setIrregular(false); }},
    {"irregular_off_then_on", [](Scene& s) {
         s.irregular->setIrregular(false);
         s.irregular->setIrregular(true);
     }},
    {"tag", [](Scene& s) { s.regular->setTag(5); }},
    {"point_count", [](Scene& s) { s.irregular->setPointCount(3); }},
    {"move_point", [](Scene& s) { s.irregular->movePoint(Point{400, 130}, 2); }},
    // The polygon of a rotated panel is shifted after the edit; undo puts
    // back the whole shape.
    {"move_point_rotated", [](Scene& s) { s.rotated->movePoint(Point{250, 330}, 2); }},
    {"move_point_rotated_twice", [](Scene& s) {
         s.rotated->movePoint(Point{250, 330}, 2);
         s.rotated->movePoint(Point{40, 180}, 6);
     }},
    {"move_irregular", [](Scene& s) { s.irregular->moveBy(Size{15, -5}); }},
    {"move_regular", [](Scene& s) { s.regular->moveBy(Size{15, -5}); }},
    {"resize_irregular", [](Scene& s) { s.irregular->resizeByHandle(Size{30, 40}, 7); }},
    {"resize_irregular_to_minimum", [](Scene& s) { s.irregular->resizeByHandle(Size{-900, -900}, 7); }},
    {"resize_rotated_irregular", [](Scene& s) { s.rotated->resizeByHandle(Size{-20, 30}, 5); }},
    {"resize_regular", [](Scene& s) { s.regular->resizeByHandle(Size{20, 10}, 7); }},
    {"resize_rotated_regular", [](Scene& s) { s.turned->resizeByHandle(Size{-30, 25}, 2); }},
    {"irregular_on_rotated", [](Scene& s) { s.turned->setIrregular(true); }},
    {"transform_irregular", [](Scene& s) { s.irregular->applyTransform(AffineTransform::scaling(2, 2)); }},
    {"transform_rotated_irregular", [](Scene& s) { s.rotated->applyTransform(AffineTransform::scaling(0.5f, 0.5f)); }},
    {"transform_regular", [](Scene& s) { s.regular->applyTransform(AffineTransform::scaling(2, 2)); }},
    {"frame_of_irregular", [](Scene& s) { s.irregular->setFrame(Rect(100, 100, 50, 50)); }},
};

INSTANTIATE_TEST_SUITE_P(Edits, PanelUndo, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(PanelUndoActions, SaveTheOldState)
{
    CUndoManager undo;
    CSCell panel(Rect(0, 0, 100, 50));
    panel.setUndoManager(&undo);
    panel.setIrregular(true);
    panel.setPointCount(5);
    panel.movePoint(Point{3, 4}, 4);
    panel.setTag(9);
    panel.setIrregular(false);
    const CSCell::Points edited = panel.storedPoints();
    EXPECT_EQ(undo.undoCount(), 5);

    undo.undo(); // regular again -> irregular with the edited points
    EXPECT_TRUE(panel.isIrregular());
    EXPECT_EQ(panel.storedPoints(), edited);
    EXPECT_EQ(panel.storedPoints()[6], (Point{3, 4}));
    undo.undo();
    EXPECT_EQ(panel.tag(), 0);
    undo.undo();
    EXPECT_EQ(panel.storedPoints()[6], (Point{0, 0}));
    undo.undo();
    EXPECT_EQ(panel.pointCount(), 8);
    undo.undo();
    EXPECT_FALSE(panel.isIrregular());
    EXPECT_EQ(panel.frame(), Rect(0, 0, 100, 50));
}

TEST(PanelUndoActions, UndoingAScaleByTwoRestoresTheFrame)
{
    for (bool irregular : {false, true}) {
        CUndoManager undo;
        CSCell panel(Rect(10, 20, 100, 50));
        panel.setIrregular(irregular);
        panel.setUndoManager(&undo);
        panel.applyTransform(AffineTransform::scaling(2, 2));
        EXPECT_EQ(panel.frame(), Rect(20, 40, 200, 100));
        undo.undo();
        EXPECT_EQ(panel.frame(), Rect(10, 20, 100, 50)) << "irregular " << irregular;
    }
}

// The picture inside an irregular panel follows the transform once, and
// undo takes it back once: its own action and the panel's do not both move it.
TEST(PanelUndoActions, ThePanelsContentIsTransformedBackOnce)
{
    Scene scene;
    const Rect pictureFrame = scene.picture->frame();
    scene.undo.beginGroup();
    scene.irregular->applyTransform(AffineTransform::scaling(2, 2));
    scene.undo.endGroup();
    EXPECT_EQ(scene.picture->frame(), Rect(520, 60, 120, 80));
    scene.undo.undo();
    EXPECT_EQ(scene.picture->frame(), pictureFrame);
    scene.undo.redo();
    EXPECT_EQ(scene.picture->frame(), Rect(520, 60, 120, 80));
}

TEST(PanelUndoActions, RefusedEditsRecordNothing)
{
    CUndoManager undo;
    CSCell panel(Rect(0, 0, 100, 50));
    panel.setUndoManager(&undo);
    panel.setTag(0);
    panel.setPointCount(8);
    panel.setIrregular(false);
    panel.movePoint(Point{1, 1}, 0); // not irregular
    EXPECT_FALSE(undo.canUndo());
    panel.setIrregular(true);
    panel.setLocked(true);
    undo.removeAllActions();
    panel.movePoint(Point{1, 1}, 0);
    panel.moveBy(Size{1, 1});
    panel.resizeByHandle(Size{1, 1}, 7);
    panel.setFrame(Rect(0, 0, 5, 5));
    EXPECT_FALSE(undo.canUndo());
}

} // namespace
