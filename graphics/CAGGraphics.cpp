#include "CAGGraphics.h"

#include "FiniteVertexFilter.h"
#include "PAImage.h"
#include "PathFlattener.h"

#include <agg_alpha_mask_u8.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>
#include <agg_image_accessors.h>
#include <agg_image_filters.h>
#include <agg_pixfmt_gray.h>
#include <agg_pixfmt_rgb.h>
#include <agg_pixfmt_rgba.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_span_allocator.h>
#include <agg_span_gradient.h>
#include <agg_span_image_filter_rgb.h>
#include <agg_span_image_filter_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

using MainPixfmt = agg::pixfmt_bgra32;         // straight colours blended into premultiplied pixels
using MainPixfmtPre = agg::pixfmt_bgra32_pre;  // premultiplied spans (pictures)
using GrayPixfmt = agg::pixfmt_gray8;
using MaskScanline = agg::scanline_u8_am<agg::alpha_mask_gray8>;

constexpr double kDegreesToRadians = 0.017453292519943295;
// Bounds for the stroker: round joins of a stroke this many device pixels
// wide are approximated with a few thousand points, not billions.
constexpr double kMaxStrokeDeviceWidth = 1.0e5;
// A dash pattern is drawn solid when one period is shorter than this many
// device pixels or the path would need more periods than kMaxDashes.
constexpr double kMinDashPeriod = 1.0;
constexpr double kMaxDashes = 1.0e6;

agg::rgba8 aggColor(PackedColor c)
{
    return agg::rgba8(colorRed(c), colorGreen(c), colorBlue(c), colorAlpha(c));
}

agg::trans_affine aggMatrix(const AffineTransform& m)
{
    return agg::trans_affine(m.a, m.b, m.c, m.d, m.tx, m.ty);
}

double scaleOf(const agg::trans_affine& m)
{
    const double x = 0.707106781 * (m.sx + m.shx);
    const double y = 0.707106781 * (m.shy + m.sy);
    const double s = std::sqrt(x * x + y * y);
    return std::isfinite(s) ? s : 0.0;
}

bool sameMatrix(const agg::trans_affine& a, const agg::trans_affine& b)
{
    return a.sx == b.sx && a.shy == b.shy && a.shx == b.shx && a.sy == b.sy && a.tx == b.tx && a.ty == b.ty;
}

bool samePath(const CAGGraphicsPath& a, const CAGGraphicsPath& b)
{
    const int count = a.vertexCount();
    if (count != b.vertexCount())
        return false;
    for (int i = 0; i < count; ++i)
        if (!(a.vertexAt(i) == b.vertexAt(i)))
            return false;
    return true;
}

// The length of the path as it is stroked (flattened, up to its stop vertex).
double flattenedLength(const CAGGraphicsPath& path, double scale)
{
    PathFlattener flat(path, scale);
    double length = 0.0, lastX = 0.0, lastY = 0.0, startX = 0.0, startY = 0.0;
    double x, y;
    unsigned command;
    while (!agg::is_stop(command = flat.vertex(&x, &y))) {
        if (agg::is_move_to(command)) {
            startX = lastX = x;
            startY = lastY = y;
        } else if (agg::is_vertex(command)) {
            length += std::hypot(x - lastX, y - lastY);
            lastX = x;
            lastY = y;
        } else if (agg::is_closed(command)) {
            length += std::hypot(startX - lastX, startY - lastY);
            lastX = startX;
            lastY = startY;
        }
    }
    return length;
}

agg::image_filter_lut& lanczosFilter()
{
    static agg::image_filter_lut lut(agg::image_filter_lanczos(2.0), true);
    return lut;
}

agg::image_filter_lut& bicubicFilter()
{
    static agg::image_filter_lut lut(agg::image_filter_bicubic(), true);
    return lut;
}

// The two-colour table of a linear gradient, computed once per fill: entry i
// weighs the end colour by f = floor(i / 255 x 256 + 0.5) / 256, every channel
// (alpha included) interpolated with a shift that rounds toward minus infinity.
agg::pod_auto_array<agg::rgba8, 256> gradientTable(PackedColor start, PackedColor end)
{
    agg::pod_auto_array<agg::rgba8, 256> table;
    const auto channel = [](int from, int to, int f) { return agg::int8u(from + (((to - from) * f) >> 8)); };
    for (int i = 0; i < 256; ++i) {
        const int f = int(std::floor(double(i) / 255.0 * 256.0 + 0.5));
        table[i] = agg::rgba8(channel(colorRed(start), colorRed(end), f),
                              channel(colorGreen(start), colorGreen(end), f),
                              channel(colorBlue(start), colorBlue(end), f),
                              channel(colorAlpha(start), colorAlpha(end), f));
    }
    return table;
}

// Span generator of a linear gradient: the gradient coordinate (0 at the
// start, 100 at the end of the axis) is linear along a span, so it is mapped
// once per span and stepped per pixel; below 0 takes the first entry, above
// 100 the last.
class LinearGradientSpans
{
public:
    using Table = agg::pod_auto_array<agg::rgba8, 256>;

