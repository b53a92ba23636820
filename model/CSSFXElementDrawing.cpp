// Lettering on the page: the envelope warp and the drawing of the letters
// with fill, gradient, drop shadow and the multi-stroke outline.

#include "CSSFXElement.h"

#include "CGraphicsInterface.h"
#include "CSSFXChar.h"
#include "LinearGradientBrush.h"
#include "PathFlattener.h"
#include "PathGeometry.h"

#include <agg_basics.h>

#include <algorithm>
#include <cmath>

namespace {

// The qualified keys lettering draws with, made once.
struct LetteringKeys
{
    QString drawBackground = QStringLiteral("SFX.DrawBackground");
    QString backgroundColor = QStringLiteral("SFX.BackgroundColor");
    QString drawGradient = QStringLiteral("SFX.DrawGradient");
    QString gradientFillColor = QStringLiteral("SFX.GradientFillColor");
    QString gradientAngle = QStringLiteral("SFX.GradientAngle");
    QString drawShadow = QStringLiteral("SFX.DrawShadow");
    QString shadowColor = QStringLiteral("SFX.ShadowColor");
    QString shadowBlurRadius = QStringLiteral("SFX.ShadowBlurRadius");
    QString shadowXOffset = QStringLiteral("SFX.ShadowXOffset");
    QString shadowYOffset = QStringLiteral("SFX.ShadowYOffset");
    QString drawFrame = QStringLiteral("SFX.DrawFrame");
    QString frameWidth = QStringLiteral("SFX.FrameWidth");
    QString multiStroke = QStringLiteral("SFX.MultiStroke");
    QString frameColor = QStringLiteral("SFX.FrameColor");
    QString altColor = QStringLiteral("SFX.AltColor");
};

const LetteringKeys& keys()
{
    static const LetteringKeys table;
    return table;
}

// Straight edges are cut into pieces of at most this many device pixels
// before they are warped, so that they bend with the envelope too; at most
// kMaxPiecesPerEdge pieces per edge.
constexpr double kMaxPieceLength = 4.0;
constexpr int kMaxPiecesPerEdge = 256;

// Outline widths beyond this are a damaged style, not a look.
constexpr float kMaxFrameWidth = 1000.0f;

Point lerp(Point a, Point b, float t)
{
    return Point{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
}

Point offsetBy(Point p, Point d, float t)
{
    return Point{p.x + t * d.x, p.y + t * d.y};
}

} // namespace

struct CSSFXElement::Look
{
    bool drawBackground = false;
    bool drawGradient = false;
    bool drawShadow = false;
    bool drawFrame = false;
    PackedColor background = 0;
    PackedColor gradientEnd = 0;
    float gradientAngle = 0;
    CShadow shadow;
    float frameWidth = 0;
    int strokes = 0;
    PackedColor frameColor = 0;
    PackedColor altColor = 0;
};

CSSFXElement::Look CSSFXElement::readLook(const CSAttributeReader& attributes, float scale)
{
    const LetteringKeys& k = keys();
    Look look;
    look.drawBackground = attributes.boolValue(k.drawBackground);
    look.drawGradient = attributes.boolValue(k.drawGradient);
    look.drawShadow = attributes.boolValue(k.drawShadow);
    look.drawFrame = attributes.boolValue(k.drawFrame);
    look.background = attributes.colorValue(k.backgroundColor);
    look.gradientEnd = attributes.colorValue(k.gradientFillColor);
    look.gradientAngle = sanitized(attributes.floatValue(k.gradientAngle));
    // Shadow offsets are stored in twentieths of a unit.
    look.shadow = CShadow(Size{sanitized(attributes.floatValue(k.shadowXOffset) * 20.0f * scale),
                               sanitized(attributes.floatValue(k.shadowYOffset) * 20.0f * scale)},
                          sanitized(attributes.floatValue(k.shadowBlurRadius)), attributes.colorValue(k.shadowColor));
    look.frameWidth = std::clamp(sanitized(attributes.floatValue(k.frameWidth)), 0.0f, kMaxFrameWidth);
    // Clamped while still a real: a huge or NaN count must not reach the
    // integer conversion.
    const float strokes = attributes.floatValue(k.multiStroke);
    look.strokes = std::isnan(strokes) ? 0 : int(std::clamp(strokes, 0.0f, float(kMaxMultiStroke)));
    look.frameColor = attributes.colorValue(k.frameColor);
    look.altColor = attributes.colorValue(k.altColor);
    return look;
}

// --- Warp ----------------------------------------------------------------------

Point CSSFXElement::warpPoint(Point point) const
{
    return warpPoint(point, letterBounds());
}

Point CSSFXElement::warpPoint(Point p, const Rect& bounds) const
{
    const Envelope& e = m_envelope;
    const float width = bounds.maxX() - bounds.minX();
    const float height = bounds.maxY() - bounds.minY();
    const float u = width != 0.0f ? (p.x - bounds.minX()) / width : 0.0f;
    const float v = height != 0.0f ? (p.y - bounds.minY()) / height : 0.0f;
    const Point left = lerp(e[0], e[3], v);
    const Point right = lerp(e[1], e[2], v);
    const Point topMid = lerp(e[0], e[1], 0.5f);
    const Point bottomMid = lerp(e[2], e[3], 0.5f);
    const Point topBulge{e[4].x - topMid.x, e[4].y - topMid.y};
    const Point bottomBulge{e[5].x - bottomMid.x, e[5].y - bottomMid.y};
    const Point s = lerp(left, right, 0.3f);
    const Point t = lerp(left, right, 0.7f);
    const Point u1 = offsetBy(s, topBulge, 1.0f - v);
    const Point u2 = offsetBy(t, topBulge, 1.0f - v);
    const Point v1 = offsetBy(s, bottomBulge, v);
    const Point v2 = offsetBy(t, bottomBulge, v);
    return pointOnCubic(left, lerp(u1, v1, v), lerp(u2, v2, v), right, u);
}

NSBezierPath CSSFXElement::warpPath(const NSBezierPath& path, double approximationScale) const
{
    NSBezierPath warped;
    warped.setPen(path.pen());
    const Rect bounds = letterBounds();
    const double scale = std::isfinite(approximationScale) && approximationScale > 0.0 ? approximationScale : 1.0;
    const double maxPiece = kMaxPieceLength / scale;
    PathFlattener flat(path.path(), scale);
    double x = 0, y = 0, lastX = 0, lastY = 0, startX = 0, startY = 0;
    bool open = false;
    // Every edge is warped piece by piece, the closing one included.
    auto edgeTo = [&](double toX, double toY) {
        const double length = std::hypot(toX - lastX, toY - lastY);
        const int pieces = int(std::clamp(std::ceil(length / maxPiece), 1.0, double(kMaxPiecesPerEdge)));
        for (int i = 1; i <= pieces; ++i) {
            const double t = double(i) / pieces;
            warped.lineTo(warpPoint(Point{float(lastX + t * (toX - lastX)), float(lastY + t * (toY - lastY))}, bounds));
        }
        lastX = toX;
        lastY = toY;
    };
    auto closeContour = [&] {
        if (!open)
            return;
        if (lastX != startX || lastY != startY)
            edgeTo(startX, startY);
        warped.closePath();
        open = false;
    };
    for (unsigned command = flat.vertex(&x, &y); !agg::is_stop(command); command = flat.vertex(&x, &y)) {
        if (agg::is_move_to(command)) {
            closeContour();
            warped.moveTo(warpPoint(Point{float(x), float(y)}, bounds));
            startX = lastX = x;
            startY = lastY = y;
            open = true;
        } else if (agg::is_vertex(command) && open) {
            edgeTo(x, y);
        } else if (agg::is_end_poly(command)) {
            closeContour();
        }
    }
    // Glyph contours are closed shapes, also where a file left one open.
    closeContour();
    return warped;
}

NSBezierPath CSSFXElement::mergedOutline() const
{
    NSBezierPath all;
    for (const CSElement* child : children())
        all.appendPath(static_cast<const CSSFXChar*>(child)->outline());
    return all;
}

std::unique_ptr<NSBezierPath> CSSFXElement::shapePath(const CSStylesheet*) const
{
    auto shape = std::make_unique<NSBezierPath>(warpPath(mergedOutline()));
    if (angle() != 0.0f)
        shape->transformBy(rotationTransform(angle()));
    return shape;
}

// Curves are flattened finely enough for the device: the context's scale,
// times how much the envelope enlarges the letters.
double CSSFXElement::flatteningScale() const
{
    CGraphicsInterface* context = CurrentContext();
    const AffineTransform m = context ? context->GetTransform() : AffineTransform();
    double scale = std::sqrt(std::fabs(double(m.a) * m.d - double(m.b) * m.c));
    const Rect letters = letterBounds();
    const Rect page = frame();
    if (letters.width() > 0.0f && letters.height() > 0.0f)
        scale *= std::max({1.0, double(page.width()) / letters.width(), double(page.height()) / letters.height()});
    return std::isfinite(scale) && scale > 0.0 ? scale : 1.0;
}

// --- Drawing ----------------------------------------------------------------------

void CSSFXElement::drawContents(const CSStylesheet* stylesheet, bool, float scale, int)
{
    if (!CurrentContext())
        return;
    const Look look = readLook(CSAttributeReader(*this, stylesheet), scale);
    if (drawsMerged(stylesheet)) {
        drawOutline(mergedOutline(), look, stylesheet);
        return;
    }
    for (const CSElement* child : children()) {
        const auto* letter = static_cast<const CSSFXChar*>(child);
        if (!letter->isBlank())
            drawOutline(letter->outline(), look, stylesheet);
    }
}

void CSSFXElement::drawOutline(const NSBezierPath& outline, const Look& look, const CSStylesheet* stylesheet)
{
    CGraphicsInterface* context = CurrentContext();
    context->Save();
    if (CSElement* source = clipSource(); source && source->isPanel() && clipsToFrame()) {
        if (std::unique_ptr<NSBezierPath> shape = source->clipPath(stylesheet))
            context->SetClip(&shape->path());
    }
    context->Save();
    context->MultiplyTransform(rotationTransform(angle()));
    NSBezierPath warped = warpPath(outline, flatteningScale());

    if (look.drawBackground) {
        context->Save();
        if (look.drawShadow) {
            shadow() = look.shadow;
            shadow().applyShadow();
        }
        // The outline casts its shadow too: a stroke in the fill colour,
        // hidden under the outermost stroke.
        warped.setColor(look.background);
        warped.setLineWidth(std::max(look.frameWidth - 0.5f, 0.0f));
        warped.fill();
        if (look.drawFrame)
            warped.stroke();
        context->Restore();
    }

    if (look.drawFrame)
        drawStrokes(warped, look);

    if (look.drawBackground) {
        if (look.drawGradient) {
            const LinearGradientBrush brush(warped.bounds(), look.background, look.gradientEnd,
                                            flipAngle(look.gradientAngle));
            warped.fillWithGradient(brush);
        } else {
            warped.setColor(look.background);
            warped.fill();
        }
    }
    context->Restore();
    context->Restore();
}

// Concentric strokes from the widest down, alternating in colour; the fill
// drawn afterwards covers their inner halves, so outside the letters they
// show as rings. The innermost ring is always the frame colour.
void CSSFXElement::drawStrokes(NSBezierPath& warped, const Look& look) const
{
    const int n = look.strokes;
    float width = look.frameWidth;
    const float step = n > 1 ? width / float(n - 1) : 0.0f;
    for (int k = n; k >= 1; --k) {
        warped.setLineWidth(width);
        warped.setColor(k % 2 == 1 ? look.frameColor : look.altColor);
        warped.stroke();
        width -= step;
        if (width <= 0.0f)
            width = 1.0f;
    }
}
