// Pixel tests: each scene is rendered and compared with its reviewed
// reference picture in data/.

#include "GraphicsTestSupport.h"
#include "NSBezierPath.h"
#include "ScopedCurrentContext.h"
#include "PAImage.h"
#include "ReferenceImage.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Factory = NSBezierPath (*)(const Rect&, float);

NSBezierPath rectShape(const Rect& r, float) { return NSBezierPath::pathWithRect(r); }
NSBezierPath ovalShape(const Rect& r, float) { return NSBezierPath::pathWithOval(r); }

const Factory kFrameShapes[9] = {rectShape,
                                 ovalShape,
                                 NSBezierPath::pathWithRoundedCorners,
                                 NSBezierPath::pathWithConcaveCorners,
                                 NSBezierPath::pathWithBevelledCorners,
                                 NSBezierPath::pathSkewed,
                                 NSBezierPath::pathTwisted,
                                 NSBezierPath::pathWithNotchedCorners,
                                 NSBezierPath::pathScroll};

Rect cell(int index)
{
    return Rect(float(index % 3) * 110.0f + 12.0f, float(index / 3) * 110.0f + 18.0f, 86.0f, 74.0f);
}

// A 16 x 16 test picture: colour bands, a diagonal and a transparent corner.
PAImage makeTestPicture(bool withAlpha)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            QColor c = (x / 4 + y / 4) % 2 ? QColor(220, 40, 40) : QColor(40, 90, 220);
            if (x == y)
                c = QColor(250, 230, 30);
            if (withAlpha && x + y > 24)
                c.setAlpha(x + y > 27 ? 0 : 128);
            image.setPixelColor(x, y, c);
        }
    return PAImage(withAlpha ? image : image.convertToFormat(QImage::Format_RGB888));
}

} // namespace

TEST(Rendering, FrameShapesFilled)
{
    auto context = makeContext(330, 330);
    ScopedCurrentContext current(context.get());
    for (int i = 0; i < 9; ++i) {
        NSBezierPath path = kFrameShapes[i](cell(i), 16.0f);
        path.setColor(0xFF3060C0u);
        path.fill();
    }
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("frames_filled")));
}

TEST(Rendering, FrameShapesStroked)
{
    auto context = makeContext(330, 330);
    ScopedCurrentContext current(context.get());
    for (int i = 0; i < 9; ++i) {
        NSBezierPath path = kFrameShapes[i](cell(i), 16.0f);
        path.setColor(0xFF202020u);
        path.setLineWidth(3.0f);
        path.stroke();
    }
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("frames_stroked")));
}

TEST(Rendering, HairlinesAndDashesAtSeveralZooms)
{
    auto context = makeContext(360, 240);
    ScopedCurrentContext current(context.get());
    const float zooms[3] = {0.5f, 1.0f, 3.0f};
    for (int row = 0; row < 3; ++row) {
        context->Save();
        // Zoom first, then the offset in device units, as a page view does.
        context->ScaleTransform(zooms[row], zooms[row]);
        context->TranslateTransform(10.0f, 10.0f + 78.0f * row);
        const float z = zooms[row];
        // Hairline: a line and a curve.
        NSBezierPath hairline;
        hairline.moveTo({0, 0});
        hairline.lineTo({100 / z, 0});
        hairline.moveTo({0, 10 / z});
        hairline.curveTo({100 / z, 10 / z}, {30 / z, 60 / z}, {70 / z, -20 / z});
        hairline.setColor(kOpaqueBlack);
        hairline.setLineWidth(0.0f);
        hairline.stroke();
        // Dashed: 6 on, 3 off, width 2, in user units.
        NSBezierPath dashed;
        dashed.moveTo({120 / z, 0});
        dashed.lineTo({220 / z, 0});
        dashed.appendArc(Rect(120 / z, 10 / z, 100 / z, 50 / z), 0, 180);
        dashed.setColor(0xFFC03020u);
        dashed.setLineWidth(2.0f);
        dashed.setDash(6.0f, 3.0f);
        dashed.stroke();
        // Solid, round joins.
        NSBezierPath solid;
        solid.moveTo({240 / z, 0});
        solid.lineTo({290 / z, 50 / z});
        solid.lineTo({340 / z, 0});
        solid.setColor(0xFF208040u);
        solid.setLineWidth(5.0f);
        solid.stroke();
        context->Restore();
    }
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("strokes_zooms")));
}