    LinearGradientSpans(const agg::trans_affine& deviceToGradient, const Table& table)
        : m_toGradient(deviceToGradient), m_table(table)
    {
    }
    void prepare() {}
    void generate(agg::rgba8* span, int x, int y, unsigned length)
    {
        double u = x + 0.5, v = y + 0.5;
        m_toGradient.transform(&u, &v);
        const double start = u * 2.56, step = m_toGradient.sx * 2.56;
        if (!std::isfinite(start) || !std::isfinite(step)) {
            std::fill(span, span + length, m_table[0]);
            return;
        }
        for (unsigned i = 0; i < length; ++i) {
            const double d = start + step * double(i);
            span[i] = m_table[d < 0.0 ? 0u : d >= 255.0 ? 255u : unsigned(d)];
        }
    }

private:
    agg::trans_affine m_toGradient;
    const Table& m_table;
};

enum class PictureFilter { Nearest, Lanczos, Bicubic };

bool nearZeroOrOne(double v)
{
    return std::fabs(v) < 1e-6 || std::fabs(v - 1.0) < 1e-6;
}

// The filter for a picture-to-device matrix, which is snapped to whole
// pixels when it is an axis-aligned unit scale.
PictureFilter chooseFilter(agg::trans_affine& f)
{
    const double coefficients[4] = {f.sx, f.shy, f.shx, f.sy};
    if (std::all_of(std::begin(coefficients), std::end(coefficients), nearZeroOrOne)) {
        f.tx = std::floor(f.tx);
        f.ty = std::floor(f.ty);
        return PictureFilter::Nearest;
    }
    if (std::none_of(std::begin(coefficients), std::end(coefficients),
                     [](double v) { return std::fabs(v) >= 1.000001; }))
        return PictureFilter::Lanczos;
    return PictureFilter::Bicubic;
}

// Builds the span generator for a picture under the picture-to-device matrix
// and hands it to use(generator).
template <class SourcePixfmt, class Use>
void withPictureSpans(SourcePixfmt& source, const agg::trans_affine& pictureToDevice, PictureFilter filter, Use&& use)
{
    using Accessor = agg::image_accessor_clone<SourcePixfmt>;
    using Interpolator = agg::span_interpolator_linear<>;
    constexpr bool kRgb = SourcePixfmt::pix_width == 3;
    Accessor accessor(source);
    agg::trans_affine deviceToPicture = pictureToDevice;
    deviceToPicture.invert();
    Interpolator interpolator(deviceToPicture);
    if (filter == PictureFilter::Nearest) {
        if constexpr (kRgb) {
            agg::span_image_filter_rgb_nn<Accessor, Interpolator> spans(accessor, interpolator);
            use(spans);
        } else {
            agg::span_image_filter_rgba_nn<Accessor, Interpolator> spans(accessor, interpolator);
            use(spans);
        }
        return;
    }
    agg::image_filter_lut& lut = filter == PictureFilter::Lanczos ? lanczosFilter() : bicubicFilter();
    if constexpr (kRgb) {
        agg::span_image_resample_rgb_affine<Accessor> spans(accessor, interpolator, lut);
        spans.scale_limit(200);
        spans.blur(1.0);
        use(spans);
    } else {
        agg::span_image_resample_rgba_affine<Accessor> spans(accessor, interpolator, lut);
        spans.scale_limit(200);
        spans.blur(1.0);
        use(spans);
    }
}

// Turns picture spans into shadow coverage: the picture's alpha scaled by
// the shadow's.
template <class Inner>
class ShadowAlphaSpans
{
public:
    ShadowAlphaSpans(Inner& inner, unsigned shadowAlpha) : m_inner(inner), m_scale(shadowAlpha + 1) {}
    void prepare() { m_inner.prepare(); }
    void generate(agg::gray8* span, int x, int y, unsigned length)
    {
        m_colors.resize(length);
        m_inner.generate(m_colors.data(), x, y, length);
        for (unsigned i = 0; i < length; ++i)
            span[i] = agg::gray8(255, agg::int8u((unsigned(m_colors[i].a) * m_scale) >> 8));
    }

private:
    Inner& m_inner;
    unsigned m_scale;
    std::vector<agg::rgba8> m_colors;
};

// A closed rectangle as a vertex source.
class RectangleSource
{
public:
    RectangleSource(double x1, double y1, double x2, double y2) : m_x{x1, x2, x2, x1}, m_y{y1, y1, y2, y2} {}
    void rewind(unsigned) { m_index = 0; }
    unsigned vertex(double* x, double* y)
    {
        if (m_index < 4) {
            *x = m_x[m_index];
            *y = m_y[m_index];
            return m_index++ == 0 ? agg::path_cmd_move_to : agg::path_cmd_line_to;
        }
        if (m_index++ == 4)
            return unsigned(agg::path_cmd_end_poly) | unsigned(agg::path_flags_close);
        return agg::path_cmd_stop;
    }

private:
    double m_x[4], m_y[4];
    int m_index = 0;
};

} // namespace

