// Lettering: construction, the letters built from glyph outlines, the
// envelope and its editing, and the layout operations on the letters.

#include "CSSFXElement.h"

#include "CSSFXChar.h"
#include "CSStylesheet.h"
#include "CSUndoApplyTransform.h"
#include "CSUndoMoveFrameByDelta.h"
#include "CSUndoResizeFrameByDelta.h"
#include "CSUndoRotate.h"
#include "CSUndoSetPoint.h"
#include "CSUndoSetSFXString.h"
#include "CSUndoSpreadHorizontal.h"
#include "CSUndoSpreadVertical.h"
#include "CSUndoStagger.h"
#include "PAFontRendering.h"
#include "StyleKeys.h"

#include <algorithm>
#include <cmath>

namespace {

Point midpoint(Point a, Point b)
{
    return Point{(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f};
}

Point plus(Point a, Size d)
{
    return Point{a.x + d.width, a.y + d.height};
}

Size difference(Point a, Point b)
{
    return Size{a.x - b.x, a.y - b.y};
}

// The text cut to the longest a lettering keeps, never inside a surrogate pair.
QString cappedText(const QString& text)
{
    if (text.size() <= CSSFXElement::kMaxTextLength)
        return text;
    qsizetype length = CSSFXElement::kMaxTextLength;
    if (text[length - 1].isHighSurrogate())
        --length;
    return text.left(length);
}

} // namespace

CSSFXElement::CSSFXElement() = default;

CSSFXElement::CSSFXElement(const Rect& frame) : CSElement(frame) {}

CSSFXElement::CSSFXElement(const QString& text, const PAFont* font, const Rect& frame) : CSElement(frame)
{
    m_text = cappedText(text);
    m_font = font;
    installLetters(buildLetters(m_text, m_font));
    setEnvelopeToLetterBounds();
}

CSSFXElement::CSSFXElement(const CSSFXElement& other)
    : CSElement(other), m_envelope(other.m_envelope), m_font(other.m_font), m_text(other.m_text)
{
}

CSElement* CSSFXElement::clone() const
{
    return new CSSFXElement(*this);
}

const QString& CSSFXElement::stylePrefix() const
{
    return StyleKeys::prefix(StyleKind::SFX);
}

QStringList CSSFXElement::styleNamesForKind(const CSStylesheet* stylesheet) const
{
    if (!stylesheet)
        return {};
    QStringList names = stylesheet->styleNames(stylePrefix());
    std::sort(names.begin(), names.end());
    return names;
}

bool CSSFXElement::drawsMerged(const CSStylesheet* stylesheet) const
{
    const CSAttributeReader attributes(*this, stylesheet);
    const bool merged = attributes.boolValue(StyleKeys::qualified(StyleKind::SFX, QStringLiteral("DrawMerged")))
        || !attributes.boolValue(StyleKeys::qualified(StyleKind::SFX, QStringLiteral("DrawShadow")));
    // A picture cached of the merged word must not stand in for letters drawn one by one.
    if (!merged && renderCache())
        const_cast<CSSFXElement*>(this)->invalidateCache();
    return merged;
}

// --- Letters -----------------------------------------------------------------

CSSFXChar* CSSFXElement::letterAt(int index) const
{
    return static_cast<CSSFXChar*>(childAt(index));
}

std::vector<CSSFXChar*> CSSFXElement::buildLetters(const QString& text, const PAFont* font) const
{
    if (!font)
        font = PAFont::defaultFont();
    std::vector<CSSFXChar*> letters;
    letters.reserve(std::size_t(text.size()));
    const AffineTransform toLayoutSpace = AffineTransform::scaling(1.0f, -1.0f);
    Point pen;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character: its first unit's letter shows
        // it, the second unit's letter stays empty.
        if (text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()) {
            letters.push_back(new CSSFXChar);
            continue;
        }
        const GlyphOutline& glyph = PAFontRendering::glyphFor(font, text, i);
        NSBezierPath outline(glyph.path.path(), pen);
        outline.transformBy(toLayoutSpace);
        letters.push_back(new CSSFXChar(outline));
        pen.x += glyph.advance.x;
        pen.y -= glyph.advance.y;
    }
    // The last character at the back (child 0), the first in front.
    std::reverse(letters.begin(), letters.end());
    return letters;
}

void CSSFXElement::installLetters(const std::vector<CSSFXChar*>& letters)
{
    for (CSSFXChar* letter : letters) {
        unretire(letter);
        if (appendChildQuietly(letter))
            letter->setUndoManager(undoManager());
    }
}

void CSSFXElement::setTextAndFont(const QString& text, const PAFont* font)
{
    const QString capped = cappedText(text);
    if (capped == m_text && font == m_font && childCount() == capped.size())
        return;
    restoreTextAndFont(capped, font, buildLetters(capped, font));
}

