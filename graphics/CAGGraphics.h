#pragma once

#include "CAGGraphicsPath.h"
#include "CGraphicsInterface.h"
#include "GraphicsParams.h"
#include "ShadowBlur.h"

#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>
#include <agg_scanline_u.h>
#include <agg_trans_affine.h>

#include <memory>
#include <vector>

// The drawing context on AGG. Surfaces (all of the context's size, owned):
//   main: 32-bit premultiplied BGRA, where all drawing lands;
//   shadow: 8-bit coverage of the shape being shadowed, all zero between
//     shadowed operations (allocated on the first shadow);
//   mask: 8-bit coverage of the clip path (allocated on the first clip).
//
// Paths are flattened at the CTM's scale, mapped by the double-precision CTM
// and rasterised with the non-zero rule, clipping in double precision to the
// surface (or the clip's box), so huge or non-finite coordinates cannot
// overflow the fixed-point rasteriser: non-finite vertices are dropped.
//
// Setting a clip renders its path into the mask, clearing only the box the
// previous clip touched; setting the clip that is already in the mask under
// the same CTM (every Restore inside a clipped panel) renders nothing.
class CAGGraphics : public CGraphicsInterface
{
public:
    // Sides above this, or more pixels than kMaxPixels, are refused.
    static constexpr int kMaxSide = 65536;
    static constexpr long long kMaxPixels = 128LL * 1024 * 1024;

    // A new context, or null when the parameters are unusable or the surfaces
    // cannot be allocated.
    static std::unique_ptr<CAGGraphics> create(const GraphicsParams& params);
    ~CAGGraphics() override;

    float GetWidth() const override { return float(m_width); }
    float GetHeight() const override { return float(m_height); }
    Size GetDeviceScale() const override { return m_deviceScale; }
    void Clear() override;

    QImage image() override;
    QImage copyImage(const QRect* source = nullptr) const override;
    void DrawToPainter(QPainter& painter, const QRectF* destination = nullptr,
                       const QRect* source = nullptr) override;

    int Save() override;
    void Restore(int token = 0) override;
    void ResetTransform() override;
    AffineTransform GetTransform() const override;
    void RotateTransform(float degrees) override;
    void ScaleTransform(float sx, float sy) override;
    void TranslateTransform(float dx, float dy) override;
    void MultiplyTransform(const AffineTransform& matrix) override;
    Point TransformPoint(Point p) const override;
    void SetInterpolationMode(int mode) override { m_state.interpolationMode = mode; }
    void SetSmoothingMode(int mode) override;
    void SetPixelOffsetMode(int) override {}
    void SetCompositingQuality(int) override {}

    void FillRectangle(PackedColor color, const Rect& rect) override;
    void FillRectangleGradient(const LinearGradientBrush& brush, const Rect& rect) override;
    void DrawLineSegments(const GraphicsPen& pen, const Point* points, int count) override;
    void DrawLines(const GraphicsPen& pen, const Point* points, int count) override;
    void DrawPath(const GraphicsPen& pen, const CAGGraphicsPath& path) override;
    void FillPath(const SolidBrush& brush, const CAGGraphicsPath& path) override;
    void DrawImage(const PAImage& picture, const Rect& rect) override;
    void FillPathGradient(const LinearGradientBrush& brush, const CAGGraphicsPath& path) override;
    void SetShadow(const CShadow& shadow) override;
    void SetClip(const CAGGraphicsPath* path) override;

