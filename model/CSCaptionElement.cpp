#include "CSCaptionElement.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CGraphicsInterface.h"
#include "CSFrameShape.h"
#include "CSStylesheet.h"
#include "CSUndoSetString.h"
#include "LinearGradientBrush.h"
#include "PATextRootWindow.h"
#include "PathGeometry.h"
#include "StyleKeys.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>

namespace {

// The qualified keys a caption draws with, made once: drawing looks them up
// for every caption on every repaint.
struct CaptionKeys
{
    QString frameStyle = QStringLiteral("Caption.FrameStyle");
    QString frameStyleRadius = QStringLiteral("Caption.FrameStyleRadius");
    QString drawBackground = QStringLiteral("Caption.DrawBackground");
    QString backgroundColor = QStringLiteral("Caption.BackgroundColor");
    QString drawGradient = QStringLiteral("Caption.DrawGradient");
    QString gradientFillColor = QStringLiteral("Caption.GradientFillColor");
    QString gradientAngle = QStringLiteral("Caption.GradientAngle");
    QString drawShadow = QStringLiteral("Caption.DrawShadow");
    QString shadowColor = QStringLiteral("Caption.ShadowColor");
    QString shadowBlurRadius = QStringLiteral("Caption.ShadowBlurRadius");
    QString shadowXOffset = QStringLiteral("Caption.ShadowXOffset");
    QString shadowYOffset = QStringLiteral("Caption.ShadowYOffset");
    QString drawFrame = QStringLiteral("Caption.DrawFrame");
    QString frameColor = QStringLiteral("Caption.FrameColor");
    QString frameWidth = QStringLiteral("Caption.FrameWidth");
};

const CaptionKeys& keys()
{
    static const CaptionKeys table;
    return table;
}

} // namespace

CSCaptionElement::CSCaptionElement() = default;

CSCaptionElement::CSCaptionElement(const Rect& frame) : CSElement(frame)
{
    storeFrame(withMinimumSize(this->frame()));
    setMargin(kDefaultMargin);
}

CSCaptionElement::CSCaptionElement(const CSCaptionElement& other) : CSElement(other), m_text(other.m_text) {}

CSElement* CSCaptionElement::clone() const
{
    return new CSCaptionElement(*this);
}

const QString& CSCaptionElement::stylePrefix() const
{
    return StyleKeys::prefix(StyleKind::Caption);
}

Rect CSCaptionElement::withMinimumSize(const Rect& frame)
{
    Rect f = sanitized(frame);
    f.size.width = std::max(f.size.width, kMinSide);
    f.size.height = std::max(f.size.height, kMinSide);
    return f;
}

void CSCaptionElement::setFrame(const Rect& frame)
{
    CSElement::setFrame(withMinimumSize(frame));
}

Rect CSCaptionElement::textRect() const
{
    const Rect f = frame();
    const Size m = margin();
    return Rect(f.x() + m.width, f.y() + m.height, f.width() - 2.0f * m.width, f.height() - 2.0f * m.height);
}

NSBezierPath CSCaptionElement::captionPath(const CSStylesheet* stylesheet) const
{
    return captionPath(CSAttributeReader(*this, stylesheet));
}

NSBezierPath CSCaptionElement::captionPath(const CSAttributeReader& attributes) const
{
    const float r = sanitized(attributes.floatValue(keys().frameStyleRadius));
    return framePathForStyle(attributes.intValue(keys().frameStyle), frame(), r);
}

