#include "CSBubble.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CSBalloonShapes.h"
#include "CSSpeechElement.h"
#include "CSTail.h"
#include "CSUndoSetBubbleType.h"
#include "CSUndoSetString.h"
#include "PATextRootWindow.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>

CSBubble::CSBubble() = default;

CSBubble::CSBubble(const Rect& frame, CSSpeechElement* balloon) : CSBalloonPart(frame)
{
    const Rect f = this->frame();
    m_textRect = Rect(f.x() + kTextInset, f.y() + kTextInset, f.width() - 2 * kTextInset, f.height() - 2 * kTextInset);
    if (balloon)
        setMaster(balloon);
}

CSBubble::CSBubble(const CSBubble& other)
    : CSBalloonPart(other), m_text(other.m_text), m_textRect(other.m_textRect), m_bubbleType(other.m_bubbleType)
{
}

CSElement* CSBubble::clone() const
{
    return new CSBubble(*this);
}

void CSBubble::setBubbleType(std::int32_t kind)
{
    if (kind == m_bubbleType)
        return;
    registerUndo(new CSUndoSetBubbleType(this, m_bubbleType));
    m_bubbleType = kind;
    invalidateCache();
    postChanged();
}

const CSBubble* CSBubble::previousBubble() const
{
    const CSSpeechElement* owner = balloon();
    if (!owner)
        return nullptr;
    const CSBubble* previous = nullptr;
    for (const CSBubble* bubble : owner->subBalloons()) {
        if (bubble == this)
            return previous;
        previous = bubble;
    }
    return nullptr;
}

bool CSBubble::isFirstBubble() const
{
    const CSSpeechElement* owner = balloon();
    if (!owner)
        return false;
    const std::vector<CSBubble*> bubbles = owner->subBalloons();
    return !bubbles.empty() && bubbles.front() == this;
}

NSBezierPath CSBubble::bubbleOutline(bool straight) const
{
    NSBezierPath outline = CSBalloonShapes::unitShape(m_bubbleType);
    const Rect f = frame();
    outline.transformBy(AffineTransform::scaling(f.width() * 0.01f, f.height() * 0.01f));
    outline.transformBy(AffineTransform::translation(f.x() + f.width() / 2, f.y() + f.height() / 2));
    if (isFirstBubble()) {
        for (const CSTail* tail : balloon()->tails())
            CSBalloonShapes::appendPointer(outline, f, tail->tip(), m_bubbleType, straight);
    } else if (const CSBubble* previous = previousBubble()) {
        const Rect p = previous->frame();
        CSBalloonShapes::appendPointer(outline, f, Point{p.x() + p.width() / 2, p.y() + p.height() / 2},
                                       m_bubbleType, straight);
    }
    return outline;
}

void CSBubble::drawBubbleText()
{
    const Size m = margin();
    const Rect f = frame();
    const Rect box(f.x() + m.width, f.y() + m.height, f.width() - 2 * m.width, f.height() - 2 * m.height);
    PATextRootWindow& root = sharedTextRoot();
    root.setFrame(Rect(box.x() + 3, box.y() + 3, box.width() - 6, box.height() - 6), angle());
    root.setLayoutSize(box.size);
    root.setText(m_text);
    const Rect used = root.usedTextRect();
    const float top = used.height() < box.height() ? box.y() + (box.height() - used.height()) / 2 : box.y();
    root.drawAt(Point{box.x(), top + 3});
    m_textRect = Rect(box.x() + used.x(), top, used.width(), used.height());
}

void CSBubble::setFrame(const Rect& frame)
{
    if (isLocked())
        return;
    Rect f = sanitized(frame);
    // Also catches NaN.
    if (!(f.size.width >= kMinSide))
        f.size.width = kMinSide;
    if (!(f.size.height >= kMinSide))
        f.size.height = kMinSide;
    CSBalloonPart::setFrame(f);
}

Size CSBubble::margin() const
{
    const CSSpeechElement* owner = balloon();
    if (!owner)
        return Size{0, 0};
    Size m = owner->margin();
    if (CSBalloonShapes::hasWideTextMargin(m_bubbleType))
        m.width += 0.1f * frame().width();
    return m;
}

Rect CSBubble::textRect() const
{
    const Rect f = frame();
    // Until a drawing has laid the text out, a narrow stored rectangle gives
    // way to the middle half of the frame.
    if (f.width() / 2 > m_textRect.width())
        return Rect(f.x() + f.width() / 2 - f.width() / 4, f.y() + f.height() / 2 - f.height() / 2, f.width() / 2,
                    f.height());
    return m_textRect;
}

void CSBubble::setText(const CAttributedString& text)
{
    if (text == m_text)
        return;
    registerUndo(new CSUndoSetString(this, m_text));
    m_text = text;
    invalidateCache();
    postChanged();
}

void CSBubble::setFont(const PAFont* font)
{
    if (!font)
        return;
    CAttributedString copy = m_text;
    copy.applyAttributes(0, copy.length(), font, std::nullopt, nullptr);
    setText(copy);
}

void CSBubble::setTextColor(PackedColor color)
{
    CAttributedString copy = m_text;
    copy.applyAttributes(0, copy.length(), nullptr, color, nullptr);
    setText(copy);
}

bool CSBubble::hitTest(Point local) const
{
    if (balloonGripHit(local))
        return false;
    return rectContainsPoint(frame(), local);
}

void CSBubble::writeToArchive(ArchiveWriter& archive) const
{
    CSBalloonPart::writeToArchive(archive);
    m_text.writeArchive(archive);
    archive.writeInt32(m_bubbleType);
}

void CSBubble::readFromArchive(ArchiveReader& archive)
{
    CSBalloonPart::readFromArchive(archive);
    m_text = CAttributedString::readArchive(archive);
    const std::int32_t kind = archive.readInt32();
    m_bubbleType = CSBalloonShapes::isKnownKind(kind) ? kind : CSBalloonShapes::Speech;
    const Rect f = frame();
    m_textRect = Rect(f.x() + kTextInset, f.y() + kTextInset, f.width() - 2 * kTextInset, f.height() - 2 * kTextInset);
}

TiXmlElement* CSBubble::toXml(TiXmlNode* parent) const
{
    TiXmlElement* element = writeCommonXml(parent);
    TiXmlElement* attributes = writeSharedAttributes(element);
    if (const char* name = CSBalloonShapes::kindName(m_bubbleType))
        appendSetting(attributes, "type", NSObject(QString::fromLatin1(name)));
    m_text.writeXml(element);
    return element;
}

CSElement* CSBubble::fromXml(const TiXmlElement* node, int)
{
    auto* bubble = new CSBubble(frameFromXml(node), nullptr);
    bubble->readCommonXml(node);
    const TiXmlElement* attributes = node->FirstChildElement("attributes");
    bubble->readSharedAttributes(attributes);
    for (const TiXmlElement* setting = firstSetting(attributes); setting;
         setting = setting->NextSiblingElement("setting")) {
        const char* name = setting->Attribute("name");
        if (!name || std::strcmp(name, "type") != 0)
            continue;
        const QString kindName = NSObject::fromSettingNode(setting->FirstChild()).stringValue();
        if (const auto kind = CSBalloonShapes::kindFromName(kindName))
            bubble->setBubbleType(*kind);
    }
    if (const TiXmlElement* text = node->FirstChildElement("text"))
        bubble->setText(CAttributedString::fromXmlElement(text));
    return bubble;
}
