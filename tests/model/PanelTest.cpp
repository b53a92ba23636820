// Panel geometry: the irregular polygon and its points, hit testing, moving,
// resizing and transforming, and the clip path given to the panel's contents.

#include "CSCell.h"
#include "CSStylesheet.h"
#include "CUndoManager.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kNear = 1e-3f;

void expectNear(Point actual, Point expected, float tolerance = kNear)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

void expectNear(const Rect& actual, const Rect& expected, float tolerance = kNear)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

// The page position of a point in the panel's own coordinates.
Point onPage(const CSCell& panel, Point local)
{
    return panel.rotationTransform(panel.angle()).transformPoint(local);
}

TEST(PanelPoints, TurningIrregularOnSurroundsTheFrame)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setIrregular(true);
    const CSCell::Points expected{Point{10, 70}, Point{60, 70}, Point{110, 70}, Point{110, 45},
                                  Point{110, 20}, Point{60, 20}, Point{10, 20}, Point{10, 45}};
    EXPECT_EQ(panel.storedPoints(), expected);
    EXPECT_EQ(panel.pointCount(), 8);
    EXPECT_TRUE(panel.hasEditablePoints());

    // With four points the polygon is the former rectangle.
    panel.setPointCount(4);
    const std::vector<Point> corners{Point{10, 70}, Point{110, 70}, Point{110, 20}, Point{10, 20}};
    EXPECT_EQ(panel.editablePoints(), corners);
    EXPECT_EQ(panel.frame(), Rect(10, 20, 100, 50));
    EXPECT_EQ(panel.outlinePath().bounds(), Rect(10, 20, 100, 50));
}

struct MappingCase
{
    int count;
    std::vector<int> stored;
};

class PanelPointMapping : public ::testing::TestWithParam<MappingCase>
{
};

TEST_P(PanelPointMapping, EditablePointsAreTheStoredPointsInUse)
{
    const MappingCase& c = GetParam();
    CSCell panel(Rect(0, 0, 80, 40));
    panel.setIrregular(true);
    panel.setPointCount(c.count);
    ASSERT_EQ(panel.editablePoints().size(), c.stored.size());
    for (std::size_t i = 0; i < c.stored.size(); ++i) {
        EXPECT_EQ(panel.storedIndexOf(int(i)), c.stored[i]) << "editable point " << i;
        EXPECT_EQ(panel.editablePoints()[i], panel.storedPoints()[std::size_t(c.stored[i])]);
    }
    EXPECT_EQ(panel.storedIndexOf(int(c.stored.size())), -1);
    EXPECT_EQ(panel.storedIndexOf(-1), -1);
}

INSTANTIATE_TEST_SUITE_P(Counts, PanelPointMapping,
                         ::testing::Values(MappingCase{3, {0, 2, 4}}, MappingCase{4, {0, 2, 4, 6}},
                                           MappingCase{5, {0, 1, 2, 4, 6}}, MappingCase{6, {0, 1, 2, 3, 4, 6}},
                                           MappingCase{7, {0, 1, 2, 3, 4, 5, 6}},
                                           MappingCase{8, {0, 1, 2, 3, 4, 5, 6, 7}}));

TEST(PanelPoints, WithFivePointsTheEditableIndexIsMappedToTheStoredPoint)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setIrregular(true);
    panel.setPointCount(5);
    panel.movePoint(Point{200, 300}, 3);
    EXPECT_EQ(panel.storedPoints()[4], (Point{200, 300}));
    panel.movePoint(Point{-5, -6}, 4);
    EXPECT_EQ(panel.storedPoints()[6], (Point{-5, -6}));
    // Editable point 1 is the bottom middle.
    panel.movePoint(Point{60, 90}, 1);
    EXPECT_EQ(panel.storedPoints()[1], (Point{60, 90}));
    EXPECT_EQ(panel.storedPoints()[3], (Point{110, 45})); // unused points stay
}

TEST(PanelPoints, PointMovesAreRefusedWhenLockedRegularOrOutOfRange)
{
    CSCell panel(Rect(0, 0, 100, 100));
    panel.movePoint(Point{5, 5}, 0); // regular: no editable points
    EXPECT_EQ(panel.storedPoints()[0], (Point{0, 0}));
    panel.setIrregular(true);
    panel.setPointCount(3);
    const CSCell::Points before = panel.storedPoints();
    panel.movePoint(Point{5, 5}, 3);
    panel.movePoint(Point{5, 5}, -1);
    panel.setLocked(true);
    panel.movePoint(Point{5, 5}, 0);
    EXPECT_EQ(panel.storedPoints(), before);
}

