// Lettering drawn into a drawing context: the word compared with reviewed
// reference pictures (tests/model/data), and the rings of the multi-stroke
// outline measured on a square letter.

#include "CAGGraphics.h"
#include "CSStylesheet.h"
#include "ElementTestKinds.h"
#include "GraphicsTestSupport.h"
#include "LetteringTestSupport.h"
#include "ReferenceImage.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kCanvasWidth = 300;
constexpr int kCanvasHeight = 120;

std::unique_ptr<CAGGraphics> drawInto(CSElement& element, int width, int height, float zoom = 1.0f)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    auto context = makeContext(int(width * zoom), int(height * zoom));
    PushCurrentContext(context.get());
    context->ScaleTransform(zoom, zoom);
    element.draw(sheet.get(), false, zoom);
    PopCurrentContext();
    return context;
}

struct PictureCase
{
    const char* name;
    std::function<void(CSSFXElement&)> setUp;
    float zoom = 1.0f;
};

// Squeezed so that neighbouring letters overlap: merged, the rings run
// round the whole word; one by one, each letter covers the one behind it.
void shadowed(CSSFXElement& l, bool merged)
{
    l.spreadHorizontal(0.8f);
    l.setBoolAttribute(true, QStringLiteral("DrawShadow"));
    l.setBoolAttribute(merged, QStringLiteral("DrawMerged"));
    l.setColorAttribute(0xA0302060u, QStringLiteral("ShadowColor"));
    l.setFloatAttribute(3, QStringLiteral("ShadowBlurRadius"));
    l.setFloatAttribute(0.25f, QStringLiteral("ShadowXOffset"));
    l.setFloatAttribute(-0.25f, QStringLiteral("ShadowYOffset"));
}

void bendAllPoints(CSSFXElement& l)
{
    const CSSFXElement::Envelope e = l.envelope();
    // Narrow on the left, tall on the right, arched on top, sagging below.
    const Size moves[6] = {{0, 10}, {12, -12}, {12, 10}, {0, -4}, {4, -18}, {-6, 10}};
    for (int i = 0; i < 6; ++i)
        l.movePoint(Point{e[std::size_t(i)].x + moves[i].width, e[std::size_t(i)].y + moves[i].height}, i);
}

void multiStroke(CSSFXElement& l, int strokes)
{
    l.setIntAttribute(strokes, QStringLiteral("MultiStroke"));
    l.setFloatAttribute(8, QStringLiteral("FrameWidth"));
}

const PictureCase kPictures[] = {
    {"plain", [](CSSFXElement&) {}},
    {"warped", bendAllPoints},
    {"spread", [](CSSFXElement& l) { l.spreadHorizontal(1.15f); }},
    {"staggered", [](CSSFXElement& l) { l.stagger(Size{0, 5}); }},
    {"turned_letters", [](CSSFXElement& l) { l.rotateLetters(-6); }},
    {"multistroke_1", [](CSSFXElement& l) { multiStroke(l, 1); }},
    {"multistroke_3", [](CSSFXElement& l) { multiStroke(l, 3); }},
    {"multistroke_10", [](CSSFXElement& l) { multiStroke(l, 10); }},
    {"merged_shadow", [](CSSFXElement& l) { shadowed(l, true); }},
    {"letters_shadow", [](CSSFXElement& l) { shadowed(l, false); }},
    {"rotated_plain_fill", [](CSSFXElement& l) {
         l.setAngle(-8);
         l.setBoolAttribute(false, QStringLiteral("DrawGradient"));
         l.setColorAttribute(0xFFFF8020u, QStringLiteral("BackgroundColor"));
     }},
    {"warped_zoom2_shadow", [](CSSFXElement& l) { bendAllPoints(l); shadowed(l, false); }, 2.0f},
};

class LetteringPicture : public ::testing::TestWithParam<PictureCase>
{
};