// ---------------------------------------------------------------------------
// Creation

std::unique_ptr<CAGGraphics> CreateGraphicsContext(const GraphicsParams& params)
{
    return CAGGraphics::create(params);
}

std::unique_ptr<CAGGraphics> CAGGraphics::create(const GraphicsParams& params)
{
    if (params.bitsPerPixel != 32)
        return nullptr;
    if (!std::isfinite(params.width) || !std::isfinite(params.height) || params.width < 0.0f
        || params.height < 0.0f || params.width >= float(kMaxSide) + 1.0f || params.height >= float(kMaxSide) + 1.0f)
        return nullptr;
    const int width = std::max(1, int(params.width));
    const int height = std::max(1, int(params.height));
    if (width > kMaxSide || height > kMaxSide || (long long)width * (long long)height > kMaxPixels)
        return nullptr;
    const auto usableScale = [](float s) { return std::isfinite(s) && s > 0.0f ? s : 1.0f; };
    const Size scale{usableScale(params.deviceScaleX), usableScale(params.deviceScaleY)};
    std::unique_ptr<CAGGraphics> context(new (std::nothrow) CAGGraphics(width, height, scale, params.clearValue));
    if (!context || !context->allocate())
        return nullptr;
    context->SetSmoothingMode(1);
    return context;
}

CAGGraphics::CAGGraphics(int width, int height, Size deviceScale, int clearValue)
    : m_width(width)
    , m_height(height)
    , m_deviceScale(deviceScale)
    , m_clearValue(clearValue)
{
    m_rasterizer.filling_rule(agg::fill_non_zero);
}

CAGGraphics::~CAGGraphics() = default;

bool CAGGraphics::allocate()
{
    const size_t bytes = size_t(m_width) * size_t(m_height) * 4;
    m_main.reset(new (std::nothrow) std::uint8_t[bytes]);
    if (!m_main)
        return false;
    // The low byte of the clear value: 256, for callers that paint every
    // pixel themselves, still starts the surface zeroed rather than uninitialised.
    std::memset(m_main.get(), m_clearValue & 0xFF, bytes);
    return true;
}

bool CAGGraphics::ensureShadowSurface()
{
    if (!m_shadow)
        m_shadow.reset(new (std::nothrow) std::uint8_t[size_t(m_width) * size_t(m_height)]());
    return m_shadow != nullptr;
}

bool CAGGraphics::ensureMaskSurface()
{
    if (!m_mask)
        m_mask.reset(new (std::nothrow) std::uint8_t[size_t(m_width) * size_t(m_height)]());
    return m_mask != nullptr;
}

void CAGGraphics::Clear()
{
    std::memset(m_main.get(), m_clearValue & 0xFF, size_t(m_width) * size_t(m_height) * 4);
    if (m_shadow)
        std::memset(m_shadow.get(), 0, size_t(m_width) * size_t(m_height));
    if (m_mask)
        std::memset(m_mask.get(), 0, size_t(m_width) * size_t(m_height));
    // The mask no longer holds the clip it was rendered from.
    m_maskPath.reset();
    m_maskBox = Box();
    if (m_state.clip)
        renderClipMask(*m_state.clip);
}

// ---------------------------------------------------------------------------
// Output

QImage CAGGraphics::image()
{
    return QImage(m_main.get(), m_width, m_height, stride(), QImage::Format_ARGB32_Premultiplied);
}

QImage CAGGraphics::copyImage(const QRect* source) const
{
    const QImage view(m_main.get(), m_width, m_height, stride(), QImage::Format_ARGB32_Premultiplied);
    return source ? view.copy(*source) : view.copy();
}

void CAGGraphics::DrawToPainter(QPainter& painter, const QRectF* destination, const QRect* source)
{
    const QImage view = image();
    const QRect from = source ? *source : view.rect();
    const QRectF to = destination ? *destination : QRectF(from);
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (to.size() != QSizeF(from.size()))
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(to, view, QRectF(from));
    painter.restore();
}

// ---------------------------------------------------------------------------
// State

int CAGGraphics::Save()
{
    State copy;
    copy.ctm = m_state.ctm;
    copy.clipCtm = m_state.clipCtm;
    copy.clip.reset(m_state.clip ? m_state.clip->Clone() : nullptr);
    copy.smoothing = m_state.smoothing;
    copy.shadowOn = m_state.shadowOn;
    copy.shadow = m_state.shadow;
    copy.interpolationMode = m_state.interpolationMode;
    m_saved.push_back(std::move(copy));
    return int(m_saved.size());
}

