// Balloons, sub-balloons and tails: the shape generator and the unit shapes,
// pointers and thought trails, the balloon's frame and scaling, parts and
// their masters, kind changes and their undo, and the XML and archive forms,
// hostile files included.

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "BalloonTestSupport.h"
#include "CAGGraphics.h"
#include "CSBalloonShapes.h"
#include "CSStylesheet.h"
#include "CUndoManager.h"
#include "GraphicsTestSupport.h"
#include "ModelArchiveClasses.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace CSBalloonShapes;

// Twice the signed area of the polygon through the path's vertices (control
// points included), y down: positive for a clockwise outline on the page.
double clockwiseArea(const NSBezierPath& path, int from = 0, int to = -1)
{
    if (to < 0)
        to = path.vertexCount();
    double sum = 0;
    for (int i = from; i < to; ++i) {
        const PathVertex a = path.vertexAt(i), b = path.vertexAt(i + 1 < to ? i + 1 : from);
        sum += a.x * b.y - b.x * a.y;
    }
    return sum;
}

// Start indices of the sub-paths (each begins with a move-to).
std::vector<int> subpathStarts(const NSBezierPath& path)
{
    std::vector<int> starts;
    for (int i = 0; i < path.vertexCount(); ++i)
        if (path.vertexAt(i).command == kPathMoveTo)
            starts.push_back(i);
    return starts;
}

Point at(const NSBezierPath& path, int i)
{
    const PathVertex v = path.vertexAt(i);
    return {float(v.x), float(v.y)};
}

TEST(BalloonShapeRandom, FollowsTheMinimalStandardSequence)
{
    seedShapeRandom(100);
    EXPECT_EQ(nextShapeRandom(), 1680700u);
    EXPECT_EQ(nextShapeRandom(), 330237489u);
    seedShapeRandom(0);
    EXPECT_EQ(nextShapeRandom(), 520932930u);
    seedShapeRandom(150);
    EXPECT_EQ(nextShapeRandom(), 2521050u);
    seedShapeRandom(301);
    EXPECT_EQ(nextShapeRandom(), 5058907u);
}

TEST(BalloonUnitShapes, EveryKindIsBuiltOnceClockwiseInTheUnitBox)
{
    for (std::int32_t kind = 0; kind < kKindCount; ++kind) {
        SCOPED_TRACE(kindName(kind));
        const NSBezierPath& shape = unitShape(kind);
        ASSERT_FALSE(shape.isEmpty());
        EXPECT_EQ(&shape, &unitShape(kind));
        const Rect b = shape.bounds();
        EXPECT_GE(b.x(), -61.0f);
        EXPECT_LE(b.maxX(), 61.0f);
        EXPECT_GE(b.y(), -61.0f);
        EXPECT_LE(b.maxY(), 61.0f);
        EXPECT_GT(b.width(), 80.0f);
        // Every closed piece runs clockwise, or the non-zero fill would cut
        // holes where it overlaps pointers or other sub-balloons.
        const std::vector<int> starts = subpathStarts(shape);
        for (std::size_t i = 0; i < starts.size(); ++i) {
            const int end = i + 1 < starts.size() ? starts[i + 1] : shape.vertexCount();
            EXPECT_GT(clockwiseArea(shape, starts[i], end), 0.0) << "piece " << i;
        }
    }
    EXPECT_EQ(&unitShape(Whisper), &unitShape(Speech));
    EXPECT_TRUE(unitShape(-1).isEmpty());
    EXPECT_TRUE(unitShape(12).isEmpty());
    // The cloud: an ellipse and ten circles.
    EXPECT_EQ(subpathStarts(unitShape(Thought)).size(), 11u);
}

TEST(BalloonUnitShapes, SpikesAndZigzagsHaveTheirRadii)
{
    const NSBezierPath& buzz = unitShape(Buzz);
    for (int i = 0; i <= 72; ++i) {
        const Point p = at(buzz, i);
        EXPECT_NEAR(std::hypot(p.x, p.y), i % 2 ? 55.0 : 45.0, 1e-3) << i;
    }
    // The star's points alternate between the inner ring (35 … 40) and the
    // outer one (50 … 55).
    const NSBezierPath& star = unitShape(Exclamation);
    for (int i = 0; i <= 20; ++i) {
        const Point p = at(star, i);
        const double r = std::hypot(p.x, p.y);
        if (i % 2)
            EXPECT_TRUE(r >= 50 && r < 55) << i << " " << r;
        else
            EXPECT_TRUE(r > 35 && r <= 40) << i << " " << r;
    }
}

