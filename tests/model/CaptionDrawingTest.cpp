// Captions drawn into a drawing context, compared with reviewed reference
// pictures (tests/model/data), and the text checked to stay in its box.

#include "CAGGraphics.h"
#include "CSCaptionElement.h"
#include "CSStylesheet.h"
#include "GraphicsTestSupport.h"
#include "PAFont.h"
#include "PATextRootWindow.h"
#include "ReferenceImage.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct DrawCase
{
    const char* name;
    int frameStyle;
    bool shadow;
    bool gradient;
    float angle;
    float zoom;
    PackedColor background = 0xFFFFF4D0u;
};

constexpr PackedColor kFrameColor = 0xFF2848B0u;
constexpr int kCanvasWidth = 180;
constexpr int kCanvasHeight = 130;

std::unique_ptr<CSCaptionElement> makeCaption(const DrawCase& c)
{
    auto caption = std::make_unique<CSCaptionElement>(Rect(30, 32, 120, 64));
    caption->setIntAttribute(c.frameStyle, QStringLiteral("FrameStyle"));
    caption->setFloatAttribute(10, QStringLiteral("FrameStyleRadius"));
    caption->setBoolAttribute(c.shadow, QStringLiteral("DrawShadow"));
    caption->setColorAttribute(0x99A02020u, QStringLiteral("ShadowColor"));
    caption->setFloatAttribute(3, QStringLiteral("ShadowBlurRadius"));
    caption->setFloatAttribute(0.2f, QStringLiteral("ShadowXOffset"));
    caption->setFloatAttribute(-0.2f, QStringLiteral("ShadowYOffset"));
    caption->setBoolAttribute(c.gradient, QStringLiteral("DrawGradient"));
    caption->setColorAttribute(0xFF90C8F0u, QStringLiteral("GradientFillColor"));
    caption->setColorAttribute(c.background, QStringLiteral("BackgroundColor"));
    caption->setColorAttribute(kFrameColor, QStringLiteral("FrameColor"));
    caption->setMargin(Size{6, 5});
    caption->setAngle(c.angle);
    caption->setText(CAttributedString(QStringLiteral("Meanwhile, far across the sleeping city..."),
                                       PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 12, true, false),
                                       kOpaqueBlack));
    return caption;
}

std::unique_ptr<CAGGraphics> drawCaption(const CSCaptionElement& caption, float zoom)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    auto context = makeContext(int(kCanvasWidth * zoom), int(kCanvasHeight * zoom));
    sharedTextRoot().invalidateLayouts();
    PushCurrentContext(context.get());
    context->ScaleTransform(zoom, zoom);
    const_cast<CSCaptionElement&>(caption).draw(sheet.get(), false, zoom);
    PopCurrentContext();
    return context;
}

class CaptionDrawing : public ::testing::TestWithParam<DrawCase>
{
};

TEST_P(CaptionDrawing, MatchesItsReference)
{
    const DrawCase& c = GetParam();
    auto caption = makeCaption(c);
    auto context = drawCaption(*caption, c.zoom);
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("caption_") + QString::fromLatin1(c.name), 24));
}

// Dark pixels are the text's (frame, fill, gradient and shadow have no
// dark colour): every one lies inside the text box, turned with the caption.
TEST_P(CaptionDrawing, TheTextStaysInsideItsBox)
{
    const DrawCase& c = GetParam();
    auto caption = makeCaption(c);
    auto context = drawCaption(*caption, c.zoom);
    const QImage image = context->image();
    const Rect box = caption->textRect();
    int textPixels = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) > 70 || qGreen(p) > 70 || qBlue(p) > 70)
                continue;
            ++textPixels;
            const Point local = caption->pageToLocal(Point{(x + 0.5f) / c.zoom, (y + 0.5f) / c.zoom});
            if (!rectContainsPoint(insetRect(box, -1.5f, -1.5f), local))
                ++outside;
        }
    EXPECT_GT(textPixels, 40 * c.zoom * c.zoom);
    EXPECT_EQ(outside, 0);
}

const DrawCase kCases[] = {
    {"rect", 0, false, false, 0, 1},
    {"oval_shadow", 1, true, false, 0, 1},
    {"rounded_gradient", 2, false, true, 0, 1},
    {"bevelled_shadow_gradient", 3, true, true, 0, 1},
    {"concave", 4, false, false, 0, 1},
    {"notched_rotated", 5, false, true, 30, 1},
    {"skewed_shadow", 6, true, false, 0, 1},
    {"twisted_rotated_shadow", 7, true, true, 30, 1},
    {"scroll", 8, false, false, 0, 1},
    {"rect_zoom4", 0, true, true, 0, 4},
    {"rounded_rotated_zoom4", 2, true, false, 30, 4},
    {"translucent", 1, false, false, 0, 1, 0x6040C040u},
};

INSTANTIATE_TEST_SUITE_P(Shapes, CaptionDrawing, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DrawCase>& info) { return std::string(info.param.name); });

TEST(CaptionDrawingRules, WithoutBackgroundOnlyOutlineAndTextAreDrawn)
{
    DrawCase c{"plain", 0, true, true, 0, 1};
    auto caption = makeCaption(c);
    caption->setBoolAttribute(false, QStringLiteral("DrawBackground"));
    auto context = drawCaption(*caption, 1);
    // Inside the box, away from the text: untouched white.
    EXPECT_EQ(pixelAt(*context, 40, 92), 0xFFFFFFFFu);
    // The outline is drawn.
    EXPECT_EQ(pixelAt(*context, 90, 32) & 0x00FFFFFFu, kFrameColor & 0x00FFFFFFu);
    // No shadow below the box.
    EXPECT_EQ(pixelAt(*context, 100, 100), 0xFFFFFFFFu);
}

TEST(CaptionDrawingRules, AnEmptyCaptionDrawsItsBoxOnly)
{
    CSCaptionElement caption(Rect(30, 32, 120, 64));
    auto context = drawCaption(caption, 1);
    EXPECT_EQ(pixelAt(*context, 90, 62), 0xFFFFFFFFu);                   // white fill
    EXPECT_EQ(pixelAt(*context, 90, 32), 0xFF000000u);                   // default black outline
    ASSERT_EQ(CurrentContext(), nullptr);
    caption.draw(nullptr, false, 1); // no context: nothing happens
}

TEST(CaptionDrawingRules, TheTextRootFrameIsTheTurnedFramesBounds)
{
    auto caption = makeCaption({"r", 0, false, false, 30, 1});
    drawCaption(*caption, 1);
    // The text host was given the bounds of the turned frame, and the text box size.
    EXPECT_EQ(caption->textRect().size, (Size{108, 54}));
}

} // namespace
