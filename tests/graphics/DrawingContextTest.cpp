#include "GraphicsTestSupport.h"
#include "NSBezierPath.h"
#include "ScopedCurrentContext.h"
#include "PAImage.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>

namespace {

int alphaAt(const CAGGraphics& context, int x, int y)
{
    return int(pixelAt(context, x, y) >> 24);
}

// The summed coverage of a column, in pixels.
double columnCoverage(const CAGGraphics& context, int x)
{
    double sum = 0.0;
    for (int y = 0; y < context.pixelHeight(); ++y)
        sum += alphaAt(context, x, y) / 255.0;
    return sum;
}

} // namespace

TEST(ContextCreation, SizesAreTruncatedAndAbsurdOnesRefused)
{
    struct Case
    {
        float width, height;
        int expectedWidth, expectedHeight;  // 0: refused
    };
    const Case cases[] = {
        {10.9f, 3.2f, 10, 3},     {0.0f, 0.5f, 1, 1},        {-1.0f, 10.0f, 0, 0},
        {NAN, 10.0f, 0, 0},       {10.0f, INFINITY, 0, 0},   {1.0e30f, 1.0e30f, 0, 0},
        {100000.0f, 100000.0f, 0, 0}, {65536.0f, 65536.0f, 0, 0}, {70000.0f, 1.0f, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        auto context = makeContext(0, 0);
        GraphicsParams params;
        params.width = c.width;
        params.height = c.height;
        context = CreateGraphicsContext(params);
        if (c.expectedWidth == 0) {
            EXPECT_EQ(context, nullptr);
            continue;
        }
        ASSERT_NE(context, nullptr);
        EXPECT_EQ(context->GetWidth(), float(c.expectedWidth));
        EXPECT_EQ(context->GetHeight(), float(c.expectedHeight));
    }
    GraphicsParams sixteenBits;
    sixteenBits.bitsPerPixel = 16;
    EXPECT_EQ(CreateGraphicsContext(sixteenBits), nullptr);
}

TEST(ContextCreation, LargeExportSurfaceWorks)
{
    // An A3 page at 600 dpi.
    GraphicsParams params;
    params.width = 7017;
    params.height = 9925;
    params.clearValue = 256;
    auto context = CreateGraphicsContext(params);
    ASSERT_NE(context, nullptr);
    context->FillRectangle(kOpaqueBlack, Rect(7000, 9900, 17, 25));
    EXPECT_EQ(pixelAt(*context, 7016, 9924), 0xFF000000u);
    EXPECT_EQ(pixelAt(*context, 0, 0), 0u);
}

TEST(ContextCreation, ClearValues)
{
    struct Case
    {
        int clearValue;
        quint32 pixel;
    };
    for (const Case c : {Case{255, 0xFFFFFFFFu}, Case{0, 0u}, Case{256, 0u}, Case{0x80, 0x80808080u}}) {
        auto context = makeContext(4, 4, c.clearValue);
        EXPECT_EQ(pixelAt(*context, 3, 3), c.pixel);
        context->FillRectangle(0xFF102030u, Rect(0, 0, 4, 4));
        context->Clear();
        EXPECT_EQ(pixelAt(*context, 1, 1), c.pixel);
    }
}

TEST(ContextTransform, AppendedAndPrependedOperations)
{
    auto context = makeContext(10, 10);
    context->ScaleTransform(2, 2);
    context->TranslateTransform(10, 0);  // device units
    EXPECT_EQ(context->TransformPoint({1, 1}), (Point{12, 2}));
    context->ResetTransform();
    context->ScaleTransform(2, 2);
    context->MultiplyTransform(AffineTransform::translation(10, 0));  // user units
    EXPECT_EQ(context->TransformPoint({1, 1}), (Point{22, 2}));
    context->ResetTransform();
    context->RotateTransform(90);
    const Point turned = context->TransformPoint({1, 0});
    EXPECT_NEAR(turned.x, 0, 1e-6);
    EXPECT_NEAR(turned.y, 1, 1e-6);  // clockwise on a y-down page
    const AffineTransform m = context->GetTransform();
    EXPECT_NEAR(m.b, 1.0f, 1e-6);
    EXPECT_NEAR(m.c, -1.0f, 1e-6);
}

TEST(ContextState, SaveAndRestore)
{
    auto context = makeContext(10, 10);
    context->Restore();  // without a Save: nothing changes
    EXPECT_EQ(context->savedStateCount(), 0);
    context->SetSmoothingMode(4);
    context->SetInterpolationMode(7);
    EXPECT_EQ(context->Save(), 1);
    context->ScaleTransform(3, 3);
    context->SetShadow(CShadow());
    context->SetSmoothingMode(1);
    context->SetInterpolationMode(2);
    EXPECT_TRUE(context->isShadowOn());
    context->Restore();
    EXPECT_FALSE(context->isShadowOn());
    EXPECT_TRUE(context->isSmoothing());
    EXPECT_EQ(context->interpolationMode(), 7);
    EXPECT_EQ(context->GetTransform(), AffineTransform());
}

TEST(ContextStack, CurrentContextAndPrinting)
{
    EXPECT_EQ(CurrentContext(), nullptr);
    EXPECT_EQ(PopCurrentContext(), nullptr);
    auto first = makeContext(2, 2);
    auto second = makeContext(2, 2);
    PushCurrentContext(first.get());
    PushCurrentContext(second.get());
    EXPECT_EQ(CurrentContext(), second.get());
    EXPECT_EQ(PopCurrentContext(), second.get());
    EXPECT_EQ(CurrentContext(), first.get());
    EXPECT_EQ(PopCurrentContext(), first.get());
    EXPECT_EQ(CurrentContext(), nullptr);

    EXPECT_FALSE(IsPrinting());
    SetPrinting(true);
    EXPECT_TRUE(IsPrinting());
    SetPrinting(false);

    // Drawing with no current context does nothing and does not crash.
    NSBezierPath::pathWithRect(Rect(0, 0, 1, 1)).fill();
    CShadow().applyShadow();
}

TEST(ContextFill, WholePixelsAreExactAndSurfacesStayPremultiplied)
{
    auto context = makeContext(8, 8, 0);
    context->FillRectangle(0xFF336699u, Rect(2, 2, 3, 3));
    EXPECT_EQ(pixelAt(*context, 2, 2), 0xFF336699u);
    EXPECT_EQ(pixelAt(*context, 4, 4), 0xFF336699u);
    EXPECT_EQ(pixelAt(*context, 5, 5), 0u);

    // Half-transparent white on a transparent surface: premultiplied (128, 128, 128, 128),
    // which reads back as white, not grey.
    context->Clear();
    SolidBrush brush(0x80FFFFFFu);
    context->FillPath(brush, NSBezierPath::pathWithRect(Rect(0, 0, 8, 8)).path());
    EXPECT_EQ(pixelAt(*context, 3, 3), 0x80808080u);
    const QColor straight = context->image().pixelColor(3, 3);
    EXPECT_EQ(straight.red(), 255);
    EXPECT_EQ(straight.alpha(), 128);
}

TEST(ContextFill, StopVertexEndsTheDrawing)
{
    auto context = makeContext(40, 20, 0);
    ScopedCurrentContext current(context.get());
    NSBezierPath path = NSBezierPath::pathWithRect(Rect(0, 0, 10, 10));
    path.startSubpath();
    path.appendRect(Rect(20, 0, 10, 10));
    path.setColor(kOpaqueBlack);
    path.fill();
    EXPECT_EQ(alphaAt(*context, 5, 5), 255);
    EXPECT_EQ(alphaAt(*context, 25, 5), 0);
}

TEST(ContextStroke, HairlineIsOnePointEightPixelsAtAnyZoom)
{
    for (const float zoom : {0.25f, 1.0f, 4.0f, 16.0f}) {
        SCOPED_TRACE(zoom);
        auto context = makeContext(100, 40, 0);
        context->ScaleTransform(zoom, zoom);
        const Point points[2] = {{0, 20.3f / zoom}, {100 / zoom, 20.3f / zoom}};
        context->DrawLines(GraphicsPen(kOpaqueBlack, 0.0f), points, 2);
        EXPECT_NEAR(columnCoverage(*context, 50), 1.8, 0.05);
    }
}

TEST(ContextStroke, DashesAndDegenerateDashesDrawnSolid)
{
    const auto coverageAlong = [](float dash, float gap) {
        auto context = makeContext(120, 10, 0);
        GraphicsPen pen(kOpaqueBlack, 4.0f);
        pen.setDash(dash, gap);
        const Point points[2] = {{0, 5}, {120, 5}};
        context->DrawLineSegments(pen, points, 2);
        int covered = 0;
        for (int x = 0; x < 120; ++x)
            covered += alphaAt(*context, x, 5) > 128 ? 1 : 0;
        return covered;
    };
    EXPECT_EQ(coverageAlong(10, 10), 60);
    EXPECT_EQ(coverageAlong(0, 0), 120);
    EXPECT_EQ(coverageAlong(0, 5), 120);
    EXPECT_EQ(coverageAlong(1e-6f, 1e-6f), 120);
    EXPECT_EQ(coverageAlong(NAN, 3), 120);
}

TEST(ContextClip, FillRectangleIgnoresTheClipButItsShadowDoesNot)
{
    auto context = makeContext(60, 40, 0);
    const NSBezierPath clip = NSBezierPath::pathWithRect(Rect(0, 0, 30, 40));
    context->SetClip(&clip.path());
    context->SetShadow(CShadow(Size{0, 0}, 0, 0xFF0000FFu));
    // Shadow and fill in the same place; the shadow is composited first.
    context->FillRectangle(0x80FF0000u, Rect(20, 10, 20, 10));
    const quint32 insideClip = pixelAt(*context, 25, 15);
    const quint32 outsideClip = pixelAt(*context, 35, 15);
    EXPECT_EQ(outsideClip, 0x80800000u);  // the fill alone
    EXPECT_NE(insideClip, outsideClip);   // fill over its shadow
    // The shadow (blue at alpha 128) under the half-transparent red.
    EXPECT_NEAR(int(insideClip & 0xFFu), 64, 1);
}

TEST(ContextClip, NewClipReplacesAndRestoreRendersTheSavedOne)
{
    auto context = makeContext(60, 60, 0);
    const NSBezierPath left = NSBezierPath::pathWithRect(Rect(0, 0, 20, 60));
    const NSBezierPath right = NSBezierPath::pathWithRect(Rect(40, 0, 20, 60));
    const NSBezierPath all = NSBezierPath::pathWithRect(Rect(0, 0, 60, 60));
    const SolidBrush black(kOpaqueBlack);
    context->SetClip(&left.path());
    context->Save();
    context->SetClip(&right.path());
    context->FillPath(black, all.path());
    EXPECT_EQ(alphaAt(*context, 10, 10), 0);
    EXPECT_EQ(alphaAt(*context, 50, 10), 255);
    context->ScaleTransform(0.5f, 0.5f);
    context->Restore();
    context->Clear();
    context->FillPath(black, all.path());
    EXPECT_EQ(alphaAt(*context, 10, 10), 255);
    EXPECT_EQ(alphaAt(*context, 50, 10), 0);
    // Without a clip everything is drawn again.
    context->SetClip(nullptr);
    context->FillPath(black, all.path());
    EXPECT_EQ(alphaAt(*context, 50, 10), 255);
}

TEST(ContextClip, RestoringTheSameClipDoesNotRenderItAgain)
{
    auto context = makeContext(100, 100);
    const NSBezierPath panel = NSBezierPath::pathWithOval(Rect(10, 10, 80, 80));
    context->SetClip(&panel.path());
    const int renders = context->clipRenderCount();
    for (int i = 0; i < 20; ++i) {
        context->Save();
        context->MultiplyTransform(AffineTransform::translation(1, 1));
        context->FillPath(SolidBrush(kOpaqueBlack), NSBezierPath::pathWithRect(Rect(0, 0, 5, 5)).path());
        context->Restore();
    }
    EXPECT_EQ(context->clipRenderCount(), renders);
}

TEST(ContextClip, ClipSetBeforeSaveComesBackAfterTheTransformChanged)
{
    auto context = makeContext(60, 60, 0);
    context->ScaleTransform(2, 2);
    const NSBezierPath clip = NSBezierPath::pathWithRect(Rect(0, 0, 10, 30));  // device 0..20
    context->SetClip(&clip.path());
    context->ResetTransform();  // changed after the clip was set, before Save
    context->Save();
    context->Restore();
    context->FillPath(SolidBrush(kOpaqueBlack), NSBezierPath::pathWithRect(Rect(0, 0, 60, 60)).path());
    EXPECT_EQ(alphaAt(*context, 15, 10), 255);
    EXPECT_EQ(alphaAt(*context, 25, 10), 0);
}

TEST(ContextShadow, BlurZeroIsAnExactShiftedCopyMovedUpByAPositiveOffset)
{
    const NSBezierPath shape = NSBezierPath::pathWithOval(Rect(10.3f, 30.6f, 27.5f, 19.2f));
    auto plain = makeContext(120, 80, 0);
    plain->FillPath(SolidBrush(0xFF0000FFu), shape.path());

    auto shadowed = makeContext(120, 80, 0);
    ScopedCurrentContext current(shadowed.get());
    CShadow shadow(Size{50, 7}, 0.0f, 0xFF0000FFu);
    shadow.applyShadow();
    EXPECT_EQ(shadow.offset().height, 7.0f);  // the caller's shadow is not changed
    EXPECT_EQ(shadowed->shadow().offset().height, -7.0f);
    shadowed->FillPath(SolidBrush(0xFF0000FFu), shape.path());

    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 60; ++x) {
            if (y - 7 < 0)
                continue;
            ASSERT_EQ(pixelAt(*shadowed, x + 50, y - 7), pixelAt(*plain, x, y)) << x << ", " << y;
        }
}