void CSSFXElement::restoreTextAndFont(const QString& text, const PAFont* font, const std::vector<CSSFXChar*>& letters)
{
    std::vector<CSSFXChar*> current;
    for (CSElement* child : children())
        current.push_back(static_cast<CSSFXChar*>(child));
    registerUndo(new CSUndoSetSFXString(this, m_text, m_font, current));
    // The old letters stay alive here for the undo that brings them back.
    forgetChildren();
    for (CSSFXChar* letter : current)
        retire(letter);
    m_text = text;
    m_font = font;
    installLetters(letters);
    invalidateAndPostChanged();
}

void CSSFXElement::setFont(const PAFont* font)
{
    setTextAndFont(m_text, font);
}

Rect CSSFXElement::letterBounds() const
{
    Rect bounds;
    bool first = true;
    for (const CSElement* child : children()) {
        const auto* letter = static_cast<const CSSFXChar*>(child);
        if (letter->outline().isEmpty())
            continue;
        bounds = first ? letter->frame() : unionRect(bounds, letter->frame());
        first = false;
    }
    return bounds;
}

// --- Envelope ----------------------------------------------------------------

void CSSFXElement::setEnvelopeToLetterBounds()
{
    const Rect b = letterBounds();
    m_envelope[0] = Point{b.minX(), b.minY()};
    m_envelope[1] = Point{b.maxX(), b.minY()};
    m_envelope[2] = Point{b.maxX(), b.maxY()};
    m_envelope[3] = Point{b.minX(), b.maxY()};
    m_envelope[4] = midpoint(m_envelope[0], m_envelope[1]);
    m_envelope[5] = midpoint(m_envelope[2], m_envelope[3]);
}

NSBezierPath CSSFXElement::envelopePath() const
{
    const Envelope& e = m_envelope;
    NSBezierPath path;
    path.moveTo(e[0]);
    for (int i : {4, 1, 2, 5, 3})
        path.lineTo(e[std::size_t(i)]);
    path.closePath();
    return path;
}

Rect CSSFXElement::frame() const
{
    return boundsOf(m_envelope);
}

Rect CSSFXElement::boundsOf(const Envelope& envelope)
{
    float minX = envelope[0].x, maxX = minX, minY = envelope[0].y, maxY = minY;
    for (const Point& p : envelope) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return Rect(minX, minY, maxX - minX, maxY - minY);
}

bool CSSFXElement::hitTest(Point local) const
{
    return envelopePath().containsPoint(local);
}

void CSSFXElement::mapEnvelope(const AffineTransform& transform)
{
    for (Point& p : m_envelope) {
        const Point mapped = transform.transformPoint(p);
        p = Point{sanitized(mapped.x), sanitized(mapped.y)};
    }
}

void CSSFXElement::moveBy(Size delta)
{
    moveByRecording(delta, true);
}

void CSSFXElement::moveByRecording(Size delta, bool record)
{
    delta = sanitized(delta);
    if (isLocked() || (delta.width == 0.0f && delta.height == 0.0f))
        return;
    if (record)
        registerUndo(new CSUndoMoveFrameByDelta(this, Size{-delta.width, -delta.height}));
    mapEnvelope(AffineTransform::translation(delta.width, delta.height));
    postChanged();
}

void CSSFXElement::shiftBy(Size delta)
{
    if (isLocked())
        return;
    delta = sanitized(delta);
    mapEnvelope(AffineTransform::translation(delta.width, delta.height));
}

void CSSFXElement::movePoint(Point point, int index)
{
    if (isLocked() || index < 0 || index >= kEnvelopePointCount)
        return;
    point = Point{sanitized(point.x), sanitized(point.y)};
    const Envelope& old = m_envelope;
    if (point == old[std::size_t(index)])
        return;
    Envelope next = old;
    next[std::size_t(index)] = point;
    // A moved corner carries its edge's bulge along.
    if (index <= 1)
        next[4] = plus(midpoint(next[0], next[1]), difference(old[4], midpoint(old[0], old[1])));
    else if (index <= 3)
        next[5] = plus(midpoint(next[2], next[3]), difference(old[5], midpoint(old[2], old[3])));
    const Size shift = angle() != 0.0f ? rotationShift(frame(), boundsOf(next)) : Size{};
    // The old point is saved where the shift puts the envelope: the undo,
    // which shifts back by the same amount, then restores it exactly.
    registerUndo(new CSUndoSetPoint(this, plus(old[std::size_t(index)], shift), index));
    m_envelope = next;
    mapEnvelope(AffineTransform::translation(shift.width, shift.height));
    invalidateAndPostChanged();
}

// An edit of a rotated lettering changes its frame, and with it the centre
// it turns about: without a correction the whole word would jump on the
// page. The shift that puts the frame's corners back where they were on the
// page depends only on the two centres (every point turned about one centre
// and about the other differs by the same amount).
Size CSSFXElement::rotationShift(const Rect& before, const Rect& after) const
{
    const Point anchor = before.origin;
    const Point oldPlace = AffineTransform::rotationAbout(Point{before.midX(), before.midY()}, angle()).transformPoint(anchor);
    const Point newPlace = AffineTransform::rotationAbout(Point{after.midX(), after.midY()}, angle()).transformPoint(anchor);
    return sanitized(difference(oldPlace, newPlace));
}

