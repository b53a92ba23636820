// Picture elements drawn into a drawing context, compared with reviewed
// reference pictures (tests/model/data/picture_*.png), and the clip of the
// panel they sit in.

#include "CAGGraphics.h"
#include "CSImageElement.h"
#include "CSStylesheet.h"
#include "ElementTestKinds.h"
#include "GraphicsTestSupport.h"
#include "PictureTestSupport.h"
#include "ReferenceImage.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr int kCanvasWidth = 160;
constexpr int kCanvasHeight = 120;

// A panel whose clip path is a diamond inside its frame, turned with the
// panel: what clips the pictures placed into it is its clip path, not its
// frame.
class DiamondPanel : public TestPanel
{
public:
    using TestPanel::TestPanel;
    std::unique_ptr<NSBezierPath> clipPath(const CSStylesheet*) const override
    {
        const Rect f = frame();
        auto path = std::make_unique<NSBezierPath>();
        path->moveTo(Point{f.midX(), f.minY()});
        path->lineTo(Point{f.maxX(), f.midY()});
        path->lineTo(Point{f.midX(), f.maxY()});
        path->lineTo(Point{f.minX(), f.midY()});
        path->closePath();
        path->transformBy(rotationTransform(angle()));
        return path;
    }
};

struct DrawCase
{
    const char* name;
    std::function<void(CSImageElement&)> style;
    float zoom = 1.0f;
    bool output = false;
};

std::unique_ptr<CAGGraphics> drawPicture(CSImageElement& image, float zoom, bool output, const CSStylesheet* sheet)
{
    auto context = makeContext(int(kCanvasWidth * zoom), int(kCanvasHeight * zoom));
    PushCurrentContext(context.get());
    context->ScaleTransform(zoom, zoom);
    image.draw(sheet, output, zoom);
    PopCurrentContext();
    return context;
}

class PictureDrawing : public ::testing::TestWithParam<DrawCase>
{
};

TEST_P(PictureDrawing, MatchesItsReference)
{
    const DrawCase& c = GetParam();
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    if (c.output)
        sheet->setOutputDPI(int(72 * c.zoom));
    RefPtr<PAImage> picture = memoryPicture(48, 36);
    CSImageElement image(Rect(32, 24, 96, 72));
    image.setPicture(picture.get());
    image.setColorAttribute(0xFF2848B0u, QStringLiteral("FrameColor"));
    image.setFloatAttribute(2, QStringLiteral("FrameWidth"));
    image.setBoolAttribute(true, QStringLiteral("DrawFrame"));
    c.style(image);
    auto context = drawPicture(image, c.zoom, c.output, sheet.get());
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("picture_") + QString::fromLatin1(c.name), 24));
}

const DrawCase kCases[] = {
    {"plain", [](CSImageElement&) {}},
    {"flipped_horizontally", [](CSImageElement& i) { i.setFlipHorizontal(true); }},
    {"rotated_flipped_vertically_shadow",
     [](CSImageElement& i) {
         i.setFlipVertical(true);
         i.setAngle(20);
         i.setBoolAttribute(true, QStringLiteral("DrawShadow"));
         i.setColorAttribute(0x99302020u, QStringLiteral("ShadowColor"));
         i.setFloatAttribute(3, QStringLiteral("ShadowBlurRadius"));
         i.setFloatAttribute(0.25f, QStringLiteral("ShadowXOffset"));
         i.setFloatAttribute(-0.25f, QStringLiteral("ShadowYOffset"));
     }},
    {"inverted",
     [](CSImageElement& i) {
         i.setStringAttribute(QStringLiteral("None"), QStringLiteral("Filter"));
         i.setBoolAttribute(true, QStringLiteral("Invert"));
     }},
    {"comicify", [](CSImageElement& i) { i.setStringAttribute(QStringLiteral("Comicify!"), QStringLiteral("Filter")); }},
    {"output_zoom2_colorized",
     [](CSImageElement& i) {
         i.setBoolAttribute(true, QStringLiteral("Colorize"));
         i.setColorAttribute(0xFF30A0F0u, QStringLiteral("ColorizeColor"));
     },
     2.0f, true},
};

INSTANTIATE_TEST_SUITE_P(Looks, PictureDrawing, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DrawCase>& info) { return std::string(info.param.name); });

// A picture larger than its turned diamond panel shows only inside the
// diamond: the corners of the panel's frame stay white.
TEST(PictureClipping, APictureIsClippedByItsPanelsClipPath)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    auto* page = new TestKind(Rect(0, 0, kCanvasWidth, kCanvasHeight));
    auto* panel = new DiamondPanel(Rect(30, 10, 100, 100));
    auto* image = new CSImageElement(Rect(10, 0, 140, 120));
    page->addChild(panel);
    page->addChild(image);
    panel->setAngle(15);
    image->setMaintainAspectRatio(false);
    RefPtr<PAImage> picture = memoryPicture(70, 60);
    image->setPicture(picture.get());
    image->setFrame(Rect(10, 0, 140, 120));
    image->setClipSource(panel);

    auto context = drawPicture(*image, 1, false, sheet.get());
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("picture_clipped_diamond"), 24));
    // Inside the panel's frame but outside its diamond: untouched.
    for (Point corner : {Point{36, 16}, Point{124, 16}, Point{36, 104}, Point{124, 104}})
        EXPECT_EQ(pixelAt(*context, int(corner.x), int(corner.y)), 0xFFFFFFFFu) << corner.x << ", " << corner.y;
    // The diamond's middle shows the picture.
    EXPECT_NE(pixelAt(*context, 80, 60), 0xFFFFFFFFu);

    // Not clipped when the element's clip flag is off.
    image->setClipsToFrame(false);
    context = drawPicture(*image, 1, false, sheet.get());
    EXPECT_NE(pixelAt(*context, 36, 16), 0xFFFFFFFFu);
    CSElement::destroyTree(page);
}

TEST(PictureDrawingPlaceholder, AMissingPictureShowsTheWarning)
{
    RefPtr<PAImage> missing(new PAImage(QStringLiteral("/nonexistent/folder/photo.jpg"), false));
    CSImageElement image(Rect(40, 20, 80, 80));
    image.setMaintainAspectRatio(false);
    image.setPicture(missing.get());
    image.setFrame(Rect(40, 20, 80, 80));
    auto context = drawPicture(image, 1, false, nullptr);
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("picture_placeholder"), 24));
    EXPECT_EQ(image.imageName(), QStringLiteral("photo.jpg"));
}

} // namespace
