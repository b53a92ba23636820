// Panels drawn into a drawing context, compared with reviewed reference
// pictures (tests/model/data), and the rules of what is drawn when.

#include "CAGGraphics.h"
#include "CSCaptionElement.h"
#include "CSCell.h"
#include "CSStylesheet.h"
#include "GraphicsTestSupport.h"
#include "PAFont.h"
#include "PATextRootWindow.h"
#include "ReferenceImage.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr PackedColor kFrameColor = 0xFF2848B0u;
constexpr PackedColor kBackground = 0xFFFFF4D0u;
constexpr int kCanvasWidth = 180;
constexpr int kCanvasHeight = 130;

struct DrawCase
{
    const char* name;
    int frameStyle;
    bool shadow = false;
    bool gradient = false;
    float angle = 0;
    // Irregular panels: the point count, and point edits (editable index, point).
    int points = 0;
    std::vector<std::pair<int, Point>> edits = {};
};

void styleForDrawing(CSCell& panel, const DrawCase& c)
{
    panel.setIntAttribute(c.frameStyle, QStringLiteral("FrameStyle"));
    panel.setFloatAttribute(14, QStringLiteral("FrameStyleRadius"));
    panel.setBoolAttribute(c.shadow, QStringLiteral("DrawShadow"));
    panel.setColorAttribute(0x99A02020u, QStringLiteral("ShadowColor"));
    panel.setFloatAttribute(3, QStringLiteral("ShadowBlurRadius"));
    panel.setFloatAttribute(0.2f, QStringLiteral("ShadowXOffset"));
    panel.setFloatAttribute(-0.2f, QStringLiteral("ShadowYOffset"));
    panel.setBoolAttribute(c.gradient, QStringLiteral("DrawGradient"));
    panel.setColorAttribute(0xFF90C8F0u, QStringLiteral("GradientFillColor"));
    panel.setColorAttribute(kBackground, QStringLiteral("BackgroundColor"));
    panel.setColorAttribute(kFrameColor, QStringLiteral("FrameColor"));
    panel.setFloatAttribute(3, QStringLiteral("FrameWidth"));
}

std::unique_ptr<CSCell> makePanel(const DrawCase& c)
{
    auto panel = std::make_unique<CSCell>(Rect(30, 25, 120, 80));
    styleForDrawing(*panel, c);
    panel->setAngle(c.angle);
    if (c.points > 0) {
        panel->setIrregular(true);
        panel->setPointCount(c.points);
        for (const auto& [index, point] : c.edits)
            panel->movePoint(point, index);
    }
    return panel;
}

std::unique_ptr<CAGGraphics> drawInto(const std::function<void(const CSStylesheet*)>& draw)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    auto context = makeContext(kCanvasWidth, kCanvasHeight);
    PushCurrentContext(context.get());
    draw(sheet.get());
    PopCurrentContext();
    return context;
}

std::unique_ptr<CAGGraphics> drawPanel(CSCell& panel)
{
    return drawInto([&panel](const CSStylesheet* sheet) { panel.draw(sheet, false, 1); });
}

class PanelDrawing : public ::testing::TestWithParam<DrawCase>
{
};

TEST_P(PanelDrawing, MatchesItsReference)
{
    auto panel = makePanel(GetParam());
    auto context = drawPanel(*panel);
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("panel_") + QString::fromLatin1(GetParam().name), 24));
}

const DrawCase kCases[] = {
    {"square", 0},
    {"oval_shadow", 1, true},
    {"rounded_gradient", 2, false, true},
    {"bevelled_shadow_gradient", 3, true, true},
    {"inset_rounded", 4},
    {"inset_square_gradient", 5, false, true},
    {"skewed_shadow", 6, true},
    {"twisted", 7},
    {"scroll_shadow", 8, true},
    {"rounded_rotated", 2, true, true, 25},
    // Irregular: the bottom-right corner raised; a point pulled down and one
    // raised; every middle point moved.
    {"irregular_3", 0, true, false, 0, 3, {{1, Point{150, 95}}}},
    {"irregular_5", 0, false, true, 0, 5, {{1, Point{90, 118}}, {3, Point{130, 15}}}},
    {"irregular_8", 0, true, true, 0, 8,
     {{1, Point{90, 95}}, {3, Point{160, 65}}, {5, Point{90, 35}}, {7, Point{20, 65}}}},
    {"irregular_5_rotated", 0, false, false, -20, 5, {{1, Point{90, 118}}}},
};

INSTANTIATE_TEST_SUITE_P(Shapes, PanelDrawing, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DrawCase>& info) { return std::string(info.param.name); });

// A caption larger than its oval panel is clipped to the oval: its corner
// shows the page behind, its middle the caption's fill.
TEST(PanelClipping, ACaptionLargerThanAnOvalPanelIsClippedToTheOval)
{
    CSCell panel(Rect(30, 25, 120, 80));
    styleForDrawing(panel, DrawCase{"clip", 1});
    CSCaptionElement caption(Rect(10, 10, 160, 110));
    caption.setColorAttribute(0xFF60B060u, QStringLiteral("BackgroundColor"));
    caption.setColorAttribute(0xFF000000u, QStringLiteral("FrameColor"));
    caption.setText(CAttributedString(QStringLiteral("CLIPPED TO THE OVAL PANEL, CLIPPED TO THE OVAL PANEL"),
                                      PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 12, true, false),
                                      kOpaqueBlack));
    caption.setMargin(Size{24, 30});
    caption.setClipSource(&panel);
    ASSERT_EQ(caption.clipSource(), &panel);
    sharedTextRoot().invalidateLayouts();
    auto context = drawInto([&](const CSStylesheet* sheet) {
        panel.draw(sheet, false, 1);
        caption.draw(sheet, false, 1);
        panel.drawOverlay(sheet, false, 1);
    });
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("panel_oval_clips_caption"), 24));
    // Inside the caption's frame but outside the oval: the page's white.
    EXPECT_EQ(pixelAt(*context, 36, 30), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(*context, 15, 15), 0xFFFFFFFFu);
    // Inside the oval: the caption's fill.
    EXPECT_EQ(pixelAt(*context, 90, 40), 0xFF60B060u);
}