void CAGGraphics::Restore(int)
{
    if (m_saved.empty())
        return;
    State saved = std::move(m_saved.back());
    m_saved.pop_back();
    m_state.ctm = saved.ctm;
    m_state.clipCtm = saved.clipCtm;
    m_state.clip = std::move(saved.clip);
    if (m_state.clip)
        renderClipMask(*m_state.clip);
    m_state.smoothing = saved.smoothing;
    m_state.shadowOn = saved.shadowOn;
    m_state.shadow = saved.shadow;
    m_state.interpolationMode = saved.interpolationMode;
}

void CAGGraphics::ResetTransform()
{
    m_state.ctm.reset();
}

AffineTransform CAGGraphics::GetTransform() const
{
    const agg::trans_affine& m = m_state.ctm;
    return AffineTransform(float(m.sx), float(m.shy), float(m.shx), float(m.sy), float(m.tx), float(m.ty));
}

void CAGGraphics::RotateTransform(float degrees)
{
    m_state.ctm.multiply(agg::trans_affine_rotation(double(degrees) * kDegreesToRadians));
}

void CAGGraphics::ScaleTransform(float sx, float sy)
{
    m_state.ctm.multiply(agg::trans_affine_scaling(sx, sy));
}

void CAGGraphics::TranslateTransform(float dx, float dy)
{
    m_state.ctm.multiply(agg::trans_affine_translation(dx, dy));
}

void CAGGraphics::MultiplyTransform(const AffineTransform& matrix)
{
    m_state.ctm.premultiply(aggMatrix(matrix));
}

Point CAGGraphics::TransformPoint(Point p) const
{
    double x = p.x, y = p.y;
    m_state.ctm.transform(&x, &y);
    return {float(x), float(y)};
}

void CAGGraphics::SetSmoothingMode(int mode)
{
    if (mode == 1)
        m_state.smoothing = false;
    else if (mode == 4)
        m_state.smoothing = true;
}

double CAGGraphics::transformScale() const
{
    return scaleOf(m_state.ctm);
}

void CAGGraphics::SetShadow(const CShadow& shadow)
{
    m_state.shadow = shadow;
    m_state.shadowOn = true;
}

void CAGGraphics::SetClip(const CAGGraphicsPath* path)
{
    if (!path) {
        m_state.clip.reset();
        return;
    }
    m_state.clip.reset(path->Clone());
    m_state.clipCtm = m_state.ctm;
    renderClipMask(*m_state.clip);
}

bool CAGGraphics::renderClipMask(const CAGGraphicsPath& path)
{
    if (!ensureMaskSurface()) {
        m_maskPath.reset();
        m_maskBox = Box();
        return false;
    }
    if (m_maskPath && sameMatrix(m_maskCtm, m_state.clipCtm) && samePath(*m_maskPath, path))
        return true;
    // Clear only what the previous clip touched.
    if (!m_maskBox.isEmpty())
        for (int y = m_maskBox.y1; y <= m_maskBox.y2; ++y)
            std::memset(m_mask.get() + size_t(y) * size_t(m_width) + size_t(m_maskBox.x1), 0,
                        size_t(m_maskBox.x2 - m_maskBox.x1 + 1));
    m_maskBox = Box();
    resetRasterizer(surfaceBox());
    addFill(path, m_state.clipCtm);
    if (m_rasterizer.rewind_scanlines()) {
        m_maskBox = Box{std::max(0, m_rasterizer.min_x()), std::max(0, m_rasterizer.min_y()),
                        std::min(m_width - 1, m_rasterizer.max_x()), std::min(m_height - 1, m_rasterizer.max_y())};
        agg::rendering_buffer buffer(m_mask.get(), unsigned(m_width), unsigned(m_height), m_width);
        GrayPixfmt pixfmt(buffer);
        agg::renderer_base<GrayPixfmt> renderer(pixfmt);
        agg::render_scanlines_aa_solid(m_rasterizer, m_scanline, renderer, agg::gray8(255, 255));
    }
    m_maskPath.reset(path.Clone());
    m_maskCtm = m_state.clipCtm;
    ++m_clipRenders;
    return true;
}

// ---------------------------------------------------------------------------
// Rasterising

CAGGraphics::Box CAGGraphics::surfaceBox() const
{
    return Box{0, 0, m_width - 1, m_height - 1};
}

CAGGraphics::Box CAGGraphics::drawBox() const
{
    return m_state.clip ? m_maskBox : surfaceBox();
}

void CAGGraphics::resetRasterizer(const Box& box)
{
    m_rasterizer.reset();
    if (box.isEmpty())
        m_rasterizer.clip_box(0.0, 0.0, 0.0, 0.0);
    else
        m_rasterizer.clip_box(box.x1, box.y1, double(box.x2) + 1.0, double(box.y2) + 1.0);
}

void CAGGraphics::addFill(const CAGGraphicsPath& path, const agg::trans_affine& ctm)
{
    PathFlattener flat(path, scaleOf(ctm));
    agg::conv_transform<PathFlattener, const agg::trans_affine> transformed(flat, ctm);
    FiniteVertexFilter<decltype(transformed)> finite(transformed);
    m_rasterizer.add_path(finite);
}