TEST(BalloonKinds, NamesAreMatchedExactly)
{
    EXPECT_EQ(kindFromName(QStringLiteral("thought")), Thought);
    EXPECT_EQ(kindFromName(QStringLiteral("tv")), Tv);
    EXPECT_EQ(kindFromName(QStringLiteral("Thought")), std::nullopt);
    EXPECT_EQ(kindFromName(QString()), std::nullopt);
    EXPECT_EQ(kindName(12), nullptr);
    for (std::int32_t kind = 0; kind < kKindCount; ++kind)
        EXPECT_EQ(kindFromName(QString::fromLatin1(kindName(kind))), kind);
}

// --- Pointers -----------------------------------------------------------------------

struct TrailCase
{
    const char* name;
    Rect frame;
    Point tip;
    std::vector<float> diameters; // of the circles, from the tip on
};

class ThoughtTrail : public ::testing::TestWithParam<TrailCase>
{
};

TEST_P(ThoughtTrail, GrowsFromTheTipTowardsTheCentre)
{
    const TrailCase& c = GetParam();
    NSBezierPath trail;
    appendPointer(trail, c.frame, c.tip, Thought, false);
    const std::vector<int> starts = subpathStarts(trail);
    ASSERT_EQ(starts.size(), c.diameters.size());
    float distance = 0;
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const int end = k + 1 < starts.size() ? starts[k + 1] : trail.vertexCount();
        NSBezierPath circle;
        for (int i = starts[k]; i < end; ++i)
            circle.path().addVertex(trail.vertexAt(i).x, trail.vertexAt(i).y, trail.vertexAt(i).command);
        const Rect b = circle.bounds();
        EXPECT_NEAR(b.width(), c.diameters[k], 1e-3) << k;
        const Point centre{b.x() + b.width() / 2, b.y() + b.height() / 2};
        EXPECT_NEAR(std::hypot(centre.x - c.tip.x, centre.y - c.tip.y), distance, 1e-3) << k;
        distance += 2 * c.diameters[k];
        EXPECT_GT(clockwiseArea(circle), 0.0);
    }
}

