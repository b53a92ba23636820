// Hostile values must end quickly without a crash or a runaway allocation.
// Each case draws into a small context; the elapsed-time bound only catches
// hangs (it is generous enough for sanitizer builds), it does not measure speed.

#include "GraphicsTestSupport.h"
#include "NSBezierPath.h"
#include "PAImage.h"

#include <gtest/gtest.h>

#include <agg_basics.h>

#include <QElapsedTimer>

#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct HostileCase
{
    const char* name;
    std::function<void(CAGGraphics&)> draw;
};

NSBezierPath curvyPath(float scale = 1.0f)
{
    NSBezierPath path;
    path.moveTo({0, 0});
    path.curveTo({100 * scale, 100 * scale}, {0, 100 * scale}, {100 * scale, 0});
    path.appendArc(Rect(0, 0, 100 * scale, 50 * scale), 0, 270);
    path.closePath();
    return path;
}

void fillAndStroke(CAGGraphics& context, const NSBezierPath& path,
                   const GraphicsPen& pen = GraphicsPen(kOpaqueBlack, 2))
{
    context.FillPath(SolidBrush(0xFF336699u), path.path());
    context.DrawPath(pen, path.path());
    context.FillPathGradient(LinearGradientBrush(Rect(), kOpaqueBlack, kOpaqueWhite, 30), path.path());
}

GraphicsPen dashedPen(float dash, float gap, float width = 1.0f)
{
    GraphicsPen pen(kOpaqueBlack, width);
    pen.setDash(dash, gap);
    return pen;
}

const PAImage& smallPicture()
{
    static const PAImage* picture = [] {
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(QColor(200, 10, 10, 180));
        return new PAImage(image);
    }();
    return *picture;
}