    // --- Inspection (tests, output code) --------------------------------
    int pixelWidth() const { return m_width; }
    int pixelHeight() const { return m_height; }
    int stride() const { return m_width * 4; }
    const std::uint8_t* pixels() const { return m_main.get(); }
    std::uint8_t* pixels() { return m_main.get(); }
    int savedStateCount() const { return int(m_saved.size()); }
    bool hasClip() const { return m_state.clip != nullptr; }
    bool isShadowOn() const { return m_state.shadowOn; }
    bool isSmoothing() const { return m_state.smoothing; }
    int interpolationMode() const { return m_state.interpolationMode; }
    const CShadow& shadow() const { return m_state.shadow; }
    // How often a clip path was rasterised into the mask.
    int clipRenderCount() const { return m_clipRenders; }
    // The CTM's scale: the length of the image of (0.7071, 0.7071).
    double transformScale() const;

private:
    struct State
    {
        agg::trans_affine ctm;
        std::unique_ptr<CAGGraphicsPath> clip;
        // The CTM the clip was set under; a Restore renders it again under this one.
        agg::trans_affine clipCtm;
        bool smoothing = false;
        bool shadowOn = false;
        CShadow shadow;
        int interpolationMode = 0;
    };
    struct Box
    {
        int x1 = 0, y1 = 0, x2 = -1, y2 = -1;  // inclusive; empty when x2 < x1
        bool isEmpty() const { return x2 < x1 || y2 < y1; }
    };
    using Rasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

    CAGGraphics(int width, int height, Size deviceScale, int clearValue);
    bool allocate();
    bool ensureShadowSurface();
    bool ensureMaskSurface();

    // Rasterising into m_rasterizer, clipped to box.
    void resetRasterizer(const Box& box);
    void addFill(const CAGGraphicsPath& path, const agg::trans_affine& ctm);
    void addStroke(const GraphicsPen& pen, const CAGGraphicsPath& path, const agg::trans_affine& ctm);
    void addRectangle(const Rect& rect, const agg::trans_affine& ctm);
    // The boxes drawing may touch: the whole surface, or the clip's box.
    Box surfaceBox() const;
    Box drawBox() const;

    bool fillPixelAlignedRectangle(PackedColor color, const Rect& rect);
    // A shadow pass and the shape in one colour; addShape(ctm) fills the rasteriser.
    template <class AddShape> void drawSolid(PackedColor color, bool throughClip, AddShape&& addShape);
    // Calls use(scanline) with a scanline that applies the clip mask.
    template <class Use> void withMaskScanline(Use&& use);
    // Renders m_rasterizer with a span generator, through the clip when one is set.
    template <class Renderer, class Spans> void renderSpans(Renderer& renderer, Spans& spans);
    // Renders m_rasterizer in a solid colour into the main surface.
    void renderSolid(PackedColor color, bool throughClip);
    // Shadow pass before a shape's own pass: addShape(ctm) fills the
    // rasteriser under the shadow's transform, renderShape(renderer, alpha)
    // renders it into the shadow surface; the result is blurred and composited.
    template <class AddShape, class RenderShape>
    void shadowPass(std::uint8_t shapeAlpha, AddShape&& addShape, RenderShape&& renderShape);
    void compositeShadow(const Box& shapeBox);
    agg::trans_affine shadowTransform() const;

    template <class SourcePixfmt>
    void drawPicture(SourcePixfmt& source, int pictureWidth, int pictureHeight, const Rect& rect, bool opaque);
    bool renderClipMask(const CAGGraphicsPath& path);

    int m_width;
    int m_height;
    Size m_deviceScale;
    int m_clearValue;
    std::unique_ptr<std::uint8_t[]> m_main;
    std::unique_ptr<std::uint8_t[]> m_shadow;
    std::unique_ptr<std::uint8_t[]> m_mask;

    State m_state;
    std::vector<State> m_saved;
    CAGGraphicsPath m_scratch;

    // What the mask holds: the path and CTM it was rendered from, and the box it touched.
    std::unique_ptr<CAGGraphicsPath> m_maskPath;
    agg::trans_affine m_maskCtm;
    Box m_maskBox;
    int m_clipRenders = 0;

    Rasterizer m_rasterizer;
    agg::scanline_u8 m_scanline;
    ShadowBlur m_blur;
    std::vector<std::uint8_t> m_blurBuffer;
};

// CreateGraphicsContext of the drawing code: a new context with identity
// CTM, no clip, shadows off and smoothing mode 1, or null.
std::unique_ptr<CAGGraphics> CreateGraphicsContext(const GraphicsParams& params);