// A 72 x 72 frame gives circles growing by 2: s = 72 / 6, s2 = s / 6.
const TrailCase kTrails[] = {
    {"tip_10_away", Rect(0, 0, 72, 72), Point{36, 46}, {2, 4}},
    {"tip_13_away", Rect(0, 0, 72, 72), Point{49, 36}, {2, 4, 6}},
    {"tip_on_centre", Rect(0, 0, 72, 72), Point{36, 36}, {}},
    {"zero_height", Rect(0, 0, 72, 0), Point{300, 300}, {}},
    {"negative_width", Rect(0, 0, -72, 72), Point{300, 300}, {}},
    {"nan_tip", Rect(0, 0, 72, 72), Point{std::nanf(""), 3}, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ThoughtTrail, ::testing::ValuesIn(kTrails),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ThoughtTrailBounds, AFarTipGetsABoundedTrail)
{
    NSBezierPath trail;
    appendPointer(trail, Rect(0, 0, 20, 20), Point{1.0e6f, 1.0e6f}, Thought, false);
    EXPECT_EQ(int(subpathStarts(trail).size()), kMaxTrailCircles);
}

TEST(BalloonPointers, AStraightTailToTheRightIsATriangleAcrossTheCentre)
{
    NSBezierPath wedge;
    const Rect frame(0, 0, 60, 90);
    appendPointer(wedge, frame, Point{200, 45}, Speech, true);
    ASSERT_GE(wedge.vertexCount(), 3);
    const Point d = at(wedge, 0), t = at(wedge, 1), l = at(wedge, 2);
    EXPECT_NEAR(d.x, 30, 1e-4);
    EXPECT_NEAR(d.y, 35, 1e-4);
    EXPECT_EQ(t, (Point{200, 45}));
    EXPECT_NEAR(l.x, 30, 1e-4);
    EXPECT_NEAR(l.y, 55, 1e-4);
    EXPECT_GT(clockwiseArea(wedge), 0.0);
}

// The curved wedge's control points, against the straight sides D-T and T-L:
// how far they lie to the left (towards the vertical through the centre).
struct Bow
{
    float left[4];
};

Bow bowOf(Point tip, const Rect& frame)
{
    NSBezierPath curved;
    appendPointer(curved, frame, tip, Rough, false);
    NSBezierPath straight;
    appendPointer(straight, frame, tip, Rough, true);
    const Point d = at(straight, 0), l = at(straight, 2);
    // Vertices: move D, curve (c1, c2, T), curve (c3, c4, L), close.
    const Point c[4] = {at(curved, 1), at(curved, 2), at(curved, 4), at(curved, 5)};
    const float u[4] = {0.5f, 0.75f, 0.25f, 0.5f};
    Bow bow{};
    for (int i = 0; i < 4; ++i) {
        const Point on = i < 2 ? Point{d.x + (tip.x - d.x) * u[i], d.y + (tip.y - d.y) * u[i]}
                               : Point{tip.x + (l.x - tip.x) * u[i], tip.y + (l.y - tip.y) * u[i]};
        bow.left[i] = on.x - c[i].x;
    }
    return bow;
}

TEST(BalloonPointers, CurvedTailsBowTowardsTheVerticalThroughTheCentre)
{
    const Rect frame(0, 0, 60, 60); // s = 10
    // Straight below: no bow, and the two sides mirror each other.
    NSBezierPath below;
    appendPointer(below, frame, Point{30, 200}, Speech, false);
    EXPECT_NEAR(at(below, 1).x - 30, -(at(below, 5).x - 30), 1e-3);
    EXPECT_NEAR(at(below, 2).x - 30, -(at(below, 4).x - 30), 1e-3);
    for (float left : bowOf(Point{30, 200}, frame).left)
        EXPECT_NEAR(left, 0, 1e-3);
    // At 45 degrees below and to the right: every control point lies left of
    // the straight side, the bow 4s = 40 across at the base.
    const Bow diagonal = bowOf(Point{130, 130}, frame);
    for (float left : diagonal.left)
        EXPECT_GT(left, 5.0f);
    EXPECT_NEAR(diagonal.left[0], 20 / std::sqrt(2.0f), 1e-3); // half of 4s across, seen along x
    // Mirrored to the left: the bow turns right, towards the vertical again.
    for (float left : bowOf(Point{-70, 130}, frame).left)
        EXPECT_LT(left, -5.0f);
    NSBezierPath curved;
    appendPointer(curved, frame, Point{130, 130}, Speech, false);
    EXPECT_GT(clockwiseArea(curved), 0.0);
}

// --- The balloon and its parts ----------------------------------------------------------

TEST(BalloonFrame, IsTheUnionOfItsPartsGrownByTheRim)
{
    BalloonPage page;
    auto* empty = page.add(new CSSpeechElement(Rect(40, 40, 100, 100)));
    EXPECT_EQ(empty->frame(), Rect(-5, -5, 10, 10));
    EXPECT_EQ(empty->storedFrame(), Rect(40, 40, 100, 100));
    EXPECT_EQ(empty->margin(), (Size{3, 3}));
    EXPECT_TRUE(empty->clipsToFrame());

    CSSpeechElement* two = page.balloon({Rect(10, 20, 100, 60), Rect(90, 70, 50, 40)});
    EXPECT_EQ(two->frame(), Rect(5, 15, 140, 100));
    CSSpeechElement* tailed = page.balloon({Rect(10, 20, 100, 60)}, {Point{200, 300}});
    EXPECT_EQ(tailed->frame(), Rect(5, 15, 200.5f, 290.5f));

    // Moving the balloon moves the stored frame and every part along.
    tailed->moveBy(Size{7, -3});
    EXPECT_EQ(tailed->frame(), Rect(12, 12, 200.5f, 290.5f));
    EXPECT_EQ(tailed->storedFrame(), Rect(7, -3, 10, 10));
    EXPECT_EQ(tailed->tails().front()->tip(), (Point{207, 297}));
}

TEST(BalloonFrame, ScalingMovesThePartsAboutTheCentre)
{
    BalloonPage page;
    CUndoManager undo;
    CSSpeechElement* balloon = page.balloon({Rect(100, 100, 80, 60)}, {Point{100, 200}});
    balloon->setUndoManager(&undo);
    const Rect before = balloon->frame(); // (95, 95, 90, 110.5)
    const Rect asked(before.x() - before.width() / 2, before.y(), before.width() * 2, before.height());
    balloon->setFrame(asked);
    CSBubble* bubble = balloon->subBalloons().front();
    CSTail* tail = balloon->tails().front();
    EXPECT_NEAR(bubble->frame().width(), 160, 1e-3);
    EXPECT_NEAR(bubble->frame().height(), 60, 1e-3);
    EXPECT_EQ(tail->frame().size, (Size{0, 0}));
    EXPECT_NEAR(tail->tip().x, 140 - 2 * 40, 1e-3); // twice as far left of the centre
    EXPECT_NEAR(balloon->frame().width(), asked.width() - 10, 1e-3);
    EXPECT_NEAR(balloon->frame().height(), asked.height(), 1e-3);
    // One gesture, one undo step.
    undo.undo();
    EXPECT_EQ(balloon->frame(), before);
    EXPECT_FALSE(undo.canUndo());

    // Locked: nothing moves, neither through the balloon nor through a part.
    balloon->setLocked(true);
    EXPECT_TRUE(bubble->isLocked());
    balloon->setFrame(asked);
    bubble->setFrame(Rect(0, 0, 300, 300));
    tail->setFrame(Rect(0, 0, 0, 0));
    EXPECT_EQ(balloon->frame(), before);
    balloon->setUndoManager(nullptr);
}

TEST(BalloonParts, SubBalloonsKeepTheirMinimumSize)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(10, 20, 100, 60)});
    CSBubble* bubble = balloon->subBalloons().front();
    EXPECT_EQ(bubble->storedTextRect(), Rect(15, 25, 90, 50));
    bubble->setFrame(Rect(10, 20, 10, 5));
    EXPECT_EQ(bubble->frame(), Rect(10, 20, 20, 20));
    bubble->setFrame(Rect(10, 20, std::nanf(""), 1.0e30f));
    EXPECT_EQ(bubble->frame().size, (Size{20, CSElement::kMaxCoordinate}));
}