TEST(ContextShadow, OffsetAndBlurFollowTheDeviceScale)
{
    auto context = makeContext(100, 60, 0, 2.0f);
    ScopedCurrentContext current(context.get());
    CShadow(Size{10, 0}, 0.0f, 0xFF000000u).applyShadow();
    EXPECT_EQ(context->shadow().scale(), (Size{2, 2}));
    context->FillRectangle(0xFFFF0000u, Rect(0, 0, 10, 10));
    EXPECT_EQ(pixelAt(*context, 25, 5), 0xFF000000u);  // shifted by 20 device pixels
    EXPECT_EQ(pixelAt(*context, 15, 5), 0u);
}

TEST(ContextShadow, PrintingBlursAtHalfResolution)
{
    const auto render = [](bool printing) {
        auto context = makeContext(80, 80, 0);
        context->SetShadow(CShadow(Size{0, 0}, 8.0f, 0xFF000000u));
        SetPrinting(printing);
        context->FillRectangle(0xFFFFFFFFu, Rect(30, 30, 20, 20));
        SetPrinting(false);
        return context->copyImage();
    };
    const QImage screen = render(false), print = render(true);
    // Both spread about as far outside the rectangle; the printed one comes in 2 x 2 blocks.
    for (const QImage* image : {&screen, &print}) {
        EXPECT_GT(qAlpha(image->pixel(24, 40)), 0);
        EXPECT_EQ(qAlpha(image->pixel(21, 40)), 0);
    }
    EXPECT_EQ(print.pixel(24, 40), print.pixel(25, 41));
    EXPECT_NE(screen.pixel(24, 40), screen.pixel(25, 40));
    EXPECT_NEAR(qAlpha(screen.pixel(27, 40)), qAlpha(print.pixel(27, 40)), 24);
}