void CAGGraphics::addRectangle(const Rect& rect, const agg::trans_affine& ctm)
{
    RectangleSource source(rect.x(), rect.y(), double(rect.x()) + rect.width(), double(rect.y()) + rect.height());
    agg::conv_transform<RectangleSource, const agg::trans_affine> transformed(source, ctm);
    FiniteVertexFilter<decltype(transformed)> finite(transformed);
    m_rasterizer.add_path(finite);
}

void CAGGraphics::addStroke(const GraphicsPen& pen, const CAGGraphicsPath& path, const agg::trans_affine& ctm)
{
    const double scale = scaleOf(ctm);
    if (!(scale > 1e-12))
        return;
    double width = std::isfinite(pen.width()) ? std::fabs(double(pen.width())) : 0.0;
    if (width < 1e-6)
        width = 1.8 / scale;  // hairline: 1.8 device pixels
    const double approximation = std::min(scale, kMaxStrokeDeviceWidth / width);

    const auto finish = [&](auto& stroke) {
        stroke.width(width);
        stroke.line_join(agg::round_join);
        stroke.line_cap(agg::butt_cap);
        stroke.miter_limit(10.0);
        stroke.approximation_scale(approximation);
        using Stroke = std::remove_reference_t<decltype(stroke)>;
        agg::conv_transform<Stroke, const agg::trans_affine> transformed(stroke, ctm);
        FiniteVertexFilter<decltype(transformed)> finite(transformed);
        m_rasterizer.add_path(finite);
    };

    PathFlattener flat(path, scale);
    const double dash = pen.dashLength(), gap = pen.gapLength();
    bool dashed = pen.isDashed() && std::isfinite(dash) && std::isfinite(gap) && dash > 0.0 && gap > 0.0
        && (dash + gap) * scale >= kMinDashPeriod;
    if (dashed)
        dashed = flattenedLength(path, scale) / (dash + gap) <= kMaxDashes;
    if (dashed) {
        agg::conv_dash<PathFlattener> dasher(flat);
        dasher.add_dash(dash, gap);
        dasher.dash_start(0.0);
        agg::conv_stroke<agg::conv_dash<PathFlattener>> stroke(dasher);
        finish(stroke);
    } else {
        agg::conv_stroke<PathFlattener> stroke(flat);
        finish(stroke);
    }
}

void CAGGraphics::renderSolid(PackedColor color, bool throughClip)
{
    agg::rendering_buffer buffer(m_main.get(), unsigned(m_width), unsigned(m_height), stride());
    MainPixfmt pixfmt(buffer);
    agg::renderer_base<MainPixfmt> renderer(pixfmt);
    const bool clipped = throughClip && m_state.clip;
    const Box box = clipped ? m_maskBox : surfaceBox();
    if (box.isEmpty())
        return;
    renderer.clip_box(box.x1, box.y1, box.x2, box.y2);
    if (clipped) {
        withMaskScanline([&](auto& scanline) {
            agg::render_scanlines_aa_solid(m_rasterizer, scanline, renderer, aggColor(color));
        });
    } else {
        agg::render_scanlines_aa_solid(m_rasterizer, m_scanline, renderer, aggColor(color));
    }
}

template <class Use>
void CAGGraphics::withMaskScanline(Use&& use)
{
    agg::rendering_buffer maskBuffer(m_mask.get(), unsigned(m_width), unsigned(m_height), m_width);
    agg::alpha_mask_gray8 mask(maskBuffer);
    MaskScanline scanline(mask);
    use(scanline);
}

template <class Renderer, class Spans>
void CAGGraphics::renderSpans(Renderer& renderer, Spans& spans)
{
    agg::span_allocator<typename Renderer::color_type> allocator;
    if (m_state.clip)
        withMaskScanline([&](auto& scanline) {
            agg::render_scanlines_aa(m_rasterizer, scanline, renderer, allocator, spans);
        });
    else
        agg::render_scanlines_aa(m_rasterizer, m_scanline, renderer, allocator, spans);
}

// ---------------------------------------------------------------------------
// Shadows

agg::trans_affine CAGGraphics::shadowTransform() const
{
    const CShadow& shadow = m_state.shadow;
    double dx = double(shadow.offset().width) * shadow.scale().width;
    double dy = double(shadow.offset().height) * shadow.scale().height;
    if (!std::isfinite(dx))
        dx = 0.0;
    if (!std::isfinite(dy))
        dy = 0.0;
    agg::trans_affine m = m_state.ctm;
    m.multiply(agg::trans_affine_translation(dx, dy));
    return m;
}