TEST(BalloonParts, TheGripWinsTheHitTestOverThePartsUnderIt)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(0, 0, 100, 100)}, {Point{50, 60}});
    CSBubble* bubble = balloon->subBalloons().front();
    CSTail* tail = balloon->tails().front();
    const Point centre{50, 50}; // frame (-5, -5, 110, 110)
    EXPECT_TRUE(balloon->hitTest(centre));
    EXPECT_FALSE(bubble->hitTest(centre));
    EXPECT_FALSE(tail->hitTest(Point{50, 62})); // near the tip, but in the grip
    EXPECT_TRUE(balloon->hitTest(Point{64.9f, 64.9f}));
    EXPECT_FALSE(balloon->hitTest(Point{65.1f, 50}));
    EXPECT_TRUE(bubble->hitTest(Point{80, 80}));
    EXPECT_FALSE(balloon->hitTest(Point{80, 80}));

    CSSpeechElement* far = page.balloon({Rect(0, 0, 100, 100)}, {Point{300, 300}});
    CSTail* farTail = far->tails().front();
    EXPECT_TRUE(farTail->hitTest(Point{304.9f, 295.1f}));
    EXPECT_FALSE(farTail->hitTest(Point{305.1f, 300}));
}

TEST(BalloonParts, TheLastSubBalloonStays)
{
    BalloonPage page;
    CUndoManager undo;
    CSSpeechElement* balloon = page.balloon({Rect(0, 0, 100, 100)}, {Point{50, 200}});
    balloon->setUndoManager(&undo);
    CSBubble* only = balloon->subBalloons().front();
    CSTail* tail = balloon->tails().front();
    EXPECT_TRUE(balloon->hasSingleBubble());
    EXPECT_FALSE(balloon->canRemovePart(only));
    EXPECT_TRUE(balloon->canRemovePart(tail));
    balloon->removeChild(only);
    EXPECT_EQ(balloon->subBalloons().size(), 1u);
    EXPECT_FALSE(undo.canUndo());

    auto* second = page.add(new CSBubble(Rect(150, 0, 60, 60), balloon));
    balloon->addChild(second);
    EXPECT_FALSE(balloon->hasSingleBubble());
    EXPECT_TRUE(balloon->canRemovePart(only));
    balloon->removeChild(only);
    EXPECT_EQ(balloon->subBalloons(), std::vector<CSBubble*>{second});
    EXPECT_TRUE(balloon->hasSingleBubble());
    balloon->removeChild(second);
    EXPECT_EQ(balloon->subBalloons().size(), 1u);
    balloon->setUndoManager(nullptr);
}

TEST(BalloonParts, PartsForwardTheirLookToTheBalloon)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(0, 0, 100, 100)}, {Point{50, 200}});
    auto* panel = page.add(new TestPanel(Rect(0, 0, 400, 400)));
    CSBubble* bubble = balloon->subBalloons().front();
    CSTail* tail = balloon->tails().front();
    bubble->setStyleName(QStringLiteral("Shout"));
    EXPECT_EQ(balloon->styleName(), QStringLiteral("Shout"));
    EXPECT_EQ(tail->styleName(), QStringLiteral("Shout"));
    EXPECT_EQ(tail->stylePrefix(), QStringLiteral("Bubble"));
    tail->setClipSource(panel);
    EXPECT_EQ(balloon->clipSource(), panel);
    EXPECT_TRUE(balloon->isClipped());
    bubble->setClipsToFrame(false);
    EXPECT_FALSE(balloon->isClipped());
    tail->setLocked(true);
    EXPECT_TRUE(balloon->isLocked());
}

