// Balloons drawn into a drawing context, compared with reviewed reference
// pictures (tests/model/data/balloon_*.png), and the rules of the merged
// outline checked on single pixels.

#include "BalloonTestSupport.h"
#include "CAGGraphics.h"
#include "CSBalloonShapes.h"
#include "CSStylesheet.h"
#include "GraphicsTestSupport.h"
#include "PATextRootWindow.h"
#include "ReferenceImage.h"

#include <gtest/gtest.h>

namespace {

using namespace CSBalloonShapes;

constexpr int kCanvasWidth = 200;
constexpr int kCanvasHeight = 160;

enum class Tail { None, Straight, Curved };

struct DrawCase
{
    const char* name;
    std::int32_t kind;
    Tail tail;
    bool shadow;
    bool twoBubbles = false;
    bool gradient = false;
};

CSSpeechElement* makeBalloon(BalloonPage& page, const DrawCase& c)
{
    CSSpeechElement* balloon = c.twoBubbles
        ? page.balloon({Rect(14, 14, 110, 70), Rect(104, 62, 82, 56)}, {Point{40, 150}})
        : page.balloon({Rect(30, 16, 140, 84)}, {Point{c.kind == Thought ? 40.0f : 52.0f, 150}});
    if (c.tail == Tail::None)
        balloon->removeChild(balloon->tails().front());
    balloon->setSpeechType(c.kind);
    balloon->setBoolAttribute(c.tail == Tail::Straight, QStringLiteral("StraightTail"));
    balloon->setBoolAttribute(c.shadow, QStringLiteral("DrawShadow"));
    balloon->setColorAttribute(0x80303060u, QStringLiteral("ShadowColor"));
    balloon->setFloatAttribute(3, QStringLiteral("ShadowBlurRadius"));
    balloon->setFloatAttribute(0.2f, QStringLiteral("ShadowXOffset"));
    balloon->setFloatAttribute(-0.2f, QStringLiteral("ShadowYOffset"));
    balloon->setFloatAttribute(4, QStringLiteral("FrameWidth"));
    balloon->setBoolAttribute(c.gradient, QStringLiteral("DrawGradient"));
    balloon->setColorAttribute(0xFFFFE8A0u, QStringLiteral("GradientFillColor"));
    const std::vector<CSBubble*> bubbles = balloon->subBalloons();
    bubbles[0]->setText(balloonText(c.twoBubbles ? QStringLiteral("Wait for me!") : QStringLiteral("Great Scott! The machine works!")));
    if (c.twoBubbles)
        bubbles[1]->setText(balloonText(QStringLiteral("Hurry!")));
    return balloon;
}

std::unique_ptr<CAGGraphics> drawBalloon(CSSpeechElement& balloon, float zoom)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    auto context = makeContext(int(kCanvasWidth * zoom), int(kCanvasHeight * zoom));
    sharedTextRoot().invalidateLayouts();
    PushCurrentContext(context.get());
    context->ScaleTransform(zoom, zoom);
    balloon.draw(sheet.get(), false, zoom);
    PopCurrentContext();
    return context;
}

class BalloonDrawing : public ::testing::TestWithParam<DrawCase>
{
};

TEST_P(BalloonDrawing, MatchesItsReference)
{
    const DrawCase& c = GetParam();
    BalloonPage page;
    CSSpeechElement* balloon = makeBalloon(page, c);
    auto context = drawBalloon(*balloon, 1);
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("balloon_") + QString::fromLatin1(c.name), 24));
}

const DrawCase kCases[] = {
    {"speech_curved", Speech, Tail::Curved, false},
    {"thought_trail", Thought, Tail::Curved, false},
    {"exclamation_straight_shadow", Exclamation, Tail::Straight, true},
    {"exclamation2_curved", Exclamation2, Tail::Curved, false},
    {"whisper_curved", Whisper, Tail::Curved, false},
    {"rough_curved_shadow", Rough, Tail::Curved, true},
    {"rough2_straight", Rough2, Tail::Straight, false},
    {"robot_straight", Robot, Tail::Straight, false},
    {"square_straight_shadow", Square, Tail::Straight, true},
    {"buzz_curved", Buzz, Tail::Curved, false},
    {"space_none", Space, Tail::None, false},
    {"tv_curved_shadow", Tv, Tail::Curved, true},
    {"thought_trail_shadow", Thought, Tail::Curved, true},
    {"speech_straight_gradient_shadow", Speech, Tail::Straight, true, false, true},
    {"merged_two", Speech, Tail::Curved, false, true},
    {"merged_two_thought_shadow", Thought, Tail::Curved, true, true},
};

INSTANTIATE_TEST_SUITE_P(Kinds, BalloonDrawing, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DrawCase>& info) { return std::string(info.param.name); });