const HostileCase kCases[] = {
    {"NaN coordinates", [](CAGGraphics& c) {
         NSBezierPath path;
         path.moveTo({kNaN, 10});
         path.lineTo({50, kNaN});
         path.lineTo({50, 50});
         path.curveTo({kNaN, kNaN}, {1, 2}, {kInf, 3});
         path.lineTo({10, 50});
         path.closePath();
         fillAndStroke(c, path);
         c.FillRectangle(kOpaqueBlack, Rect(kNaN, 0, 10, kNaN));
     }},
    {"huge coordinates", [](CAGGraphics& c) {
         fillAndStroke(c, NSBezierPath::pathWithRect(Rect(-1e30f, -1e30f, 2e30f, 2e30f)));
         fillAndStroke(c, NSBezierPath::pathWithOval(Rect(-1e30f, 10, 2e30f, 50)));
         fillAndStroke(c, curvyPath(1e30f));
         c.FillRectangle(kOpaqueBlack, Rect(-3e38f, -3e38f, 3e38f, 3e38f));
     }},
    {"huge zoom on curves", [](CAGGraphics& c) {
         c.ScaleTransform(1e30f, 1e30f);
         fillAndStroke(c, curvyPath());
         c.ResetTransform();
         c.ScaleTransform(1e6f, 1e6f);
         c.TranslateTransform(-5e7f, -5e7f);
         fillAndStroke(c, curvyPath(), GraphicsPen(kOpaqueBlack, 0));
         fillAndStroke(c, curvyPath(), dashedPen(3, 2));
     }},
    {"tiny and degenerate zoom", [](CAGGraphics& c) {
         c.ScaleTransform(1e-30f, 1e-30f);
         fillAndStroke(c, curvyPath(), GraphicsPen(kOpaqueBlack, 0));
         c.ResetTransform();
         c.ScaleTransform(0, 0);
         fillAndStroke(c, curvyPath(), GraphicsPen(kOpaqueBlack, 0));
         c.ResetTransform();
         c.ScaleTransform(kNaN, 1);
         fillAndStroke(c, curvyPath());
         c.DrawImage(smallPicture(), Rect(0, 0, 50, 50));
     }},
    {"zero and tiny dashes", [](CAGGraphics& c) {
         const NSBezierPath path = NSBezierPath::pathWithRect(Rect(-1e6f, -1e6f, 2e6f, 2e6f));
         for (const auto& pen : {dashedPen(0, 0), dashedPen(1e-30f, 1e-30f), dashedPen(0, 5), dashedPen(5, 0),
                                 dashedPen(-3, -3), dashedPen(kNaN, kNaN), dashedPen(1e-3f, 1e-3f), dashedPen(2, 2)})
             c.DrawPath(pen, path.path());
         c.DrawPath(dashedPen(1, 1), curvyPath(1e30f).path());
     }},
    {"huge, negative and NaN stroke widths", [](CAGGraphics& c) {
         for (const float width : {1e30f, -1e30f, -5.0f, kNaN, kInf, 1e-30f})
             c.DrawPath(GraphicsPen(kOpaqueBlack, width), curvyPath().path());
     }},
    {"negative, NaN and huge radii", [](CAGGraphics& c) {
         for (const float radius : {-10.0f, kNaN, 1e30f, -1e30f, kInf}) {
             fillAndStroke(c, NSBezierPath::pathWithRoundedCorners(Rect(10, 10, 100, 80), radius));
             fillAndStroke(c, NSBezierPath::pathWithConcaveCorners(Rect(10, 10, 100, 80), radius));
             fillAndStroke(c, NSBezierPath::pathScroll(Rect(10, 10, 100, 80), radius));
             fillAndStroke(c, NSBezierPath::pathWithNotchedCorners(Rect(110, 90, -100, -80), radius));
         }
         NSBezierPath arcs;
         arcs.appendArc(Rect(0, 0, 50, 50), kNaN, 90);
         arcs.appendArc(Rect(0, 0, 50, 50), 0, kInf);
         arcs.appendArc(Rect(0, 0, 50, 50), 0, 1e30f);
         fillAndStroke(c, arcs);
     }},
    {"hostile shadows", [](CAGGraphics& c) {
         for (const float blur : {kNaN, -5.0f, 1e30f, kInf, 1e9f}) {
             c.Save();
             c.SetShadow(CShadow(Size{3, 3}, blur, 0x80000000u));
             fillAndStroke(c, curvyPath());
             c.FillRectangle(kOpaqueBlack, Rect(0, 0, 200, 200));
             c.DrawImage(smallPicture(), Rect(10, 10, 40, 40));
             c.Restore();
         }
         c.Save();
         c.SetShadow(CShadow(Size{1e30f, kNaN}, 5, 0x80000000u));
         fillAndStroke(c, curvyPath());
         c.SetShadow(CShadow(Size{3, 3}, 50, 0x80000000u));
         SetPrinting(true);
         fillAndStroke(c, curvyPath());
         SetPrinting(false);
         c.Restore();
     }},
    {"hostile pictures", [](CAGGraphics& c) {
         for (const Rect& r : {Rect(0, 0, 1e30f, 1e30f), Rect(0, 0, 1e-30f, 1e-30f), Rect(kNaN, 0, 10, 10),
                               Rect(10, 10, -20, -20), Rect(0, 0, 0, 0), Rect(-1e30f, -1e30f, 1e30f, 1e30f)})
             c.DrawImage(smallPicture(), r);
         c.ScaleTransform(1e30f, 1e30f);
         c.DrawImage(smallPicture(), Rect(0, 0, 8, 8));
     }},
    {"hostile clips", [](CAGGraphics& c) {
         const NSBezierPath nan = NSBezierPath::pathWithRect(Rect(kNaN, kNaN, 10, 10));
         c.SetClip(&nan.path());
         fillAndStroke(c, curvyPath());
         const NSBezierPath huge = curvyPath(1e30f);
         c.SetClip(&huge.path());
         c.Save();
         c.ScaleTransform(1e20f, 1e20f);
         c.Restore();
         fillAndStroke(c, curvyPath());
         c.DrawImage(smallPicture(), Rect(0, 0, 30, 30));
         c.SetClip(nullptr);
     }},
    {"hit tests and bounds of hostile paths", [](CAGGraphics&) {
         const NSBezierPath huge = curvyPath(1e30f);
         EXPECT_FALSE(huge.containsPoint({kNaN, 0}));
         huge.containsPoint({5e29f, 1e29f});
         curvyPath(1e-30f).containsPoint({0, 0});
         NSBezierPath nan;
         nan.moveTo({kNaN, kNaN});
         nan.curveTo({kInf, 0}, {0, kInf}, {1, 1});
         nan.containsPoint({1, 1});
         const Rect bounds = nan.bounds();
         EXPECT_TRUE(std::isfinite(bounds.width()));
     }},
    {"hit tests of archived curves beyond float range", [](CAGGraphics&) {
         // Archives carry doubles: control points far past any float, and
         // NaN, once made the hit test's rasteriser run for minutes.
         constexpr double kDoubleNaN = std::numeric_limits<double>::quiet_NaN();
         CAGGraphicsPath path;
         path.addVertex(12, 14, agg::path_cmd_move_to);
         path.addVertex(6, 14, agg::path_cmd_line_to);
         path.addVertex(-5.0e62, 7.4e270, agg::path_cmd_curve3);
         path.addVertex(480, 10, agg::path_cmd_curve3);
         path.addVertex(kDoubleNaN, 30, agg::path_cmd_curve4);
         path.addVertex(1e308, -1e308, agg::path_cmd_curve4);
         path.addVertex(22, 10, agg::path_cmd_line_to);
         path.addVertex(22, -1.7e155, agg::path_cmd_curve3);
         path.addVertex(1e308, 14, agg::path_cmd_curve3);
         path.addVertex(5, 25, agg::path_cmd_line_to);
         for (const Point p : {Point{6, 14}, Point{2, 20}, Point{-1e30f, 3e38f}})
             path.IsVisible(p);
     }},
};

class HostileValues : public testing::TestWithParam<HostileCase>
{
};

} // namespace

TEST_P(HostileValues, EndWithoutCrashOrHang)
{
    auto context = makeContext(200, 200);
    ASSERT_NE(context, nullptr);
    QElapsedTimer timer;
    timer.start();
    GetParam().draw(*context);
    EXPECT_LT(timer.elapsed(), 20000) << "looks like a hang";
    // The context is still usable afterwards.
    context->ResetTransform();
    context->FillRectangle(kOpaqueBlack, Rect(0, 0, 1, 1));
    EXPECT_EQ(pixelAt(*context, 0, 0), 0xFF000000u);
}

INSTANTIATE_TEST_SUITE_P(Table, HostileValues, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<HostileCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(HostileSurfaces, AbsurdSizesGiveNoContext)
{
    for (const float size : {kNaN, -1.0f, -1e30f, 1e30f, kInf, 1e6f}) {
        GraphicsParams params;
        params.width = size;
        params.height = 100;
        EXPECT_EQ(CreateGraphicsContext(params), nullptr) << size;
        params.width = 100;
        params.height = size;
        EXPECT_EQ(CreateGraphicsContext(params), nullptr) << size;
    }
    GraphicsParams square;
    square.width = square.height = 60000;  // 3.6 gigapixels
    EXPECT_EQ(CreateGraphicsContext(square), nullptr);
    GraphicsParams scale;
    scale.deviceScaleX = kNaN;
    scale.deviceScaleY = -2;
    auto context = CreateGraphicsContext(scale);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->GetDeviceScale(), (Size{1, 1}));
}