template <class AddShape, class RenderShape>
void CAGGraphics::shadowPass(std::uint8_t shapeAlpha, AddShape&& addShape, RenderShape&& renderShape)
{
    if (!m_state.shadowOn || !ensureShadowSurface())
        return;
    const unsigned alpha = (unsigned(shapeAlpha) * (unsigned(colorAlpha(m_state.shadow.color())) + 1)) >> 8;
    if (alpha == 0)
        return;
    resetRasterizer(surfaceBox());
    addShape(shadowTransform());
    if (!m_rasterizer.rewind_scanlines())
        return;
    const Box box{std::max(0, m_rasterizer.min_x()), std::max(0, m_rasterizer.min_y()),
                  std::min(m_width - 1, m_rasterizer.max_x()), std::min(m_height - 1, m_rasterizer.max_y())};
    if (box.isEmpty())
        return;
    agg::rendering_buffer buffer(m_shadow.get(), unsigned(m_width), unsigned(m_height), m_width);
    GrayPixfmt pixfmt(buffer);
    agg::renderer_base<GrayPixfmt> renderer(pixfmt);
    renderShape(renderer, alpha);
    compositeShadow(box);
}

void CAGGraphics::compositeShadow(const Box& box)
{
    const CShadow& shadow = m_state.shadow;
    const float radius = ShadowBlur::clampRadius(shadow.blurRadius() * shadow.scale().width);
    const int m = int(std::ceil(radius));
    const int boxWidth = box.x2 - box.x1 + 1;
    const int boxHeight = box.y2 - box.y1 + 1;
    const int bufferWidth = boxWidth + 2 * m;
    const int bufferHeight = boxHeight + 2 * m;
    m_blurBuffer.assign(size_t(bufferWidth) * size_t(bufferHeight), 0);

    // Take the shape's coverage out of the shadow surface, leaving it all zero.
    for (int y = box.y1; y <= box.y2; ++y) {
        std::uint8_t* source = m_shadow.get() + size_t(y) * size_t(m_width) + size_t(box.x1);
        std::memcpy(m_blurBuffer.data() + size_t(y - box.y1 + m) * size_t(bufferWidth) + size_t(m), source,
                    size_t(boxWidth));
        std::memset(source, 0, size_t(boxWidth));
    }
    if (IsPrinting())
        m_blur.blurHalfResolution(m_blurBuffer.data(), bufferWidth, bufferHeight, radius);
    else
        m_blur.blur(m_blurBuffer.data(), bufferWidth, bufferHeight, radius);

    const int originX = box.x1 - m, originY = box.y1 - m;
    const int x1 = std::max(0, originX), y1 = std::max(0, originY);
    const int x2 = std::min(m_width - 1, box.x2 + m), y2 = std::min(m_height - 1, box.y2 + m);
    const unsigned red = colorRed(shadow.color()), green = colorGreen(shadow.color()), blue = colorBlue(shadow.color());
    const bool clipped = m_state.clip != nullptr;
    for (int y = y1; y <= y2; ++y) {
        const std::uint8_t* blurred = m_blurBuffer.data() + size_t(y - originY) * size_t(bufferWidth);
        const std::uint8_t* mask = clipped ? m_mask.get() + size_t(y) * size_t(m_width) : nullptr;
        std::uint8_t* pixel = m_main.get() + (size_t(y) * size_t(m_width) + size_t(x1)) * 4;
        for (int x = x1; x <= x2; ++x, pixel += 4) {
            unsigned a = blurred[x - originX];
            if (mask)
                a = (unsigned(mask[x]) * (a + 1)) >> 8;
            if (a == 0)
                continue;
            // Premultiplied source over: the shadow colour at coverage a.
            const unsigned keep = 256 - a;
            pixel[0] = std::uint8_t(((pixel[0] * keep) >> 8) + ((blue * (a + 1)) >> 8));
            pixel[1] = std::uint8_t(((pixel[1] * keep) >> 8) + ((green * (a + 1)) >> 8));
            pixel[2] = std::uint8_t(((pixel[2] * keep) >> 8) + ((red * (a + 1)) >> 8));
            pixel[3] = std::uint8_t(((pixel[3] * keep) >> 8) + a);
        }
    }
}

// ---------------------------------------------------------------------------
// Drawing

bool CAGGraphics::fillPixelAlignedRectangle(PackedColor color, const Rect& rect)
{
    // An opaque, axis-aligned rectangle on whole device pixels (a page
    // background) needs no rasterising: its rows are filled directly.
    const agg::trans_affine& m = m_state.ctm;
    if (colorAlpha(color) != 255 || m.shx != 0.0 || m.shy != 0.0)
        return false;
    double x1 = rect.minX(), y1 = rect.minY(), x2 = rect.maxX(), y2 = rect.maxY();
    m.transform(&x1, &y1);
    m.transform(&x2, &y2);
    const double edges[4] = {x1, y1, x2, y2};
    for (const double e : edges)
        if (!std::isfinite(e) || std::fabs(e - std::round(e)) > 1e-7)
            return false;
    const int left = std::clamp(int(std::round(std::min(x1, x2))), 0, m_width);
    const int right = std::clamp(int(std::round(std::max(x1, x2))), 0, m_width);
    const int top = std::clamp(int(std::round(std::min(y1, y2))), 0, m_height);
    const int bottom = std::clamp(int(std::round(std::max(y1, y2))), 0, m_height);
    const std::uint32_t pixel = color;  // opaque: premultiplied and straight agree
    for (int y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(m_main.get() + size_t(y) * size_t(stride()));
        std::fill(row + left, row + right, pixel);
    }
    return true;
}