TEST(PanelPoints, PointsAreKeptFiniteAndCountsWithinThreeToEight)
{
    CSCell panel(Rect(0, 0, 100, 100));
    panel.setIrregular(true);
    panel.movePoint(Point{std::nanf(""), INFINITY}, 0);
    EXPECT_EQ(panel.storedPoints()[0], (Point{0, CSElement::kMaxCoordinate}));
    panel.setPointCount(0);
    EXPECT_EQ(panel.pointCount(), 3);
    panel.setPointCount(99);
    EXPECT_EQ(panel.pointCount(), 8);
}

// A rotated panel turns about the centre of its bounds; after a point edit
// that leaves the top-left corner alone, that corner keeps its page place.
TEST(PanelPoints, ARotatedPanelKeepsAnUntouchedCornerInPlace)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setAngle(30);
    panel.setIrregular(true);
    const Point topLeft = onPage(panel, Point{10, 20});
    panel.movePoint(Point{150, 95}, 2); // the bottom-right corner, outwards
    const Rect bounds = panel.frame();
    EXPECT_NEAR(bounds.width(), 140, kNear);
    EXPECT_NEAR(bounds.height(), 75, kNear);
    expectNear(onPage(panel, Point{bounds.minX(), bounds.minY()}), topLeft);
    // The moved point lies at its new place relative to the polygon.
    const CSCell::Points& p = panel.storedPoints();
    EXPECT_NEAR(p[2].x - p[6].x, 140, kNear);
    EXPECT_NEAR(p[2].y - p[6].y, 75, kNear);
}

// Top-left, top-right and bottom-left all change: the bottom-right corner
// is the first one left alone.
TEST(PanelPoints, TheAnchorIsTheFirstCornerTheEditLeavesAlone)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setAngle(-35);
    panel.setIrregular(true);
    const Point bottomRight = onPage(panel, Point{110, 70});
    panel.movePoint(Point{0, 10}, 6); // the top-left corner, outwards
    const Rect bounds = panel.frame();
    EXPECT_NEAR(bounds.width(), 110, kNear);
    EXPECT_NEAR(bounds.height(), 60, kNear);
    expectNear(onPage(panel, Point{bounds.maxX(), bounds.maxY()}), bottomRight);
}

TEST(PanelPoints, AnUnrotatedPanelIsNotShifted)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setIrregular(true);
    panel.movePoint(Point{0, 0}, 4);
    EXPECT_EQ(panel.storedPoints()[4], (Point{0, 0}));
    EXPECT_EQ(panel.storedPoints()[0], (Point{10, 70}));
}

TEST(PanelIrregular, TurningOffSetsTheFrameToThePolygonsBoundsAndKeepsTheCount)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setIrregular(true);
    panel.setPointCount(3);
    panel.movePoint(Point{30, 90}, 0);
    panel.setIrregular(false);
    EXPECT_FALSE(panel.hasEditablePoints());
    EXPECT_EQ(panel.frame(), Rect(30, 20, 80, 70));
    EXPECT_EQ(panel.pointCount(), 3);
}

TEST(PanelIrregular, SettingTheSameFlagChangesAndRecordsNothing)
{
    CUndoManager undo;
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setUndoManager(&undo);
    panel.setIrregular(false);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(panel.frame(), Rect(10, 20, 100, 50));

    panel.setIrregular(true);
    panel.movePoint(Point{0, 0}, 6);
    undo.removeAllActions();
    panel.setIrregular(true); // would otherwise rebuild the edited points
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(panel.storedPoints()[6], (Point{0, 0}));
}

TEST(PanelHitTest, ARegularPanelIsHitAnywhereInItsFrameWhateverItsStyle)
{
    CSCell panel(Rect(0, 0, 100, 60));
    panel.setIntAttribute(1, QStringLiteral("FrameStyle")); // oval
    EXPECT_TRUE(panel.hitTest(Point{2, 2}));                 // outside the oval, inside the frame
    EXPECT_TRUE(panel.hitTest(Point{50, 30}));
    EXPECT_FALSE(panel.hitTest(Point{101, 30}));
}

TEST(PanelHitTest, AnIrregularPanelIsHitInsideItsPolygonOnly)
{
    CSCell panel(Rect(0, 0, 100, 100));
    panel.setIrregular(true);
    panel.setPointCount(3); // P0 (0, 100), P2 (100, 100), P4 (100, 0)
    EXPECT_TRUE(panel.hitTest(Point{90, 80}));
    EXPECT_FALSE(panel.hitTest(Point{10, 20}));
}