TEST(BalloonMasters, APartTakesOnlyABalloonAndNoCycleForms)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(0, 0, 100, 100)});
    auto* panel = page.add(new TestPanel(Rect(0, 0, 400, 400)));
    auto* tail = page.add(new CSTail(Point{10, 10}));
    auto* other = page.add(new CSTail(Point{20, 20}));
    auto* bubble = page.add(new CSBubble(Rect(0, 0, 50, 50), nullptr));
    tail->setMaster(tail);
    tail->setMaster(other);
    other->setMaster(tail);
    tail->setMaster(panel);
    bubble->setMaster(bubble);
    bubble->setMaster(tail);
    balloon->setMaster(balloon->subBalloons().front());
    EXPECT_EQ(tail->master(), nullptr);
    EXPECT_EQ(other->master(), nullptr);
    EXPECT_EQ(bubble->master(), nullptr);
    EXPECT_EQ(balloon->master(), nullptr);

    // Masterless parts are inert: no look, no lock, hit by their frame.
    bubble->setLocked(true);
    EXPECT_FALSE(bubble->isLocked());
    EXPECT_TRUE(bubble->styleName().isEmpty());
    EXPECT_EQ(bubble->margin(), (Size{0, 0}));
    EXPECT_TRUE(bubble->hitTest(Point{25, 25}));
    EXPECT_TRUE(bubble->bubbleOutline(false).vertexCount() > 0);
    bubble->setFrame(Rect(0, 0, 60, 60));
    EXPECT_EQ(bubble->frame(), Rect(0, 0, 60, 60));
}

TEST(BalloonMargins, SpikyAndCloudyKindsWidenTheText)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(0, 0, 120, 80)});
    balloon->setMargin(Size{4, 6});
    CSBubble* bubble = balloon->subBalloons().front();
    for (std::int32_t kind = 0; kind < kKindCount; ++kind) {
        bubble->setBubbleType(kind);
        EXPECT_EQ(bubble->margin(), (Size{hasWideTextMargin(kind) ? 16.0f : 4.0f, 6})) << kind;
    }
    EXPECT_TRUE(hasWideTextMargin(Thought) && hasWideTextMargin(Exclamation) && hasWideTextMargin(Exclamation2));
    // A text rectangle narrower than half the frame (the frame grew since
    // it was laid out) gives way to the middle half of the frame.
    CSBubble grown(Rect(0, 0, 120, 80), nullptr);
    EXPECT_EQ(grown.textRect(), Rect(5, 5, 110, 70));
    grown.setFrame(Rect(0, 0, 300, 80));
    EXPECT_EQ(grown.textRect(), Rect(75, 0, 150, 80));
}

// --- Kinds and undo -------------------------------------------------------------------------

TEST(BalloonKindUndo, OneUndoPutsBackEveryPartsOwnKind)
{
    BalloonPage page;
    CUndoManager undo;
    CSSpeechElement* balloon = page.balloon({Rect(0, 0, 100, 100), Rect(120, 0, 100, 100), Rect(0, 120, 60, 60)});
    page.page().setUndoManager(&undo);
    const std::vector<CSBubble*> bubbles = balloon->subBalloons();
    bubbles[1]->setBubbleType(Rough);
    undo.removeAllActions();

    balloon->setSpeechType(Thought);
    for (CSBubble* bubble : bubbles)
        EXPECT_EQ(bubble->bubbleType(), Thought);
    EXPECT_EQ(undo.undoCount(), 4); // the balloon and three sub-balloons
    undo.undo();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(balloon->speechType(), Speech);
    EXPECT_EQ(bubbles[0]->bubbleType(), Speech);
    EXPECT_EQ(bubbles[1]->bubbleType(), Rough);
    EXPECT_EQ(bubbles[2]->bubbleType(), Speech);
    undo.redo();
    EXPECT_EQ(balloon->speechType(), Thought);
    for (CSBubble* bubble : bubbles)
        EXPECT_EQ(bubble->bubbleType(), Thought);
    undo.undo();
    EXPECT_EQ(bubbles[1]->bubbleType(), Rough);

    // Inside the user's own gesture the kind change stays part of it.
    undo.removeAllActions();
    undo.beginGroup();
    balloon->setMargin(Size{8, 8});
    balloon->setSpeechType(Buzz);
    undo.endGroup();
    undo.undo();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(balloon->margin(), (Size{3, 3}));
    EXPECT_EQ(bubbles[1]->bubbleType(), Rough);

    // The same kind again is recorded for the balloon only.
    undo.removeAllActions();
    balloon->setSpeechType(Speech);
    EXPECT_EQ(undo.undoCount(), 2); // the balloon and the rough one turned back
    page.page().setUndoManager(nullptr);
}

// --- XML ------------------------------------------------------------------------------------