template <class AddShape>
void CAGGraphics::drawSolid(PackedColor color, bool throughClip, AddShape&& addShape)
{
    if (colorAlpha(color) == 0)
        return;
    shadowPass(colorAlpha(color), addShape, [&](agg::renderer_base<GrayPixfmt>& renderer, unsigned alpha) {
        agg::render_scanlines_aa_solid(m_rasterizer, m_scanline, renderer, agg::gray8(255, agg::int8u(alpha)));
    });
    const Box box = throughClip ? drawBox() : surfaceBox();
    if (box.isEmpty())
        return;
    resetRasterizer(box);
    addShape(m_state.ctm);
    renderSolid(color, throughClip);
}

void CAGGraphics::FillRectangle(PackedColor color, const Rect& rect)
{
    if (colorAlpha(color) != 0 && !m_state.shadowOn && fillPixelAlignedRectangle(color, rect))
        return;
    // The fill ignores the clip; its shadow pass does not.
    drawSolid(color, false, [&](const agg::trans_affine& m) { addRectangle(rect, m); });
}

void CAGGraphics::FillRectangleGradient(const LinearGradientBrush& brush, const Rect& rect)
{
    CAGGraphicsPath path;
    path.AddRectangle(rect);
    FillPathGradient(brush, path);
}

void CAGGraphics::FillPath(const SolidBrush& brush, const CAGGraphicsPath& path)
{
    drawSolid(brush.color(), true, [&](const agg::trans_affine& m) { addFill(path, m); });
}

void CAGGraphics::DrawPath(const GraphicsPen& pen, const CAGGraphicsPath& path)
{
    drawSolid(pen.color(), true, [&](const agg::trans_affine& m) { addStroke(pen, path, m); });
}

void CAGGraphics::DrawLineSegments(const GraphicsPen& pen, const Point* points, int count)
{
    if (!points || count < 2)
        return;
    m_scratch.clear();
    for (int i = 0; i + 1 < count; i += 2) {
        m_scratch.AddMoveTo(points[i]);
        m_scratch.AddLineTo(points[i + 1]);
    }
    DrawPath(pen, m_scratch);
}

void CAGGraphics::DrawLines(const GraphicsPen& pen, const Point* points, int count)
{
    if (!points || count < 2)
        return;
    m_scratch.clear();
    m_scratch.AddMoveTo(points[0]);
    for (int i = 1; i < count; ++i)
        m_scratch.AddLineTo(points[i]);
    DrawPath(pen, m_scratch);
}