TEST(PanelGeometry, MovingAnIrregularPanelMovesItsPointsAndLockedPanelsStay)
{
    CSCell panel(Rect(0, 0, 100, 100));
    panel.setIrregular(true);
    panel.moveBy(Size{5, -3});
    EXPECT_EQ(panel.storedPoints()[0], (Point{5, 97}));
    EXPECT_EQ(panel.frame(), Rect(5, -3, 100, 100));
    panel.setLocked(true);
    panel.moveBy(Size{5, 5});
    panel.moveByRecording(Size{5, 5}, false);
    EXPECT_EQ(panel.frame(), Rect(5, -3, 100, 100));

    CSCell regular(Rect(0, 0, 10, 10));
    regular.moveBy(Size{1, 2});
    EXPECT_EQ(regular.frame(), Rect(1, 2, 10, 10));
}

TEST(PanelGeometry, SettingTheFrameOfAnIrregularPanelMapsItsPoints)
{
    CSCell panel(Rect(0, 0, 100, 50));
    panel.setIrregular(true);
    panel.setPointCount(3);
    panel.setFrame(Rect(10, 10, 200, 100));
    EXPECT_EQ(panel.frame(), Rect(10, 10, 200, 100));
    EXPECT_EQ(panel.editablePoints()[0], (Point{10, 110}));
    EXPECT_EQ(panel.editablePoints()[2], (Point{210, 10}));
}

TEST(PanelGeometry, AnIrregularPanelIsNeverSqueezedFlatByANewFrame)
{
    CSCell panel(Rect(0, 0, 100, 50));
    panel.setIrregular(true);
    panel.setFrame(Rect(10, 10, 0, -20));
    EXPECT_EQ(panel.frame(), Rect(10, 10, CSElement::kMinResizeSide, CSElement::kMinResizeSide));
    panel.setFrame(Rect(0, 0, 100, 50));
    EXPECT_EQ(panel.storedPoints()[1], (Point{50, 50}));

    // A thin polygon keeps its width when only moved.
    panel.setPointCount(3);
    panel.movePoint(Point{98, 50}, 0);
    ASSERT_EQ(panel.frame().width(), 2.0f);
    panel.setFrame(Rect(20, 30, 2, 50));
    EXPECT_EQ(panel.frame(), Rect(20, 30, 2, 50));
}

TEST(PanelResize, AnIrregularPanelScalesAboutTheOppositeHandle)
{
    CSCell panel(Rect(0, 0, 100, 50));
    panel.setIrregular(true);
    panel.resizeByHandle(Size{100, 50}, 7); // bottom-right by (100, 50)
    expectNear(panel.frame(), Rect(0, 0, 200, 100));
    expectNear(panel.storedPoints()[3], Point{200, 50});
    panel.resizeByHandle(Size{0, 30}, 1); // top edge down: height only
    expectNear(panel.frame(), Rect(0, 30, 200, 70));
}

// A panel flattened by a resize could never be resized again: the bounds
// stop at the minimum side, and the panel grows again from there.
TEST(PanelResize, IrregularBoundsNeverGoBelowTheMinimum)
{
    CSCell panel(Rect(0, 0, 100, 50));
    panel.setIrregular(true);
    panel.resizeByHandle(Size{-500, -500}, 7);
    expectNear(panel.frame(), Rect(0, 0, CSElement::kMinResizeSide, CSElement::kMinResizeSide));
    panel.resizeByHandle(Size{95, 45}, 7);
    expectNear(panel.frame(), Rect(0, 0, 100, 50));
    panel.resizeByHandle(Size{std::nanf(""), 0}, 4);
    EXPECT_TRUE(std::isfinite(panel.frame().width()));
}

TEST(PanelResize, ARotatedIrregularPanelKeepsTheOppositeHandleOnThePage)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setAngle(40);
    panel.setIrregular(true);
    const Point anchor = panel.handlePosition(0);
    panel.resizeByHandle(Size{30, 20}, 7);
    expectNear(panel.handlePosition(0), anchor);
    EXPECT_NEAR(panel.frame().width(), 130, kNear);
    EXPECT_NEAR(panel.frame().height(), 70, kNear);
}

// The opposite handle is kept in place by shifting the panel alone: its
// pictures are not moved by a resize.
TEST(PanelResize, ARotatedRegularPanelKeepsTheOppositeHandleOnThePage)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setAngle(40);
    const Point anchor = panel.handlePosition(5);
    panel.resizeByHandle(Size{30, -20}, 2);
    expectNear(panel.handlePosition(5), anchor);
    EXPECT_NEAR(panel.frame().width(), 130, kNear);
    EXPECT_NEAR(panel.frame().height(), 70, kNear);
}