TEST(ContextShadow, PicturesCastShadowsByTheirAlpha)
{
    QImage holed(20, 20, QImage::Format_ARGB32);
    holed.fill(QColor(255, 255, 255, 255));
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            holed.setPixelColor(x, y, QColor(0, 0, 0, 0));
    const PAImage withAlpha(holed);
    const PAImage opaque(holed.convertToFormat(QImage::Format_RGB888));

    for (const PAImage* picture : {&withAlpha, &opaque}) {
        auto context = makeContext(80, 40, 0);
        context->SetShadow(CShadow(Size{40, 0}, 0.0f, 0xFF000000u));
        context->DrawImage(*picture, Rect(0, 10, 20, 20));
        EXPECT_EQ(alphaAt(*context, 45, 20), 255);
        EXPECT_EQ(alphaAt(*context, 55, 20), picture->hasAlpha() ? 0 : 255);
    }
}

TEST(ContextGradient, AngleZeroRunsLeftToRightAndNinetyBottomToTop)
{
    const NSBezierPath square = NSBezierPath::pathWithRect(Rect(0, 0, 100, 100));
    for (const float angle : {0.0f, 90.0f}) {
        SCOPED_TRACE(angle);
        auto context = makeContext(100, 100, 0);
        context->FillPathGradient(LinearGradientBrush(Rect(), 0xFFFF0000u, 0xFF0000FFu, angle), square.path());
        const QImage image = context->copyImage();
        const QRgb start = angle == 0.0f ? image.pixel(0, 50) : image.pixel(50, 99);
        const QRgb end = angle == 0.0f ? image.pixel(99, 50) : image.pixel(50, 0);
        const QRgb middle = image.pixel(50, 50);
        EXPECT_GT(qRed(start), 245);
        EXPECT_GT(qBlue(end), 245);
        EXPECT_NEAR(qRed(middle), 128, 8);
        // Across the axis the colour does not change.
        EXPECT_EQ(angle == 0.0f ? image.pixel(30, 10) : image.pixel(10, 30),
                  angle == 0.0f ? image.pixel(30, 90) : image.pixel(90, 30));
    }
}