void CSSFXElement::resizeByHandle(Size delta, int handle)
{
    if (isLocked() || handle < 0 || handle > 7)
        return;
    delta = sanitized(delta);
    const Point p0 = handlePosition(7 - handle);
    // Dragged past the opposite side is narrower than the minimum too.
    const Rect resized = resizedFrame(frame(), delta, handle);
    if (!(resized.width() >= kMinResizeSide))
        delta.width = 0.0f;
    if (!(resized.height() >= kMinResizeSide))
        delta.height = 0.0f;
    if (delta.width == 0.0f && delta.height == 0.0f)
        return;
    registerUndo(new CSUndoResizeFrameByDelta(this, Size{-delta.width, -delta.height}, handle));
    mapEnvelope(resizeTransform(delta, handle));
    if (angle() != 0.0f)
        shiftBy(difference(p0, handlePosition(7 - handle)));
    invalidateAndPostChanged();
}

void CSSFXElement::applyTransform(const AffineTransform& transform)
{
    const AffineTransform inverse = transform.inverted();
    if (isLocked() || inverse.lastStatus() != AffineTransform::Status::Ok)
        return;
    registerUndo(new CSUndoApplyTransform(this, inverse));
    const Point centre = center();
    AffineTransform m = rotationTransform(angle());
    m.concat(transform);
    mapEnvelope(m);
    if (angle() != 0.0f)
        mapEnvelope(AffineTransform::rotationAbout(transform.transformPoint(centre), -angle()));
    invalidateAndPostChanged();
}

// --- Layout operations ---------------------------------------------------------

CSSFXElement::Layout CSSFXElement::layout() const
{
    Layout result;
    result.envelope = m_envelope;
    result.outlines.reserve(std::size_t(childCount()));
    for (const CSElement* child : children())
        result.outlines.push_back(static_cast<const CSSFXChar*>(child)->outline());
    return result;
}

void CSSFXElement::applyLayout(const Layout& layout)
{
    m_envelope = layout.envelope;
    const int count = std::min(childCount(), int(layout.outlines.size()));
    for (int i = 0; i < count; ++i) {
        letterAt(i)->setOutline(layout.outlines[std::size_t(i)]);
    }
}

// Each letter keeps its shape and goes where the transform takes the origin
// of its frame.
void CSSFXElement::moveLettersBy(const AffineTransform& transform)
{
    for (CSElement* child : children()) {
        const Point o = child->frame().origin;
        child->moveBy(difference(transform.transformPoint(o), o));
    }
}

void CSSFXElement::scaleLayout(float sx, float sy)
{
    const AffineTransform m = scaleTransform(sx, sy);
    moveLettersBy(m);
    mapEnvelope(m);
    invalidateAndPostChanged();
}

void CSSFXElement::spreadHorizontal(float factor)
{
    if (isLocked() || !(factor > 0.0f) || !std::isfinite(factor) || factor == 1.0f)
        return;
    registerUndo(new CSUndoSpreadHorizontal(this, layout()));
    scaleLayout(factor, 1.0f);
}

void CSSFXElement::spreadVertical(float factor)
{
    if (isLocked() || !(factor > 0.0f) || !std::isfinite(factor) || factor == 1.0f)
        return;
    registerUndo(new CSUndoSpreadVertical(this, layout()));
    scaleLayout(1.0f, factor);
}

void CSSFXElement::rotateLetters(float degrees)
{
    if (isLocked() || !std::isfinite(degrees) || degrees == 0.0f)
        return;
    registerUndo(new CSUndoRotate(this, layout()));
    const AffineTransform m = AffineTransform::rotationAbout(center(), degrees);
    moveLettersBy(m);
    mapEnvelope(m);
    invalidateAndPostChanged();
}

void CSSFXElement::stagger(Size offset)
{
    offset = sanitized(offset);
    if (isLocked() || (offset.width == 0.0f && offset.height == 0.0f))
        return;
    registerUndo(new CSUndoStagger(this, Size{-offset.width, -offset.height}));
    const Size back{-offset.width, -offset.height};
    for (int i = 0; i < childCount(); ++i)
        childAt(i)->moveBy(i % 2 == 0 ? offset : back);
    invalidateAndPostChanged();
}

template <class Action>
void CSSFXElement::restoreLayout(const Layout& layout)
{
    if (isLocked())
        return;
    registerUndo(new Action(this, this->layout()));
    applyLayout(layout);
    invalidateAndPostChanged();
}

void CSSFXElement::restoreHorizontalSpread(const Layout& layout)
{
    restoreLayout<CSUndoSpreadHorizontal>(layout);
}

void CSSFXElement::restoreVerticalSpread(const Layout& layout)
{
    restoreLayout<CSUndoSpreadVertical>(layout);
}

void CSSFXElement::restoreLetterRotation(const Layout& layout)
{
    restoreLayout<CSUndoRotate>(layout);
}