TEST(PanelResize, ALockedIrregularPanelIsNotResized)
{
    CSCell panel(Rect(0, 0, 100, 50));
    panel.setIrregular(true);
    panel.setLocked(true);
    panel.resizeByHandle(Size{10, 10}, 7);
    EXPECT_EQ(panel.frame(), Rect(0, 0, 100, 50));
}

TEST(PanelTransform, AnIrregularPanelMapsItsPoints)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setIrregular(true);
    panel.applyTransform(AffineTransform::scaling(2, 0.5f));
    EXPECT_EQ(panel.frame(), Rect(20, 10, 200, 25));
}

// Scaling a rotated panel uniformly scales it about the mapped centre and
// keeps the angle: the polygon's size doubles and its centre is mapped.
TEST(PanelTransform, ARotatedIrregularPanelStaysInItsOwnCoordinates)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setAngle(30);
    panel.setIrregular(true);
    panel.applyTransform(AffineTransform::scaling(2, 2));
    expectNear(panel.frame(), Rect(20, 40, 200, 100));
    EXPECT_EQ(panel.angle(), 30.0f);
}

TEST(PanelClip, TheClipPathIsTheStyledShapeTurnedWithThePanel)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    CSCell panel(Rect(0, 0, 200, 100));
    panel.setIntAttribute(1, QStringLiteral("FrameStyle"));
    std::unique_ptr<NSBezierPath> clip = panel.clipPath(sheet.get());
    ASSERT_NE(clip, nullptr);
    EXPECT_TRUE(clip->containsPoint(Point{100, 50}));
    EXPECT_FALSE(clip->containsPoint(Point{4, 4})); // the oval's corner is outside

    panel.setAngle(90); // the long axis now runs down the page
    clip = panel.clipPath(sheet.get());
    EXPECT_TRUE(clip->containsPoint(Point{100, -40}));
    EXPECT_FALSE(clip->containsPoint(Point{10, 50}));

    // The shape path keeps its plain meaning: the unrotated rectangle.
    EXPECT_EQ(panel.shapePath(sheet.get())->bounds(), Rect(0, 0, 200, 100));
}

TEST(PanelClip, AnIrregularPanelClipsToItsPolygon)
{
    CSCell panel(Rect(0, 0, 100, 100));
    panel.setIrregular(true);
    panel.setPointCount(3);
    std::unique_ptr<NSBezierPath> clip = panel.clipPath(nullptr);
    EXPECT_TRUE(clip->containsPoint(Point{90, 80}));
    EXPECT_FALSE(clip->containsPoint(Point{10, 20}));
}

TEST(PanelKind, AnswersAsAPanel)
{
    CSCell panel(Rect(0, 0, 10, 10));
    EXPECT_TRUE(panel.isPanel());
    EXPECT_TRUE(panel.canClipOthers());
    EXPECT_TRUE(panel.acceptsDroppedElements());
    EXPECT_FALSE(panel.childrenFollowStacking());
    EXPECT_EQ(panel.stylePrefix(), QStringLiteral("Cell"));
    EXPECT_EQ(panel.acceptedChildClasses(), std::vector<CSElementKind>{CSElementKind::Image});
    EXPECT_TRUE(panel.canSnapToGrid());
    panel.setAngle(5);
    EXPECT_FALSE(panel.canSnapToGrid());
    EXPECT_FALSE(panel.holdsSingleElement());
    EXPECT_FALSE(panel.canContain(&panel));
}

TEST(PanelKind, ACopyKeepsThePanelsOwnState)
{
    CSCell panel(Rect(10, 20, 100, 50));
    panel.setIrregular(true);
    panel.setPointCount(6);
    panel.movePoint(Point{1, 2}, 5);
    panel.setTag(7);
    CSElement* copy = panel.clone();
    auto* copied = dynamic_cast<CSCell*>(copy);
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->isIrregular());
    EXPECT_EQ(copied->storedPoints(), panel.storedPoints());
    EXPECT_EQ(copied->pointCount(), 6);
    EXPECT_EQ(copied->tag(), 7);
    CSElement::destroyTree(copy);
}

TEST(PanelKind, PanelsAreSelectedFromAListInOrder)
{
    CSCell a(Rect(0, 0, 1, 1)), b(Rect(0, 0, 2, 2));
    CSElement other(Rect(0, 0, 3, 3));
    const std::vector<CSCell*> panels = CSCell::panelsIn({&other, &b, &a, &other});
    EXPECT_EQ(panels, (std::vector<CSCell*>{&b, &a}));
}

} // namespace