TEST(BalloonXml, EveryKindRoundTripsWithItsPartsReattached)
{
    for (std::int32_t kind = 0; kind < kKindCount; ++kind) {
        SCOPED_TRACE(kindName(kind));
        BalloonPage written;
        CSSpeechElement* balloon = written.balloon({Rect(10, 20, 100, 60), Rect(130, 20, 50, 50)},
                                                   {Point{0, 200}, Point{60, 220}});
        balloon->setSpeechType(kind);
        balloon->subBalloons()[1]->setBubbleType((kind + 5) % kKindCount);
        balloon->setMargin(Size{4.5f, 7});
        balloon->setStyleName(QStringLiteral("Shout"));
        balloon->setColorAttribute(0xFF336699u, QStringLiteral("FrameColor"));
        balloon->subBalloons()[0]->setText(balloonText(QStringLiteral("Who <goes> there?")));
        const QByteArray xml = written.xml();

        BalloonPage read;
        ASSERT_TRUE(read.read(xml));
        const std::vector<CSSpeechElement*> balloons = read.all<CSSpeechElement>();
        ASSERT_EQ(balloons.size(), 1u);
        const CSSpeechElement* back = balloons.front();
        EXPECT_EQ(back->speechType(), kind);
        EXPECT_EQ(back->margin(), (Size{4.5f, 7}));
        EXPECT_EQ(back->styleName(), QStringLiteral("Shout"));
        EXPECT_EQ(back->storedFrame(), Rect(0, 0, 10, 10));
        EXPECT_EQ(back->colorAttribute(QStringLiteral("FrameColor"), nullptr), 0xFF336699u);
        ASSERT_EQ(back->subBalloons().size(), 2u);
        ASSERT_EQ(back->tails().size(), 2u);
        EXPECT_EQ(back->subBalloons()[0]->bubbleType(), kind);
        EXPECT_EQ(back->subBalloons()[1]->bubbleType(), (kind + 5) % kKindCount);
        EXPECT_EQ(back->subBalloons()[0]->text(), balloon->subBalloons()[0]->text());
        EXPECT_EQ(back->tails()[1]->tip(), (Point{60, 220}));
        EXPECT_EQ(back->frame(), balloon->frame());
        EXPECT_EQ(read.xml(), xml);
    }
}

TEST(BalloonXml, TheFormsHoldWhatEachKindNeeds)
{
    BalloonPage page;
    page.balloon({Rect(10, 20, 100, 60)}, {Point{0, 200}});
    const QByteArray xml = page.xml();
    TiXmlDocument document;
    ASSERT_TRUE(XmlSupport::parseDocument(document, xml));
    const TiXmlElement* balloon = document.RootElement()->FirstChildElement("element");
    ASSERT_NE(balloon, nullptr);
    EXPECT_STREQ(balloon->Attribute("type"), "balloon");
    EXPECT_EQ(balloon->FirstChildElement("elements"), nullptr);
    EXPECT_EQ(balloon->Attribute("angle"), nullptr);
    EXPECT_NE(balloon->FirstChildElement("style"), nullptr);
    const TiXmlElement* bubble = balloon->NextSiblingElement("element");
    EXPECT_STREQ(bubble->Attribute("type"), "subballoon");
    EXPECT_NE(bubble->FirstChildElement("text"), nullptr);
    EXPECT_NE(bubble->FirstChildElement("elements"), nullptr);
    const TiXmlElement* tail = bubble->NextSiblingElement("element");
    EXPECT_STREQ(tail->Attribute("type"), "balloontail");
    EXPECT_EQ(tail->FirstChildElement("style"), nullptr);
    EXPECT_EQ(tail->FirstChildElement("elements"), nullptr);
    EXPECT_NE(tail->FirstChildElement("attributes"), nullptr);
}

TEST(BalloonXml, AnUnknownKindNameLeavesTheKind)
{
    BalloonPage page;
    ASSERT_TRUE(page.read("<elements>"
                          "<element type=\"balloon\" oid=\"b\" x=\"0\" y=\"0\" w=\"10\" h=\"10\"><attributes>"
                          "<setting name=\"type\">Thought</setting>"
                          "<setting name=\"type\">buzz</setting>"
                          "<setting name=\"type\">loud</setting></attributes></element>"
                          "<element type=\"subballoon\" oid=\"s\" x=\"0\" y=\"0\" w=\"50\" h=\"40\"><attributes>"
                          "<setting name=\"master\">b</setting>"
                          "<setting name=\"type\">12</setting></attributes></element>"
                          "</elements>"));
    const auto balloons = page.all<CSSpeechElement>();
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons.front()->speechType(), Buzz);
    ASSERT_EQ(balloons.front()->subBalloons().size(), 1u);
    EXPECT_EQ(balloons.front()->subBalloons().front()->bubbleType(), Speech);
}

// Hostile files load, keep their parts inert where the references are
// wrong, and draw in bounded time.
struct HostileCase
{
    const char* name;
    const char* elements;
    std::size_t attachedParts; // parts that end up in a balloon
};