TEST_P(LetteringPicture, MatchesItsReference)
{
    const PictureCase& c = GetParam();
    auto lettering = makeLettering(QStringLiteral("KA-BOOM!"), 56);
    placeAt(*lettering, Point{28, 28});
    c.setUp(*lettering);
    auto context = drawInto(*lettering, kCanvasWidth, kCanvasHeight, c.zoom);
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("lettering_") + QString::fromLatin1(c.name), 24));
}

INSTANTIATE_TEST_SUITE_P(Looks, LetteringPicture, ::testing::ValuesIn(kPictures),
                         [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

TEST(LetteringPictureRules, ClippedIntoAPanelNothingShowsOutsideIt)
{
    TreePtr<TestPanel> panel(new TestPanel(Rect(40, 20, 120, 80)));
    auto lettering = makeLettering(QStringLiteral("KA-BOOM!"), 56);
    placeAt(*lettering, Point{28, 28});
    lettering->setClipSource(panel.get());
    ASSERT_EQ(lettering->clipSource(), panel.get());
    auto context = drawInto(*lettering, kCanvasWidth, kCanvasHeight);
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("lettering_clipped"), 24));
    int inside = 0;
    const QImage image = context->image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool painted = image.pixel(x, y) != 0xFFFFFFFFu;
            const bool inPanel = x >= 40 && x < 160 && y >= 20 && y < 100;
            if (painted && !inPanel)
                ADD_FAILURE() << "painted outside the panel at " << x << ", " << y;
            inside += painted && inPanel;
        }
    EXPECT_GT(inside, 1000);
    lettering->setClipSource(nullptr);
}