bool isDark(quint32 pixel)
{
    return qRed(pixel) < 90 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

// Only the outer half of the stroke shows: a frame width of 5 strokes 4
// wide, of which 2 lie outside the fill.
TEST(BalloonDrawingRules, OnlyTheOuterHalfOfTheFrameShows)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(40, 40, 100, 60)});
    balloon->setSpeechType(Square);
    auto context = drawBalloon(*balloon, 1);
    EXPECT_EQ(pixelAt(*context, 37, 70), 0xFFFFFFFFu);
    EXPECT_TRUE(isDark(pixelAt(*context, 38, 70)));
    EXPECT_TRUE(isDark(pixelAt(*context, 39, 70)));
    EXPECT_EQ(pixelAt(*context, 40, 70), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(*context, 41, 70), 0xFFFFFFFFu);
}

// A frame width of 1 or less strokes a hairline, centred on the outline:
// the second fill covers its inner half.
TEST(BalloonDrawingRules, AThinFrameIsAHalfCoveredHairline)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(40, 40, 100, 60)});
    balloon->setSpeechType(Square);
    balloon->setFloatAttribute(1, QStringLiteral("FrameWidth"));
    auto context = drawBalloon(*balloon, 1);
    EXPECT_EQ(pixelAt(*context, 38, 70), 0xFFFFFFFFu);
    EXPECT_LT(qRed(pixelAt(*context, 39, 70)), 128);
    EXPECT_EQ(pixelAt(*context, 40, 70), 0xFFFFFFFFu);
}

// Where two sub-balloons overlap, the frame lines inside the united shape
// are painted over; only the outer contour keeps its frame.
TEST(BalloonDrawingRules, MergedSubBalloonsShareOneOutline)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(20, 40, 100, 60), Rect(80, 50, 100, 60)});
    balloon->setSpeechType(Square);
    auto context = drawBalloon(*balloon, 1);
    // The first square's right edge (x = 120) and the second's left edge
    // (x = 80) inside the other square: no line.
    for (int y : {60, 70, 90})
        for (int x : {79, 80, 81, 119, 120, 121})
            EXPECT_EQ(pixelAt(*context, x, y), 0xFFFFFFFFu) << x << "," << y;
    // The outer contour keeps its frame.
    EXPECT_TRUE(isDark(pixelAt(*context, 19, 70)));
    EXPECT_TRUE(isDark(pixelAt(*context, 180, 80)));
}

TEST(BalloonDrawingRules, OnlyAWhisperBalloonHasADashedFrame)
{
    for (const bool whisper : {true, false}) {
        BalloonPage page;
        // Wide enough to be nearly flat along the top in the middle.
        CSSpeechElement* balloon = page.balloon({Rect(-100, 40, 400, 80)});
        balloon->setSpeechType(Whisper);
        if (!whisper)
            balloon->restoreSpeechType(Speech); // the sub-balloon stays a whisper ellipse
        auto context = drawBalloon(*balloon, 1);
        // Along the straight part of the ellipse's top, at the frame's middle.
        int dark = 0, light = 0;
        for (int x = 80; x < 120; ++x)
            (isDark(pixelAt(*context, x, 38)) ? dark : light) += 1;
        if (whisper) {
            EXPECT_GT(dark, 10);
            EXPECT_GT(light, 10);
        } else {
            EXPECT_EQ(light, 0);
        }
    }
}

// Curves are flattened by the context that draws them: what was drawn
// before, at another zoom, changes nothing.
TEST(BalloonDrawingRules, TheZoomOfAnEarlierDrawingDoesNotMatter)
{
    BalloonPage page;
    CSSpeechElement* balloon = makeBalloon(page, {"z", Rough2, Tail::Curved, false});
    const QImage alone = drawBalloon(*balloon, 1)->image().copy();
    drawBalloon(*balloon, 0.1f);
    const QImage after = drawBalloon(*balloon, 1)->image().copy();
    EXPECT_EQ(alone, after);
    drawBalloon(*balloon, 4);
    EXPECT_EQ(drawBalloon(*balloon, 1)->image().copy(), alone);
}

// A balloon in a panel is clipped by the panel's outline.
TEST(BalloonDrawingRules, APanelClipsItsBalloon)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(20, 40, 160, 80)}, {Point{100, 150}});
    auto* panel = page.add(new TestPanel(Rect(0, 0, 100, 160)));
    balloon->setClipSource(panel);
    auto context = drawBalloon(*balloon, 1);
    EXPECT_TRUE(isDark(pixelAt(*context, 19, 80)));
    EXPECT_EQ(pixelAt(*context, 181, 80), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(*context, 180, 80), 0xFFFFFFFFu);
}

TEST(BalloonDrawingRules, TheTextIsCentredAndRemembered)
{
    BalloonPage page;
    CSSpeechElement* balloon = page.balloon({Rect(30, 16, 140, 84)});
    balloon->setText(balloonText(QStringLiteral("Hi")));
    drawBalloon(*balloon, 1);
    const Rect text = balloon->subBalloons().front()->storedTextRect();
    EXPECT_NEAR(text.y() + text.height() / 2, 16 + 42, 1.0f);
    EXPECT_NEAR(text.x(), 33, 1e-3);
    EXPECT_GT(text.height(), 5);
}

} // namespace