const HostileCase kHostile[] = {
    {"self_master",
     "<element type=\"subballoon\" oid=\"s\" x=\"0\" y=\"0\" w=\"50\" h=\"40\"><attributes>"
     "<setting name=\"master\">s</setting></attributes></element>", 0},
    {"mutual_masters",
     "<element type=\"balloon\" oid=\"a\"><attributes><setting name=\"master\">b</setting>"
     "</attributes></element>"
     "<element type=\"balloon\" oid=\"b\"><attributes><setting name=\"master\">a</setting>"
     "</attributes></element>"
     "<element type=\"subballoon\" oid=\"s\" w=\"40\" h=\"40\"><attributes>"
     "<setting name=\"master\">a</setting></attributes></element>", 1},
    {"tail_cycle",
     "<element type=\"balloontail\" oid=\"t1\"><attributes><setting name=\"master\">t2"
     "</setting></attributes></element>"
     "<element type=\"balloontail\" oid=\"t2\"><attributes><setting name=\"master\">t1"
     "</setting><setting name=\"lock\">1</setting></attributes></element>", 0},
    {"panel_master",
     "<element type=\"subballoon\" oid=\"s\" w=\"40\" h=\"40\"><attributes>"
     "<setting name=\"master\">p</setting></attributes></element>", 0},
    {"zero_height_thought",
     "<element type=\"balloon\" oid=\"b\"><attributes><setting name=\"type\">thought"
     "</setting></attributes></element>"
     "<element type=\"subballoon\" oid=\"s\" x=\"10\" y=\"10\" w=\"80\" h=\"0\"><attributes>"
     "<setting name=\"master\">b</setting>"
     "<setting name=\"type\">thought</setting></attributes></element>"
     "<element type=\"balloontail\" oid=\"t\" x=\"900\" y=\"900\"><attributes>"
     "<setting name=\"master\">b</setting></attributes></element>", 2},
    {"nan_and_huge",
     "<element type=\"balloon\" oid=\"b\" x=\"nan\" y=\"1e30\" w=\"-1e30\" h=\"inf\"/>"
     "<element type=\"subballoon\" oid=\"s\" x=\"nan\" y=\"1e30\" w=\"1e30\" h=\"nan\"><attributes>"
     "<setting name=\"master\">b</setting>"
     "<setting name=\"type\">thought</setting></attributes></element>"
     "<element type=\"subballoon\" oid=\"s2\" x=\"-1e30\" y=\"5\" w=\"30\" h=\"30\"><attributes>"
     "<setting name=\"master\">b</setting></attributes></element>"
     "<element type=\"balloontail\" oid=\"t\" x=\"1e30\" y=\"-1e30\"><attributes>"
     "<setting name=\"master\">b</setting></attributes></element>", 3},
};

class HostileBalloonFile : public ::testing::TestWithParam<HostileCase>
{
};

TEST_P(HostileBalloonFile, LoadsAndDraws)
{
    BalloonPage page;
    page.add(new TestPanel(Rect(0, 0, 200, 200)))->setId(QStringLiteral("p"));
    ASSERT_TRUE(page.read(QByteArray("<elements>") + GetParam().elements + "</elements>"));
    for (CSBalloonPart* part : page.all<CSBalloonPart>()) {
        CSElement* master = part->master();
        EXPECT_TRUE(master == nullptr || dynamic_cast<CSSpeechElement*>(master)) << part->kindName();
        EXPECT_FALSE(part->isLocked() && !master);
        (void)part->styleName();
        (void)part->hitTest(Point{10, 10});
    }
    std::size_t attached = 0;
    for (CSSpeechElement* balloon : page.all<CSSpeechElement>())
        attached += balloon->subBalloons().size() + balloon->tails().size();
    EXPECT_EQ(attached, GetParam().attachedParts);
    for (CSSpeechElement* balloon : page.all<CSSpeechElement>()) {
        EXPECT_EQ(balloon->master(), nullptr);
        const Rect f = balloon->frame();
        EXPECT_TRUE(std::isfinite(f.x()) && std::isfinite(f.width()));
    }
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    auto context = makeContext(120, 120);
    PushCurrentContext(context.get());
    for (CSSpeechElement* balloon : page.all<CSSpeechElement>()) {
        balloon->setBoolAttribute(true, QStringLiteral("DrawShadow"));
        balloon->draw(sheet.get(), false, 1);
    }
    PopCurrentContext();
}