TEST(ContextPicture, OwnSizeAtWholePixelsIsAnExactCopy)
{
    QImage source(13, 9, QImage::Format_ARGB32);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x)
            source.setPixelColor(x, y, QColor(x * 19, y * 27, (x * y) % 256, (x * 40 + y * 10) % 256));
    const PAImage picture(source);
    auto context = makeContext(40, 30, 0);
    context->TranslateTransform(3, 0);
    context->DrawImage(picture, Rect(5, 7, 13, 9));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
            quint32 expected;
            std::memcpy(&expected, picture.scanLine(y) + x * 4, 4);
            ASSERT_EQ(pixelAt(*context, x + 8, y + 7), expected) << x << ", " << y;
        }
    EXPECT_EQ(pixelAt(*context, 7, 7), 0u);
    EXPECT_EQ(pixelAt(*context, 21, 7), 0u);
}

TEST(ContextPicture, QuarterTurnsAreDrawn)
{
    PAImage picture;
    ASSERT_TRUE(picture.create(10, 4, 24, false));
    picture.fill(0xFF00FF00u);
    for (const float degrees : {90.0f, 180.0f, 270.0f}) {
        SCOPED_TRACE(degrees);
        auto context = makeContext(40, 40, 0);
        context->RotateTransform(degrees);
        context->TranslateTransform(20, 20);
        context->DrawImage(picture, Rect(-5, -2, 10, 4));
        EXPECT_EQ(pixelAt(*context, 20, 20), 0xFF00FF00u);
    }
}

TEST(ContextPicture, OnlyTwentyFourAndThirtyTwoBitPicturesAreDrawn)
{
    PAImage grey;
    ASSERT_TRUE(grey.create(4, 4, 8, false));
    auto context = makeContext(8, 8, 0);
    context->DrawImage(grey, Rect(0, 0, 4, 4));
    EXPECT_EQ(pixelAt(*context, 1, 1), 0u);
    PAImage unloaded;
    context->DrawImage(unloaded, Rect(0, 0, 4, 4));
    EXPECT_EQ(pixelAt(*context, 1, 1), 0u);
}

TEST(ContextOutput, DrawToPainterCopiesWithoutBlending)
{
    auto context = makeContext(10, 10, 0);
    context->FillRectangle(0x80FF0000u, Rect(0, 0, 5, 10));
    QImage target(10, 10, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        context->DrawToPainter(painter);
    }
    EXPECT_EQ(qAlpha(target.pixel(2, 2)), 128);
    EXPECT_EQ(qAlpha(target.pixel(7, 7)), 0);  // copied, not drawn over white
    const QRect part(0, 0, 5, 5);
    EXPECT_EQ(context->copyImage(&part).size(), QSize(5, 5));
}
