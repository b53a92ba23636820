#include "CSSpeechElement.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CGraphicsInterface.h"
#include "CSBalloonShapes.h"
#include "CSBubble.h"
#include "CSStylesheet.h"
#include "CSTail.h"
#include "CSUndoSetFrame.h"
#include "CSUndoSetSpeechType.h"
#include "LinearGradientBrush.h"
#include "PathGeometry.h"
#include "StyleKeys.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>

namespace {

// The qualified keys a balloon draws with, made once.
struct BalloonKeys
{
    QString backgroundColor = QStringLiteral("Bubble.BackgroundColor");
    QString drawGradient = QStringLiteral("Bubble.DrawGradient");
    QString gradientFillColor = QStringLiteral("Bubble.GradientFillColor");
    QString gradientAngle = QStringLiteral("Bubble.GradientAngle");
    QString straightTail = QStringLiteral("Bubble.StraightTail");
    QString drawShadow = QStringLiteral("Bubble.DrawShadow");
    QString shadowColor = QStringLiteral("Bubble.ShadowColor");
    QString shadowBlurRadius = QStringLiteral("Bubble.ShadowBlurRadius");
    QString shadowXOffset = QStringLiteral("Bubble.ShadowXOffset");
    QString shadowYOffset = QStringLiteral("Bubble.ShadowYOffset");
    QString drawFrame = QStringLiteral("Bubble.DrawFrame");
    QString frameWidth = QStringLiteral("Bubble.FrameWidth");
    QString frameColor = QStringLiteral("Bubble.FrameColor");
};

const BalloonKeys& keys()
{
    static const BalloonKeys table;
    return table;
}

constexpr PackedColor opaque(PackedColor color)
{
    return color | 0xFF000000u;
}

Point centerOf(const Rect& r)
{
    return {r.x() + r.width() / 2, r.y() + r.height() / 2};
}

} // namespace

CSSpeechElement::CSSpeechElement()
{
    setMargin(kDefaultMargin);
}

CSSpeechElement::CSSpeechElement(const Rect& frame) : CSElement(frame)
{
    setMargin(kDefaultMargin);
}

CSSpeechElement::CSSpeechElement(const CSSpeechElement& other) : CSElement(other), m_speechType(other.m_speechType) {}

CSElement* CSSpeechElement::clone() const
{
    return new CSSpeechElement(*this);
}

const QString& CSSpeechElement::stylePrefix() const
{
    return StyleKeys::prefix(StyleKind::Bubble);
}

QStringList CSSpeechElement::styleNamesForKind(const CSStylesheet* stylesheet) const
{
    if (!stylesheet)
        return {};
    QStringList names = stylesheet->styleNames(stylePrefix());
    std::sort(names.begin(), names.end());
    return names;
}

// --- Kind ----------------------------------------------------------------------

void CSSpeechElement::restoreSpeechType(std::int32_t kind)
{
    registerUndo(new CSUndoSetSpeechType(this, m_speechType));
    m_speechType = kind;
    invalidateCache();
    postChanged();
}

void CSSpeechElement::setSpeechType(std::int32_t kind)
{
    UndoGroup group(undoManager());
    restoreSpeechType(kind);
    for (CSBubble* bubble : subBalloons())
        bubble->setBubbleType(kind);
    postChanged();
}

// --- Parts -----------------------------------------------------------------------

std::vector<CSBubble*> CSSpeechElement::subBalloons() const
{
    std::vector<CSBubble*> bubbles;
    for (CSElement* child : children()) {
        if (auto* bubble = dynamic_cast<CSBubble*>(child))
            bubbles.push_back(bubble);
    }
    return bubbles;
}

std::vector<CSTail*> CSSpeechElement::tails() const
{
    std::vector<CSTail*> result;
    for (CSElement* child : children()) {
        if (auto* tail = dynamic_cast<CSTail*>(child))
            result.push_back(tail);
    }
    return result;
}

void CSSpeechElement::addChild(CSElement* element)
{
    if (!element)
        return;
    UndoGroup group(undoManager());
    element->setMaster(this);
    CSElement::addChild(element);
}

void CSSpeechElement::removeChild(CSElement* element)
{
    if (!canRemovePart(element))
        return;
    CSElement::removeChild(element);
}

bool CSSpeechElement::canRemovePart(const CSElement* element) const
{
    const std::vector<CSBubble*> bubbles = subBalloons();
    return !(bubbles.size() == 1 && bubbles.front() == element);
}

bool CSSpeechElement::hasSingleBubble() const
{
    return childCount() <= 2 && subBalloons().size() == 1;
}