TEST(PanelClipping, ARotatedPanelClipsToItsTurnedShape)
{
    CSCell panel(Rect(30, 25, 120, 80));
    styleForDrawing(panel, DrawCase{"clip", 0});
    panel.setAngle(30);
    CSCaptionElement caption(Rect(0, 0, 180, 130));
    caption.setColorAttribute(0xFF60B060u, QStringLiteral("BackgroundColor"));
    caption.setBoolAttribute(false, QStringLiteral("DrawFrame"));
    caption.setClipSource(&panel);
    auto context = drawInto([&](const CSStylesheet* sheet) { caption.draw(sheet, false, 1); });
    // The unrotated frame's top-left corner lies outside the turned shape.
    EXPECT_EQ(pixelAt(*context, 34, 28), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(*context, 90, 65), 0xFF60B060u);
    const Point turned = panel.rotationTransform(30).transformPoint(Point{40, 35});
    EXPECT_EQ(pixelAt(*context, int(turned.x), int(turned.y)), 0xFF60B060u);
}

TEST(PanelDrawingRules, WithoutBackgroundOnlyTheOutlineIsDrawn)
{
    auto panel = makePanel(DrawCase{"plain", 0, true, true});
    panel->setBoolAttribute(false, QStringLiteral("DrawBackground"));
    auto context = drawPanel(*panel);
    EXPECT_EQ(pixelAt(*context, 90, 65), 0xFFFFFFFFu);                                  // no fill, no gradient
    EXPECT_EQ(pixelAt(*context, 155, 110), 0xFFFFFFFFu);                                // no shadow
    EXPECT_EQ(pixelAt(*context, 90, 25) & 0x00FFFFFFu, kFrameColor & 0x00FFFFFFu);      // the outline
}

// Shadow offsets are in twentieths of a unit with y up: (0.15, -0.15) is
// 3 right and 3 down.
TEST(PanelDrawingRules, TheShadowIsOffsetInTwentiethsWithYUp)
{
    CSCell panel(Rect(40, 40, 60, 40));
    panel.setBoolAttribute(false, QStringLiteral("DrawFrame"));
    panel.setBoolAttribute(true, QStringLiteral("DrawShadow"));
    panel.setColorAttribute(0xFF000000u, QStringLiteral("ShadowColor"));
    panel.setFloatAttribute(0, QStringLiteral("ShadowBlurRadius"));
    panel.setFloatAttribute(0.15f, QStringLiteral("ShadowXOffset"));
    panel.setFloatAttribute(-0.15f, QStringLiteral("ShadowYOffset"));
    auto context = drawPanel(panel);
    EXPECT_EQ(pixelAt(*context, 101, 81), 0xFF000000u); // the shadow's corner
    EXPECT_EQ(pixelAt(*context, 102, 82), 0xFF000000u);
    EXPECT_EQ(pixelAt(*context, 104, 84), 0xFFFFFFFFu); // beyond it
    EXPECT_EQ(pixelAt(*context, 41, 81), 0xFFFFFFFFu);  // left of it
    EXPECT_EQ(pixelAt(*context, 99, 79), 0xFFFFFFFFu);  // the fill (white) over it
}

TEST(PanelDrawingRules, UnknownFrameStylesDrawTheRectangle)
{
    auto square = makePanel(DrawCase{"square", 0});
    // The context's image wraps its pixels: keep a copy past its life.
    const QImage expected = drawPanel(*square)->image().copy();
    for (int style : {9, -1, 1000}) {
        auto panel = makePanel(DrawCase{"other", style});
        auto context = drawPanel(*panel);
        EXPECT_EQ(context->image(), expected) << "style " << style;
    }
}

TEST(PanelDrawingRules, TheOutlineOverlayDrawsOnlyTheFrame)
{
    auto panel = makePanel(DrawCase{"overlay", 1, true, true});
    auto context = drawInto([&](const CSStylesheet* sheet) { panel->drawOverlay(sheet, false, 1); });
    EXPECT_EQ(pixelAt(*context, 90, 65), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(*context, 90, 25) & 0x00FFFFFFu, kFrameColor & 0x00FFFFFFu);
    panel->setBoolAttribute(false, QStringLiteral("DrawFrame"));
    auto none = drawInto([&](const CSStylesheet* sheet) { panel->drawOverlay(sheet, false, 1); });
    EXPECT_EQ(pixelAt(*none, 90, 25), 0xFFFFFFFFu);
}

TEST(PanelDrawingRules, WithoutAContextNothingHappens)
{
    CSCell panel(Rect(0, 0, 10, 10));
    ASSERT_EQ(CurrentContext(), nullptr);
    panel.draw(nullptr, false, 1);
    panel.drawOverlay(nullptr, false, 1);
}

} // namespace
