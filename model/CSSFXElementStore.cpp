// Lettering's stored forms: the XML form with "points" and "chars", and the
// archive form of the clipboard.

#include "CSSFXElement.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CSSFXChar.h"
#include "NumberText.h"
#include "TextCodecs.h"
#include "TextFormats.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

const PAFont* withSaneSize(const PAFont* font)
{
    if (!font)
        return nullptr;
    return font->withSize(std::clamp(font->size(), kMinFontSize, kMaxFontSize));
}

// A setting's value as text, exactly as written: "007", "..." or "a  b"
// stay texts, and the spaces of CDATA sections are kept.
QString settingText(const TiXmlElement* setting)
{
    return XmlSupport::joinedText(setting);
}

} // namespace

// --- XML -------------------------------------------------------------------------

TiXmlElement* CSSFXElement::toXml(TiXmlNode* parent) const
{
    TiXmlElement* element = writeCommonXml(parent);
    // The letters are not elements of the file: "chars" keeps their places.
    if (TiXmlElement* elements = element->FirstChildElement("elements"))
        element->RemoveChild(elements);

    TiXmlElement* attributes = writeSharedAttributes(element);
    TiXmlElement* text = XmlSupport::appendElement(attributes, "setting");
    XmlSupport::setAttribute(text, "name", QStringLiteral("text"));
    XmlSupport::appendCData(text, m_text);
    if (m_font)
        appendSetting(attributes, "font", NSObject(m_font));

    TiXmlElement* points = XmlSupport::appendElement(element, "points");
    for (const Point& p : m_envelope) {
        TiXmlElement* point = XmlSupport::appendElement(points, "point");
        XmlSupport::setRealAttribute(point, "x", p.x);
        XmlSupport::setRealAttribute(point, "y", p.y);
    }

    TiXmlElement* chars = XmlSupport::appendElement(element, "chars");
    for (int i = 0; i < childCount(); ++i) {
        const Rect bounds = letterAt(i)->outline().bounds();
        TiXmlElement* letter = XmlSupport::appendElement(chars, "char");
        XmlSupport::setRealAttribute(letter, "x", bounds.x());
        XmlSupport::setRealAttribute(letter, "y", bounds.y());
        XmlSupport::setRealAttribute(letter, "w", bounds.width());
        XmlSupport::setRealAttribute(letter, "h", bounds.height());
        XmlSupport::setIntAttribute(letter, "index", i);
    }
    return element;
}

CSElement* CSSFXElement::fromXml(const TiXmlElement* node, int)
{
    auto* lettering = new CSSFXElement(frameFromXml(node));
    // The angle comes with the common part, before the lock of the
    // attributes: a locked lettering would refuse it afterwards.
    lettering->readCommonXml(node);
    if (const TiXmlElement* attributes = node->FirstChildElement("attributes")) {
        lettering->readSharedAttributes(attributes);
        lettering->readLetteringAttributes(attributes);
    }
    lettering->readEnvelope(node->FirstChildElement("points"));
    lettering->readLetterPositions(node->FirstChildElement("chars"));
    return lettering;
}

void CSSFXElement::readLetteringAttributes(const TiXmlElement* attributes)
{
    QString text;
    const PAFont* font = nullptr;
    QString description;
    std::optional<int> fontSize;
    for (const TiXmlElement* setting = firstSetting(attributes); setting;
         setting = setting->NextSiblingElement("setting")) {
        const char* name = setting->Attribute("name");
        if (!name)
            continue;
        if (std::strcmp(name, "text") == 0) {
            text = settingText(setting);
        } else if (std::strcmp(name, "font") == 0) {
            const TiXmlElement* value = setting->FirstChildElement();
            if (value && std::strcmp(value->Value(), "font") == 0)
                font = withSaneSize(NSObject::fontFromXml(value));
            else
                description = settingText(setting).trimmed();
        } else if (std::strcmp(name, "fontSize") == 0) {
            bool found = false;
            const double size = NumberText::leadingReal(settingText(setting).trimmed(), &found);
            fontSize = !found || std::isnan(size) ? kDefaultFontSize
                                                  : int(std::clamp(size, double(kMinFontSize), double(kMaxFontSize)));
        }
    }
    if (font) {
        if (!text.isEmpty())
            setTextAndFont(text, font);
    } else if (fontSize && !description.isEmpty()) {
        setTextAndFont(text, PAFont::fontWithFamily(description, *fontSize));
    } else {
        const PAFont* described = description.isEmpty() ? nullptr : withSaneSize(fontFromString(description).font());
        if (!text.isEmpty())
            setTextAndFont(text, described);
    }
}

void CSSFXElement::readEnvelope(const TiXmlElement* points)
{
    if (!points)
        return;
    // The envelope has six points; further ones are ignored.
    std::size_t i = 0;
    for (const TiXmlElement* point = points->FirstChildElement("point"); point && i < m_envelope.size();
         point = point->NextSiblingElement("point"), ++i)
        m_envelope[i] = Point{sanitized(XmlSupport::realAttribute(point, "x")),
                              sanitized(XmlSupport::realAttribute(point, "y"))};
}

void CSSFXElement::readLetterPositions(const TiXmlElement* chars)
{
    if (!chars)
        return;
    for (const TiXmlElement* entry = chars->FirstChildElement("char"); entry;
         entry = entry->NextSiblingElement("char")) {
        CSSFXChar* letter = letterAt(XmlSupport::intAttribute(entry, "index"));
        if (!letter)
            continue;
        const Rect bounds = letter->outline().bounds();
        letter->moveBy(Size{sanitized(XmlSupport::realAttribute(entry, "x") - bounds.x()),
                            sanitized(XmlSupport::realAttribute(entry, "y") - bounds.y())});
    }
}

// --- Archive --------------------------------------------------------------------------

void CSSFXElement::writeToArchive(ArchiveWriter& archive) const
{
    CSElement::writeToArchive(archive);
    for (const Point& p : m_envelope) {
        archive.writeFloat(p.x);
        archive.writeFloat(p.y);
    }
    archive.writeString(fontStyleText(m_font));
    archive.writeString(m_text);
}

void CSSFXElement::readFromArchive(ArchiveReader& archive)
{
    CSElement::readFromArchive(archive);
    for (Point& p : m_envelope) {
        const float x = archive.readFloat();
        const float y = archive.readFloat();
        p = Point{sanitized(x), sanitized(y)};
    }
    m_font = withSaneSize(fontFromStyleText(archive.readString()));
    QString text = archive.readString();
    if (text.size() > kMaxTextLength)
        text.truncate(kMaxTextLength);
    m_text = text;
}