void CSCaptionElement::draw(const CSStylesheet* stylesheet, bool, float scale)
{
    CGraphicsInterface* context = CurrentContext();
    if (!context)
        return;
    const CaptionKeys& k = keys();
    const CSAttributeReader attributes(*this, stylesheet);
    auto value = [&attributes](const QString& key) -> const NSObject& { return attributes.value(key); };

    context->Save();
    // Before the caption's rotation reaches the context: the text host
    // captures the page transform and turns the text itself.
    PATextRootWindow& root = sharedTextRoot();
    root.setFrame(rotatedBounds(), angle());

    if (CSElement* source = clipSource(); source && source->isPanel() && clipsToFrame()) {
        if (std::unique_ptr<NSBezierPath> shape = source->clipPath(stylesheet))
            context->SetClip(&shape->path());
    }

    NSBezierPath path = captionPath(attributes);
    context->MultiplyTransform(rotationTransform(angle()));

    if (value(k.drawBackground).intValue() != 0) {
        context->Save();
        if (value(k.drawShadow).intValue() != 0) {
            CShadow& dropShadow = shadow();
            dropShadow.setColor(value(k.shadowColor).colorValue());
            dropShadow.setBlurRadius(value(k.shadowBlurRadius).floatValue());
            dropShadow.setOffset(Size{value(k.shadowXOffset).floatValue() * 20.0f * scale,
                                      value(k.shadowYOffset).floatValue() * 20.0f * scale});
            dropShadow.applyShadow();
        }
        const PackedColor background = value(k.backgroundColor).colorValue();
        path.setColor(background);
        path.fill();
        if (value(k.drawGradient).intValue() != 0) {
            // Gradient fills cast no shadow.
            const LinearGradientBrush brush(path.bounds(), background, value(k.gradientFillColor).colorValue(),
                                            flipAngle(value(k.gradientAngle).floatValue()));
            path.fillWithGradient(brush);
        }
        context->Restore();
    }

    if (value(k.drawFrame).intValue() != 0) {
        path.setColor(value(k.frameColor).colorValue());
        path.setLineWidth(value(k.frameWidth).floatValue());
        path.stroke();
    }

    // The text starts at the top-left of the text box; it is not centred.
    const Rect box = textRect();
    root.setLayoutSize(box.size);
    root.setText(m_text);
    root.drawAt(box.origin);

    context->Restore();
}

QStringList CSCaptionElement::styleNamesForKind(const CSStylesheet* stylesheet) const
{
    if (!stylesheet)
        return {};
    QStringList names = stylesheet->styleNames(stylePrefix());
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

void CSCaptionElement::setText(const CAttributedString& text)
{
    if (text == m_text)
        return;
    registerUndo(new CSUndoSetString(this, m_text));
    m_text = text;
    invalidateCache();
    postChanged();
}

void CSCaptionElement::setFont(const PAFont* font)
{
    if (!font)
        return;
    CAttributedString copy = m_text;
    copy.applyAttributes(0, copy.length(), font, std::nullopt, nullptr);
    setText(copy);
}

void CSCaptionElement::setTextColor(PackedColor color)
{
    CAttributedString copy = m_text;
    copy.applyAttributes(0, copy.length(), nullptr, color, nullptr);
    setText(copy);
}

void CSCaptionElement::writeToArchive(ArchiveWriter& archive) const
{
    CSElement::writeToArchive(archive);
    m_text.writeArchive(archive);
}

void CSCaptionElement::readFromArchive(ArchiveReader& archive)
{
    CSElement::readFromArchive(archive);
    m_text = CAttributedString::readArchive(archive);
    // The stored frame was read as it is: keep the caption's minimum.
    storeFrame(withMinimumSize(frame()));
}

TiXmlElement* CSCaptionElement::toXml(TiXmlNode* parent) const
{
    TiXmlElement* element = writeCommonXml(parent);
    TiXmlElement* attributes = writeSharedAttributes(element);
    appendSetting(attributes, "hmargin", NSObject(margin().width));
    appendSetting(attributes, "vmargin", NSObject(margin().height));
    m_text.writeXml(element);
    return element;
}

CSElement* CSCaptionElement::fromXml(const TiXmlElement* node, int)
{
    auto* caption = new CSCaptionElement(frameFromXml(node));
    caption->readCommonXml(node);
    const TiXmlElement* attributes = node->FirstChildElement("attributes");
    caption->readSharedAttributes(attributes);
    for (const TiXmlElement* setting = firstSetting(attributes); setting;
         setting = setting->NextSiblingElement("setting")) {
        const char* name = setting->Attribute("name");
        if (!name)
            continue;
        const bool horizontal = std::strcmp(name, "hmargin") == 0;
        if (!horizontal && std::strcmp(name, "vmargin") != 0)
            continue;
        const float amount = sanitized(NSObject::fromSettingNode(setting->FirstChild()).floatValue());
        const Size m = caption->margin();
        caption->setMargin(horizontal ? Size{amount, m.height} : Size{m.width, amount});
    }
    if (const TiXmlElement* text = node->FirstChildElement("text"))
        caption->setText(CAttributedString::fromXmlElement(text));
    return caption;
}