CAttributedString CSSpeechElement::text() const
{
    const std::vector<CSBubble*> bubbles = subBalloons();
    return bubbles.empty() ? CAttributedString() : bubbles.front()->text();
}

void CSSpeechElement::setText(const CAttributedString& text)
{
    const std::vector<CSBubble*> bubbles = subBalloons();
    if (!bubbles.empty())
        bubbles.front()->setText(text);
}

void CSSpeechElement::setFont(const PAFont* font)
{
    UndoGroup group(undoManager());
    for (CSElement* child : children())
        child->setFont(font);
}

void CSSpeechElement::setTextColor(PackedColor color)
{
    UndoGroup group(undoManager());
    for (CSElement* child : children())
        child->setTextColor(color);
}

// --- Geometry ----------------------------------------------------------------------

Rect CSSpeechElement::frame() const
{
    bool first = true;
    Rect bounds;
    auto add = [&](const Rect& r) {
        bounds = first ? r : unionRect(bounds, r);
        first = false;
    };
    for (const CSTail* tail : tails())
        add(Rect(tail->tip().x, tail->tip().y, 0.5f, 0.5f));
    for (const CSBubble* bubble : subBalloons())
        add(bubble->frame());
    if (first)
        bounds = Rect();
    return insetRect(bounds, -kFrameRim, -kFrameRim);
}

void CSSpeechElement::setFrame(const Rect& requested)
{
    if (isLocked())
        return;
    Rect target = sanitized(requested);
    // The rim alone is 2 x kFrameRim wide: no smaller frame can be reached.
    if (!(target.size.width >= 2 * kFrameRim))
        target.size.width = 2 * kFrameRim;
    if (!(target.size.height >= 2 * kFrameRim))
        target.size.height = 2 * kFrameRim;
    const Rect current = frame();
    if (target == current)
        return;
    UndoGroup group(undoManager());
    postChanged();
    registerUndo(new CSUndoSetFrame(this, current));
    const float sx = target.width() / current.width();
    const float sy = target.height() / current.height();
    const Point from = centerOf(current), to = centerOf(target);
    auto map = [&](Point p) { return Point{(p.x - from.x) * sx + to.x, (p.y - from.y) * sy + to.y}; };
    for (CSTail* tail : tails()) {
        const Rect f = tail->frame();
        tail->setFrame(Rect(map(f.origin), f.size));
    }
    for (CSBubble* bubble : subBalloons()) {
        const Rect f = bubble->frame();
        bubble->setFrame(Rect(map(f.origin), Size{f.width() * sx, f.height() * sy}));
    }
    postChanged();
}

void CSSpeechElement::resizeByHandle(Size delta, int handle)
{
    UndoGroup group(undoManager());
    CSElement::resizeByHandle(delta, handle);
}

bool CSSpeechElement::hitTest(Point local) const
{
    const Point c = centerOf(frame());
    const float half = kGripSide / 2;
    return rectContainsPoint(Rect(c.x - half, c.y - half, kGripSide, kGripSide), local);
}

bool CSSpeechElement::isClipped() const
{
    const CSElement* source = clipSource();
    return clipsToFrame() && source && source->isPanel() && !source->isLettering();
}

// --- Drawing -------------------------------------------------------------------------

NSBezierPath CSSpeechElement::mergedOutline(bool straightTails) const
{
    NSBezierPath merged;
    for (const CSBubble* bubble : subBalloons())
        merged.appendPath(bubble->bubbleOutline(straightTails));
    return merged;
}