void CAGGraphics::FillPathGradient(const LinearGradientBrush& brush, const CAGGraphicsPath& path)
{
    double bx1, by1, bx2, by2;
    if (!path.boundsDouble(bx1, by1, bx2, by2))
        return;
    const Box box = drawBox();
    if (box.isEmpty())
        return;
    const double cx = (bx1 + bx2) / 2.0, cy = (by1 + by2) / 2.0;
    const double theta = brush.angleRadians();
    const double cosT = std::cos(theta), sinT = std::sin(theta);

    // The bounds turned by the angle about their centre, in whole units.
    double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
    const double cornersX[4] = {bx1, bx2, bx2, bx1}, cornersY[4] = {by1, by1, by2, by2};
    for (int i = 0; i < 4; ++i) {
        const double dx = cornersX[i] - cx, dy = cornersY[i] - cy;
        const double x = cx + dx * cosT - dy * sinT, y = cy + dx * sinT + dy * cosT;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    minX = std::floor(minX);
    minY = std::floor(minY);
    maxX = std::ceil(maxX);
    maxY = std::ceil(maxY);
    const double span = maxX - minX + 1.0;
    const double mx = (minX + maxX) / 2.0, my = (minY + maxY) / 2.0;
    // The axis from start (d = 0) to end (d = 100); y grows downwards, so a
    // positive angle points up.
    const double sx = mx - span / 2.0 * cosT, sy = my + span / 2.0 * sinT;
    const double ex = mx + span / 2.0 * cosT, ey = my - span / 2.0 * sinT;
    const double length = std::hypot(ex - sx, ey - sy);
    if (!std::isfinite(length) || !(length > 0.0))
        return;

    agg::trans_affine gradient;
    gradient *= agg::trans_affine_scaling(length / 100.0);
    gradient *= agg::trans_affine_rotation(std::atan2(ey - sy, ex - sx));
    gradient *= agg::trans_affine_translation(sx + 0.5, sy + 0.5);
    gradient *= m_state.ctm;
    if (std::fabs(gradient.determinant()) < 1e-300)
        return;
    gradient.invert();

    const LinearGradientSpans::Table colors = gradientTable(brush.startColor(), brush.endColor());
    LinearGradientSpans spans(gradient, colors);

    resetRasterizer(box);
    addFill(path, m_state.ctm);
    agg::rendering_buffer buffer(m_main.get(), unsigned(m_width), unsigned(m_height), stride());
    MainPixfmt pixfmt(buffer);
    agg::renderer_base<MainPixfmt> renderer(pixfmt);
    renderer.clip_box(box.x1, box.y1, box.x2, box.y2);
    renderSpans(renderer, spans);
}

void CAGGraphics::DrawImage(const PAImage& picture, const Rect& rect)
{
    if (!picture.isLoaded())
        return;
    const QImage& image = picture.image();
    const int pw = image.width(), ph = image.height();
    if (pw <= 0 || ph <= 0)
        return;
    std::uint8_t* bits = const_cast<std::uint8_t*>(image.constBits());
    agg::rendering_buffer source(bits, unsigned(pw), unsigned(ph), int(image.bytesPerLine()));
    switch (image.format()) {
    case QImage::Format_BGR888: {
        agg::pixfmt_bgr24 pixfmt(source);
        drawPicture(pixfmt, pw, ph, rect, true);
        break;
    }
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied: {
        MainPixfmtPre pixfmt(source);
        drawPicture(pixfmt, pw, ph, rect, image.format() == QImage::Format_RGB32);
        break;
    }
    default:
        break;  // other depths are not drawn
    }
}

template <class SourcePixfmt>
void CAGGraphics::drawPicture(SourcePixfmt& source, int pw, int ph, const Rect& rect, bool opaque)
{
    const agg::trans_affine placement = agg::trans_affine_scaling(double(rect.width()) / pw, double(rect.height()) / ph)
        * agg::trans_affine_translation(rect.x(), rect.y());
    // The picture-to-device matrix and its filter; null when the picture
    // would be shrunk so far that it cannot show (and its inverse would
    // overflow the span interpolator's fixed point).
    const auto place = [&](const agg::trans_affine& ctm, agg::trans_affine& f) {
        f = placement * ctm;
        const double determinant = f.determinant();
        if (!std::isfinite(determinant) || std::fabs(determinant) < 1e-300)
            return false;
        agg::trans_affine inverse = f;
        inverse.invert();
        const double largest = std::max({std::fabs(inverse.sx), std::fabs(inverse.shy), std::fabs(inverse.shx),
                                         std::fabs(inverse.sy)});
        return std::isfinite(largest) && largest <= 1.0e4 && std::isfinite(f.tx) && std::isfinite(f.ty);
    };
    const RectangleSource pictureRect(0.0, 0.0, pw, ph);
    const auto addPicture = [&](const agg::trans_affine& f) {
        RectangleSource shape = pictureRect;
        agg::conv_transform<RectangleSource, const agg::trans_affine> transformed(shape, f);
        FiniteVertexFilter<decltype(transformed)> finite(transformed);
        m_rasterizer.add_path(finite);
    };

    if (m_state.shadowOn) {
        agg::trans_affine f;
        if (place(shadowTransform(), f)) {
            const PictureFilter filter = chooseFilter(f);
            shadowPass(
                255, [&](const agg::trans_affine&) { addPicture(f); },
                [&](agg::renderer_base<GrayPixfmt>& renderer, unsigned alpha) {
                    if (opaque) {
                        agg::render_scanlines_aa_solid(m_rasterizer, m_scanline, renderer,
                                                       agg::gray8(255, agg::int8u(alpha)));
                        return;
                    }
                    withPictureSpans(source, f, filter, [&](auto& spans) {
                        ShadowAlphaSpans<std::remove_reference_t<decltype(spans)>> shadowSpans(
                            spans, unsigned(colorAlpha(m_state.shadow.color())));
                        agg::span_allocator<agg::gray8> allocator;
                        agg::render_scanlines_aa(m_rasterizer, m_scanline, renderer, allocator, shadowSpans);
                    });
                });
        }
    }

    agg::trans_affine f;
    const Box box = drawBox();
    if (box.isEmpty() || !place(m_state.ctm, f))
        return;
    const PictureFilter filter = chooseFilter(f);
    resetRasterizer(box);
    addPicture(f);
    agg::rendering_buffer buffer(m_main.get(), unsigned(m_width), unsigned(m_height), stride());
    MainPixfmtPre pixfmt(buffer);
    agg::renderer_base<MainPixfmtPre> renderer(pixfmt);
    renderer.clip_box(box.x1, box.y1, box.x2, box.y2);
    withPictureSpans(source, f, filter, [&](auto& spans) { renderSpans(renderer, spans); });
}