TEST(LetteringPictureRules, BlankTextAndNoContextDrawNothing)
{
    auto blank = makeLettering(QStringLiteral("   "));
    placeAt(*blank, Point{10, 10});
    auto context = drawInto(*blank, 60, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(pixelAt(*context, x, y), 0xFFFFFFFFu);
    ASSERT_EQ(CurrentContext(), nullptr);
    blank->draw(nullptr, false, 1);
}

// --- The multi-stroke outline, measured -------------------------------------------------

constexpr PackedColor kFill = 0xFFFFE000u;
constexpr PackedColor kFrame = 0xFF2040C0u;
constexpr PackedColor kAlt = 0xFFE02020u;
constexpr PackedColor kWhite = 0xFFFFFFFFu;

// One square letter whose left edge lies at x = 30 on the page: the
// envelope is the letter's frame, so the warp leaves that edge in place.
TreePtr<CSSFXElement> squareLettering()
{
    auto lettering = emptyLettering();
    lettering->addChild(new CSSFXChar(NSBezierPath::pathWithRect(Rect(30, 30, 40, 40))));
    const Rect b = lettering->letterBounds();
    const Point points[6] = {{b.minX(), b.minY()}, {b.maxX(), b.minY()}, {b.maxX(), b.maxY()},
                             {b.minX(), b.maxY()}, {b.midX(), b.minY()}, {b.midX(), b.maxY()}};
    for (int i = 0; i < 6; ++i)
        lettering->movePoint(points[i], i);
    lettering->setBoolAttribute(false, QStringLiteral("DrawGradient"));
    lettering->setColorAttribute(kFill, QStringLiteral("BackgroundColor"));
    lettering->setColorAttribute(kFrame, QStringLiteral("FrameColor"));
    lettering->setColorAttribute(kAlt, QStringLiteral("AltColor"));
    return lettering;
}

struct RingCase
{
    const char* name;
    float strokes;
    float width;
    // Pixel columns on the row y = 50 and the colour each must have.
    std::vector<std::pair<int, PackedColor>> expected;
};

class LetteringRings : public ::testing::TestWithParam<RingCase>
{
};

TEST_P(LetteringRings, AlternateFromTheFrameColourInside)
{
    const RingCase& c = GetParam();
    auto lettering = squareLettering();
    lettering->setFloatAttribute(c.strokes, QStringLiteral("MultiStroke"));
    lettering->setFloatAttribute(c.width, QStringLiteral("FrameWidth"));
    auto context = drawInto(*lettering, 100, 100);
    for (const auto& [x, colour] : c.expected)
        EXPECT_EQ(pixelAt(*context, x, 50), colour) << "x = " << x;
}

// Strokes of 10, 5 and 1 for three strokes of width 10: outside the square,
// rings of 2.5 (frame), 2 (alternate) and 0.5 (frame).
const RingCase kRings[] = {
    {"three", 3, 10, {{24, kWhite}, {25, kFrame}, {26, kFrame}, {28, kAlt}, {30, kFill}, {40, kFill}}},
    {"one", 1, 10, {{24, kWhite}, {25, kFrame}, {27, kFrame}, {29, kFrame}, {30, kFill}}},
    {"two", 2, 10, {{24, kWhite}, {25, kAlt}, {28, kAlt}, {30, kFill}}},
    {"four", 4, 12, {{23, kWhite}, {24, kAlt}, {25, kAlt}, {26, kFrame}, {27, kFrame}, {28, kAlt}, {30, kFill}}},
    {"realTruncated", 3.9f, 10, {{25, kFrame}, {28, kAlt}}},
    // No strokes: only the fill-coloured outline under the fill shows.
    {"none", 0, 10, {{24, kWhite}, {27, kFill}, {30, kFill}}},
    // A negative width is none: the strokes narrow to 0, then to 1 as any does.
    {"negativeWidth", 3, -10, {{27, kWhite}, {28, kWhite}, {31, kFill}}},
};

INSTANTIATE_TEST_SUITE_P(Strokes, LetteringRings, ::testing::ValuesIn(kRings),
                         [](const ::testing::TestParamInfo<RingCase>& info) { return std::string(info.param.name); });

// Shadow offsets are stored in twentieths of a unit with y pointing up: an
// offset of (0.5, -0.5) casts the shadow 10 right and 10 down.
TEST(LetteringShadow, OffsetsAreTwentiethsOfAUnit)
{
    auto lettering = squareLettering();
    lettering->setBoolAttribute(false, QStringLiteral("DrawFrame"));
    lettering->setBoolAttribute(true, QStringLiteral("DrawShadow"));
    lettering->setColorAttribute(0xFF000000u, QStringLiteral("ShadowColor"));
    lettering->setFloatAttribute(0, QStringLiteral("ShadowBlurRadius"));
    lettering->setFloatAttribute(0.5f, QStringLiteral("ShadowXOffset"));
    lettering->setFloatAttribute(-0.5f, QStringLiteral("ShadowYOffset"));
    auto context = drawInto(*lettering, 100, 100);
    EXPECT_EQ(pixelAt(*context, 50, 50), kFill);
    EXPECT_EQ(pixelAt(*context, 76, 60), 0xFF000000u);
    EXPECT_EQ(pixelAt(*context, 50, 76), 0xFF000000u);
    EXPECT_EQ(pixelAt(*context, 84, 60), kWhite);
    EXPECT_EQ(pixelAt(*context, 50, 84), kWhite);
    EXPECT_EQ(pixelAt(*context, 35, 35), kFill);
    EXPECT_EQ(pixelAt(*context, 35, 28), kWhite);
}

TEST(LetteringRingsRules, AbsurdStrokeCountsAreClamped)
{
    auto clamped = squareLettering();
    clamped->setIntAttribute(CSSFXElement::kMaxMultiStroke, QStringLiteral("MultiStroke"));
    const QImage reference = drawInto(*clamped, 100, 100)->image().copy();
    for (float count : {1e9f, 3e38f, INFINITY}) {
        auto lettering = squareLettering();
        lettering->setFloatAttribute(count, QStringLiteral("MultiStroke"));
        EXPECT_EQ(drawInto(*lettering, 100, 100)->image().copy(), reference) << count;
    }
    auto nan = squareLettering();
    nan->setFloatAttribute(std::nanf(""), QStringLiteral("MultiStroke"));
    nan->setFloatAttribute(10, QStringLiteral("FrameWidth"));
    EXPECT_EQ(pixelAt(*drawInto(*nan, 100, 100), 26, 50), kFill);
}

} // namespace