// One merged outline, drawn in this order: the shadowed fill, the frame
// stroke (one unit narrower than the frame width), a second fill that covers
// the inner half of the frame and every frame line inside the united shape,
// so that only the outer contour keeps a frame, then the gradient. The
// shadow is cast once, by the fill (a shadowed stroke as well would darken
// the rim twice). Under a dashed or translucent frame the stroke is first
// laid in the background colour, so that the gaps and the see-through frame
// show the balloon and not the page. Steps whose pixels a later step covers
// entirely are left out: without a shadow the first fill is the second's.
void CSSpeechElement::draw(const CSStylesheet* stylesheet, bool, float scale)
{
    CGraphicsInterface* context = CurrentContext();
    if (!context)
        return;
    const BalloonKeys& k = keys();
    const CSAttributeReader attributes(*this, stylesheet);
    const PackedColor background = opaque(attributes.colorValue(k.backgroundColor));
    NSBezierPath merged = mergedOutline(attributes.boolValue(k.straightTail));
    merged.setColor(background);

    context->Save();
    const bool clipped = isClipped();
    if (clipped) {
        if (std::unique_ptr<NSBezierPath> shape = clipSource()->clipPath(stylesheet))
            context->SetClip(&shape->path());
    }

    const bool framed = attributes.boolValue(k.drawFrame);
    if (attributes.boolValue(k.drawShadow)) {
        context->Save();
        CShadow& dropShadow = shadow();
        dropShadow.setColor(attributes.colorValue(k.shadowColor));
        dropShadow.setBlurRadius(attributes.floatValue(k.shadowBlurRadius));
        dropShadow.setOffset(Size{attributes.floatValue(k.shadowXOffset) * 20.0f * scale,
                                  attributes.floatValue(k.shadowYOffset) * 20.0f * scale});
        dropShadow.applyShadow();
        merged.fill();
        context->Restore();
    }

    if (framed) {
        // NaN and widths of 1 or less stroke a hairline.
        const float width = sanitized(attributes.floatValue(k.frameWidth) - 1.0f);
        merged.setLineWidth(width > 0.0f ? width : 0.0f);
        const PackedColor frameColor = attributes.colorValue(k.frameColor);
        const bool dashed = m_speechType == CSBalloonShapes::Whisper;
        if (dashed || colorAlpha(frameColor) != 255)
            merged.stroke();
        merged.setColor(frameColor);
        if (dashed)
            merged.setDash(5.0f, 5.0f);
        merged.stroke();
        merged.clearDash();
        merged.setColor(background);
    }
    merged.fill();

    if (attributes.boolValue(k.drawGradient)) {
        const LinearGradientBrush brush(merged.bounds(), background,
                                        opaque(attributes.colorValue(k.gradientFillColor)),
                                        flipAngle(attributes.floatValue(k.gradientAngle)));
        merged.fillWithGradient(brush);
    }

    for (CSBubble* bubble : subBalloons())
        bubble->drawBubbleText();

    if (clipped)
        context->SetClip(nullptr);
    context->Restore();
}

// --- Storage ---------------------------------------------------------------------------

void CSSpeechElement::writeToArchive(ArchiveWriter& archive) const
{
    CSElement::writeToArchive(archive);
    archive.writeInt32(m_speechType);
}

void CSSpeechElement::readFromArchive(ArchiveReader& archive)
{
    CSElement::readFromArchive(archive);
    const std::int32_t kind = archive.readInt32();
    m_speechType = CSBalloonShapes::isKnownKind(kind) ? kind : CSBalloonShapes::Speech;
}

TiXmlElement* CSSpeechElement::toXml(TiXmlNode* parent) const
{
    // The common form, with the stored frame instead of the computed one and
    // without children: the parts are elements of the page of their own.
    TiXmlElement* element = writeCommonXml(parent);
    const Rect stored = storedFrame();
    XmlSupport::setRealAttribute(element, "x", stored.x());
    XmlSupport::setRealAttribute(element, "y", stored.y());
    XmlSupport::setRealAttribute(element, "w", stored.width());
    XmlSupport::setRealAttribute(element, "h", stored.height());
    if (TiXmlElement* elements = element->FirstChildElement("elements"))
        element->RemoveChild(elements);
    TiXmlElement* attributes = writeSharedAttributes(element);
    appendSetting(attributes, "hmargin", NSObject(margin().width));
    appendSetting(attributes, "vmargin", NSObject(margin().height));
    if (const char* name = CSBalloonShapes::kindName(m_speechType))
        appendSetting(attributes, "type", NSObject(QString::fromLatin1(name)));
    return element;
}

CSElement* CSSpeechElement::fromXml(const TiXmlElement* node, int)
{
    auto* balloon = new CSSpeechElement(frameFromXml(node));
    balloon->readCommonXml(node);
    const TiXmlElement* attributes = node->FirstChildElement("attributes");
    balloon->readSharedAttributes(attributes);
    for (const TiXmlElement* setting = firstSetting(attributes); setting;
         setting = setting->NextSiblingElement("setting")) {
        const char* name = setting->Attribute("name");
        if (!name)
            continue;
        const NSObject value = NSObject::fromSettingNode(setting->FirstChild());
        if (std::strcmp(name, "type") == 0) {
            if (const auto kind = CSBalloonShapes::kindFromName(value.stringValue()))
                balloon->setSpeechType(*kind);
            continue;
        }
        const bool horizontal = std::strcmp(name, "hmargin") == 0;
        if (!horizontal && std::strcmp(name, "vmargin") != 0)
            continue;
        const float amount = sanitized(value.floatValue());
        const Size m = balloon->margin();
        balloon->setMargin(horizontal ? Size{amount, m.height} : Size{m.width, amount});
    }
    return balloon;
}