INSTANTIATE_TEST_SUITE_P(Files, HostileBalloonFile, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Archive and copies ---------------------------------------------------------------------

TEST(BalloonArchive, RoundTripsAndRefusesUnknownKinds)
{
    registerModelArchiveClasses();
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(10, 20, 100, 60), Rect(130, 20, 50, 50)}, {Point{0, 200}});
    balloon->setSpeechType(Exclamation2);
    balloon->subBalloons()[1]->setBubbleType(Tv);
    balloon->subBalloons()[0]->setText(balloonText(QStringLiteral("Hey!")));

    ArchiveWriter writer;
    writer.writeObject(balloon);
    ArchiveReader reader(writer.data());
    auto* read = dynamic_cast<CSSpeechElement*>(reader.readObject());
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(read->speechType(), Exclamation2);
    ASSERT_EQ(read->subBalloons().size(), 2u);
    EXPECT_EQ(read->subBalloons()[1]->bubbleType(), Tv);
    EXPECT_EQ(read->subBalloons()[0]->text(), balloon->subBalloons()[0]->text());
    EXPECT_EQ(read->subBalloons()[0]->master(), read);
    EXPECT_EQ(read->tails().front()->master(), read);
    EXPECT_EQ(read->frame(), balloon->frame());
    CSElement::destroyTree(read);

    // Kinds out of range, as a damaged or hostile clipboard may hold them.
    balloon->restoreSpeechType(1 << 30);
    balloon->subBalloons()[0]->setBubbleType(-3);
    ArchiveWriter bad;
    bad.writeObject(balloon);
    ArchiveReader badReader(bad.data());
    auto* checked = dynamic_cast<CSSpeechElement*>(badReader.readObject());
    ASSERT_NE(checked, nullptr);
    EXPECT_EQ(checked->speechType(), Speech);
    EXPECT_EQ(checked->subBalloons()[0]->bubbleType(), Speech);
    CSElement::destroyTree(checked);
}

TEST(BalloonCopies, ACloneOwnsCopiesOfItsParts)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(10, 20, 100, 60)}, {Point{0, 200}});
    balloon->setSpeechType(Whisper);
    balloon->subBalloons()[0]->setText(balloonText(QStringLiteral("psst")));
    auto* copy = dynamic_cast<CSSpeechElement*>(balloon->clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->speechType(), Whisper);
    ASSERT_EQ(copy->subBalloons().size(), 1u);
    EXPECT_NE(copy->subBalloons()[0], balloon->subBalloons()[0]);
    EXPECT_EQ(copy->subBalloons()[0]->master(), copy);
    EXPECT_EQ(copy->tails()[0]->master(), copy);
    EXPECT_EQ(copy->subBalloons()[0]->bubbleType(), Whisper);
    EXPECT_EQ(copy->text(), balloon->text());
    CSElement::destroyTree(copy);
}

} // namespace

namespace {

TEST(BalloonStyles, StyleNamesAreSortedByCharacterCode)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    for (const char* name : {"beta", "alpha", "Alpha", "Zed"}) {
        CSStylesheet* style = CSStylesheet::emptyStylesheet();
        sheet->addStyle(style, QStringLiteral("Bubble"), QString::fromLatin1(name));
    }
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(0, 0, 100, 100)}, {Point{0, 200}});
    const QStringList expected{QStringLiteral("Alpha"), QStringLiteral("Zed"), QStringLiteral("alpha"),
                               QStringLiteral("beta")};
    EXPECT_EQ(balloon->styleNamesForKind(sheet.get()), expected);
    EXPECT_EQ(balloon->tails().front()->styleNamesForKind(sheet.get()), expected);
    CSBubble loose(Rect(0, 0, 50, 50), nullptr);
    EXPECT_TRUE(loose.styleNamesForKind(sheet.get()).isEmpty());
}

TEST(BalloonText, FontAndColourReachEverySubBalloonInOneStep)
{
    BalloonPage page;
    CUndoManager undo;
    CSSpeechElement* balloon = page.balloon({Rect(0, 0, 100, 100), Rect(120, 0, 80, 80)}, {Point{0, 200}});
    const std::vector<CSBubble*> bubbles = balloon->subBalloons();
    bubbles[0]->setText(balloonText(QStringLiteral("One")));
    bubbles[1]->setText(balloonText(QStringLiteral("Two")));
    page.page().setUndoManager(&undo);
    balloon->setTextColor(0xFFCC0000u);
    for (CSBubble* bubble : bubbles)
        EXPECT_EQ(bubble->text(), CAttributedString(bubble->text().string(),
                                                    PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 11, false, false),
                                                    0xFFCC0000u, TextAlignment::Center));
    EXPECT_EQ(balloon->text(), bubbles[0]->text());
    undo.undo();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(bubbles[1]->text(), balloonText(QStringLiteral("Two")));
    balloon->setText(balloonText(QStringLiteral("Three")));
    EXPECT_EQ(bubbles[0]->text(), balloonText(QStringLiteral("Three")));
    page.page().setUndoManager(nullptr);
}

} // namespace