TEST(Rendering, ClipSaveAndRestore)
{
    auto context = makeContext(240, 140);
    ScopedCurrentContext current(context.get());
    const NSBezierPath oval = NSBezierPath::pathWithOval(Rect(20, 10, 200, 120));
    context->SetClip(&oval.path());
    // A rectangle fill ignores the clip.
    context->FillRectangle(0xFFB0D0F0u, Rect(0, 0, 60, 140));
    NSBezierPath red = NSBezierPath::pathWithRect(Rect(0, 0, 240, 70));
    red.setColor(0xFFD04040u);
    red.fill();

    context->Save();
    // A new clip replaces the oval: the green shows outside it too.
    const NSBezierPath corner = NSBezierPath::pathWithRect(Rect(180, 90, 60, 50));
    context->SetClip(&corner.path());
    NSBezierPath green = NSBezierPath::pathWithRect(Rect(0, 0, 240, 140));
    green.setColor(0xFF40A050u);
    green.fill();
    context->ScaleTransform(2.0f, 2.0f);
    context->Restore();

    // The oval clips again.
    NSBezierPath stripe = NSBezierPath::pathWithRect(Rect(0, 60, 240, 30));
    stripe.setColor(0x80000000u);
    stripe.fill();
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("clip_save_restore")));
}

TEST(Rendering, ShadowsWithBlur)
{
    auto context = makeContext(260, 150);
    ScopedCurrentContext current(context.get());
    const PAImage picture = makeTestPicture(true);

    context->Save();
    CShadow(Size{5, 5}, 6.0f, 0x90000000u).applyShadow();
    NSBezierPath box = NSBezierPath::pathWithRoundedCorners(Rect(20, 30, 80, 90), 12);
    box.setColor(0xFF4080E0u);
    box.fill();
    NSBezierPath line;
    line.moveTo({120, 40});
    line.lineTo({150, 120});
    line.setColor(0xFFE0A020u);
    line.setLineWidth(4.0f);
    line.stroke();
    context->DrawImage(picture, Rect(170, 40, 64, 64));
    context->Restore();
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("shadow_blur")));
}

TEST(Rendering, GradientsAtZeroAndNinetyDegrees)
{
    auto context = makeContext(220, 110);
    ScopedCurrentContext current(context.get());
    const LinearGradientBrush horizontal(Rect(), 0xFFE03030u, 0xFF3030E0u, 0.0f);
    const LinearGradientBrush vertical(Rect(), 0xFFE03030u, 0x203030E0u, 90.0f);
    NSBezierPath::pathWithRoundedCorners(Rect(10, 10, 95, 90), 10).fillWithGradient(horizontal);
    NSBezierPath::pathWithOval(Rect(115, 10, 95, 90)).fillWithGradient(vertical);
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("gradients")));
}

TEST(Rendering, PicturesWithEachFilter)
{
    auto context = makeContext(300, 130);
    ScopedCurrentContext current(context.get());
    const PAImage rgb = makeTestPicture(false);
    const PAImage argb = makeTestPicture(true);
    // Whole pixels at unit scale: nearest neighbour.
    context->DrawImage(rgb, Rect(10, 10, 16, 16));
    context->DrawImage(argb, Rect(10, 40, 16, 16));
    // Enlarged: bicubic.
    context->DrawImage(rgb, Rect(40, 10, 53, 53));
    context->DrawImage(argb, Rect(100, 10, 53, 53));
    // Reduced: Lanczos.
    context->DrawImage(rgb, Rect(160, 10, 7, 7));
    context->DrawImage(argb, Rect(160, 30, 11, 11));
    // Turned at unit scale: Lanczos; turned and enlarged: bicubic.
    context->Save();
    context->RotateTransform(20);
    context->TranslateTransform(190, 60);
    context->DrawImage(argb, Rect(0, 0, 16, 16));
    context->TranslateTransform(40, -50);
    context->DrawImage(rgb, Rect(0, 0, 40, 40));
    context->Restore();
    EXPECT_TRUE(matchesReference(context->image(), QStringLiteral("pictures_filters")));
}
