#include "NSObject.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CRefCountObject.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "NumberText.h"
#include "PAFont.h"
#include "TextCodecs.h"
#include "Utf8.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <cmath>
#include <cstring>

using XmlSupport::namesEqualIgnoringCase;

NSObject::NSObject(std::int32_t value) : m_kind(Integer), m_int(value) {}
NSObject::NSObject(float value) : m_kind(Real), m_real(value) {}
NSObject::NSObject(double value) : m_kind(Real), m_real(NumberText::saturatedFloat(value)) {}
NSObject::NSObject(bool value) : m_kind(Boolean), m_bool(value) {}
NSObject::NSObject(const QString& value) : m_kind(String), m_string(new QString(value)) {}

NSObject::NSObject(NSArray* array) : m_kind(array ? Array : Empty), m_array(array)
{
    if (array)
        array->retain();
}

NSObject::NSObject(NSDictionary* dictionary)
    : m_kind(dictionary ? Dictionary : Empty), m_dictionary(dictionary)
{
    if (dictionary)
        dictionary->retain();
}

NSObject::NSObject(CRefCountObject* object) : m_kind(object ? Object : Empty), m_object(object)
{
    if (object)
        object->retain();
}

NSObject::NSObject(const PAFont* font) : m_kind(font ? Font : Empty), m_font(font) {}

NSObject NSObject::withColor(PackedColor color)
{
    NSObject value;
    value.m_kind = Color;
    value.m_color = color;
    return value;
}

NSObject::NSObject(const NSObject& other)
{
    copyPayload(other);
}

NSObject& NSObject::operator=(const NSObject& other)
{
    if (this != &other) {
        // Copy first: other may live inside a container this value holds.
        NSObject copy(other);
        destroyPayload();
        m_kind = copy.m_kind;
        m_int = 0;
        std::memcpy(static_cast<void*>(&m_string), static_cast<void*>(&copy.m_string), sizeof m_string);
        copy.m_kind = Empty;
    }
    return *this;
}

NSObject::NSObject(NSObject&& other) noexcept
{
    m_kind = other.m_kind;
    std::memcpy(static_cast<void*>(&m_string), static_cast<void*>(&other.m_string), sizeof m_string);
    other.m_kind = Empty;
}

NSObject& NSObject::operator=(NSObject&& other) noexcept
{
    if (this != &other) {
        NSObject taken(std::move(other));
        destroyPayload();
        m_kind = taken.m_kind;
        std::memcpy(static_cast<void*>(&m_string), static_cast<void*>(&taken.m_string), sizeof m_string);
        taken.m_kind = Empty;
    }
    return *this;
}

NSObject::~NSObject()
{
    destroyPayload();
}

void NSObject::copyPayload(const NSObject& other)
{
    m_kind = other.m_kind;
    switch (m_kind) {
    case String: m_string = new QString(*other.m_string); break;
    case Array: m_array = other.m_array; m_array->retain(); break;
    case Dictionary: m_dictionary = other.m_dictionary; m_dictionary->retain(); break;
    case Object: m_object = other.m_object; m_object->retain(); break;
    default:
        std::memcpy(static_cast<void*>(&m_string), static_cast<const void*>(&other.m_string), sizeof m_string);
        break;
    }
}

void NSObject::destroyPayload()
{
    const Kind kind = m_kind;
    m_kind = Empty;
    switch (kind) {
    case String: delete m_string; break;
    case Array: m_array->release(); break;
    case Dictionary: m_dictionary->release(); break;
    case Object: m_object->release(); break;
    default: break;
    }
}

void NSObject::clear()
{
    destroyPayload();
}

const char* NSObject::className() const { return "NSObject"; }

std::int32_t NSObject::intValue() const
{
    switch (m_kind) {
    case Integer: return m_int;
    case Real:
        if (std::isnan(m_real))
            return 0;
        if (m_real >= 2147483647.0f)
            return INT32_MAX;
        if (m_real <= -2147483648.0f)
            return INT32_MIN;
        return std::int32_t(m_real);
    case String: return NumberText::leadingInt(*m_string);
    default: return 0;
    }
}

float NSObject::floatValue() const
{
    switch (m_kind) {
    case Integer: return float(m_int);
    case Real: return m_real;
    default: return 0.0f;
    }
}

bool NSObject::boolValue() const
{
    switch (m_kind) {
    case Integer: return m_int != 0;
    case Boolean: return m_bool;
    default: return false;
    }
}

QString NSObject::stringValue() const
{
    switch (m_kind) {
    case Integer: return QString::number(m_int);
    case Real: return NumberText::formatG(m_real);
    case String: return *m_string;
    default: return QString();
    }
}

PackedColor NSObject::colorValue() const
{
    return m_kind == Color ? m_color : kOpaqueBlack;
}

NSArray* NSObject::arrayValue() const { return m_kind == Array ? m_array : nullptr; }
NSDictionary* NSObject::dictionaryValue() const { return m_kind == Dictionary ? m_dictionary : nullptr; }
CRefCountObject* NSObject::objectValue() const { return m_kind == Object ? m_object : nullptr; }
const PAFont* NSObject::fontValue() const { return m_kind == Font ? m_font : nullptr; }

bool NSObject::isEqual(const NSObject& other) const
{
    if (m_kind != other.m_kind)
        return false;
    switch (m_kind) {
    case Empty: return true;
    case Integer: return m_int == other.m_int;
    case Real: return m_real == other.m_real;
    case Boolean: return m_bool == other.m_bool;
    case String: return *m_string == *other.m_string;
    case Color: return m_color == other.m_color;
    case Array: return m_array == other.m_array || m_array->isEqual(*other.m_array);
    case Dictionary: return m_dictionary == other.m_dictionary || m_dictionary->isEqual(*other.m_dictionary);
    case Object: return m_object == other.m_object;
    case Font: return m_font == other.m_font;
    }
    return false;
}

// --- Archive form -----------------------------------------------------------

void NSObject::writeToArchive(ArchiveWriter& archive) const
{
    archive.writeInt32(m_kind);
    switch (m_kind) {
    case Integer: archive.writeInt32(m_int); break;
    case Real: archive.writeFloat(m_real); break;
    case Color: archive.writeUInt32(m_color); break;
    case Boolean: archive.writeByte(m_bool ? 1 : 0); break;
    case String: archive.writeString(*m_string); break;
    case Array: archive.writeObject(m_array); break;
    case Dictionary: archive.writeObject(m_dictionary); break;
    case Object: archive.writeObject(m_object); break;
    case Font: archive.writeString(fontStyleText(m_font)); break;
    case Empty: break;
    }
}

void NSObject::readFromArchive(ArchiveReader& archive)
{
    clear();
    const std::int32_t kind = archive.readInt32();
    if (archive.failed())
        return;
    switch (kind) {
    case Empty: break;
    case Integer: *this = NSObject(archive.readInt32()); break;
    case Real: *this = NSObject(archive.readFloat()); break;
    case Color: *this = withColor(archive.readUInt32()); break;
    case Boolean: {
        const std::uint8_t flag = archive.readByte();
        if (flag > 1)
            archive.fail();
        *this = NSObject(flag == 1);
        break;
    }
    case String: *this = NSObject(archive.readString()); break;
    case Array:
        if (auto* array = static_cast<NSArray*>(archive.readObjectOfClass("NSArray")))
            *this = NSObject(array);
        else
            archive.fail();
        break;
    case Dictionary:
        if (auto* dictionary = static_cast<NSDictionary*>(archive.readObjectOfClass("NSDictionary")))
            *this = NSObject(dictionary);
        else
            archive.fail();
        break;
    case Object:
        if (CRefCountObject* object = archive.readObject())
            *this = NSObject(object);
        break;
    case Font: {
        const QString style = archive.readString();
        if (!archive.failed())
            *this = NSObject(fontFromStyleText(style));
        break;
    }
    default: archive.fail(); break;
    }
    if (archive.failed())
        clear();
}

// --- XML forms --------------------------------------------------------------

bool NSObject::writesXml() const
{
    return m_kind != Empty && m_kind != Object;
}

namespace {

void writeColorElement(TiXmlNode* parent, PackedColor color)
{
    TiXmlElement* element = XmlSupport::appendElement(parent, "color");
    XmlSupport::setRealAttribute(element, "r", colorRed(color) / 255.0);
    XmlSupport::setRealAttribute(element, "g", colorGreen(color) / 255.0);
    XmlSupport::setRealAttribute(element, "b", colorBlue(color) / 255.0);
    XmlSupport::setRealAttribute(element, "a", colorAlpha(color) / 255.0);
}

void writeFontElement(TiXmlNode* parent, const PAFont* font)
{
    TiXmlElement* element = XmlSupport::appendElement(parent, "font");
    XmlSupport::setAttribute(element, "name", font->family());
    XmlSupport::setAttribute(element, "family", font->family());
    if (font->isItalic())
        element->SetAttribute("style", "italic");
    if (font->isBold())
        element->SetAttribute("weight", "bold");
    XmlSupport::setRealAttribute(element, "size", font->size());
}

} // namespace

void NSObject::writeTypedXml(TiXmlNode* parent) const
{
    switch (m_kind) {
    case Empty:
    case Object: break;
    case Integer: XmlSupport::appendTextElement(parent, "integer", QString::number(m_int)); break;
    case Real: XmlSupport::appendTextElement(parent, "real", NumberText::formatF(m_real)); break;
    case Boolean: XmlSupport::appendElement(parent, m_bool ? "true" : "false"); break;
    case String: XmlSupport::appendTextElement(parent, "string", *m_string); break;
    case Color: writeColorElement(parent, m_color); break;
    case Array: m_array->writeXml(parent); break;
    case Dictionary: m_dictionary->writeXml(parent); break;
    case Font: writeFontElement(parent, m_font); break;
    }
}

void NSObject::writeSettingXml(TiXmlNode* parent) const
{
    switch (m_kind) {
    case Integer: XmlSupport::appendText(parent, QString::number(m_int)); break;
    case Real: XmlSupport::appendText(parent, NumberText::formatF(m_real)); break;
    case Boolean: XmlSupport::appendText(parent, m_bool ? QStringLiteral("true") : QStringLiteral("false")); break;
    case String: XmlSupport::appendText(parent, *m_string); break;
    // Containers keep their members in the typed form: bare texts of
    // neighbouring members would run together and could not be read back.
    default: writeTypedXml(parent); break;
    }
}

PackedColor NSObject::colorFromXml(const TiXmlElement* element)
{
    auto component = [&](const char* name, double missing) {
        return colorByteFromUnit(XmlSupport::realAttribute(element, name, missing));
    };
    return packColor(component("r", 0.0), component("g", 0.0), component("b", 0.0), component("a", 1.0));
}

const PAFont* NSObject::fontFromXml(const TiXmlElement* element)
{
    QString face = XmlSupport::attribute(element, "family");
    if (!XmlSupport::hasAttribute(element, "family"))
        face = XmlSupport::attribute(element, "name");
    const double size = XmlSupport::realAttribute(element, "size", 0.0);
    const std::int32_t wholeSize = size >= 2147483647.0 ? INT32_MAX : size <= -2147483648.0 ? INT32_MIN : std::int32_t(size);
    const bool italic = XmlSupport::attribute(element, "style").compare(u"italic", Qt::CaseInsensitive) == 0;
    const bool bold = XmlSupport::attribute(element, "weight").compare(u"bold", Qt::CaseInsensitive) == 0;
    return PAFont::fontWithFamily(face, wholeSize, italic, bold);
}

bool NSObject::isTypedValueElement(const TiXmlElement* element)
{
    static const char* const names[] = {"integer", "string", "array", "dict", "true", "false", "real", "color", "font"};
    for (const char* name : names) {
        if (namesEqualIgnoringCase(element->Value(), name))
            return true;
    }
    return false;
}

NSObject NSObject::fromTypedXml(const TiXmlElement* element, int depth)
{
    const char* name = element->Value();
    if (namesEqualIgnoringCase(name, "integer"))
        return NSObject(NumberText::leadingInt(XmlSupport::elementText(element)));
    if (namesEqualIgnoringCase(name, "real"))
        return NSObject(NumberText::leadingFloat(XmlSupport::elementText(element)));
    if (namesEqualIgnoringCase(name, "string"))
        return NSObject(XmlSupport::elementText(element));
    if (namesEqualIgnoringCase(name, "true"))
        return NSObject(true);
    if (namesEqualIgnoringCase(name, "false"))
        return NSObject(false);
    if (namesEqualIgnoringCase(name, "color"))
        return withColor(colorFromXml(element));
    if (namesEqualIgnoringCase(name, "font"))
        return NSObject(fontFromXml(element));
    if (depth >= XmlSupport::kMaxNesting)
        return NSObject();
    if (namesEqualIgnoringCase(name, "array")) {
        auto* array = new NSArray;
        array->readXml(element, depth + 1);
        return NSObject(array);
    }
    if (namesEqualIgnoringCase(name, "dict")) {
        auto* dictionary = new NSDictionary;
        dictionary->readXml(element, depth + 1);
        return NSObject(dictionary);
    }
    return NSObject();
}

namespace {

// Characters that make up a number in a setting's text.
bool isNumberCharacter(QChar c)
{
    return c == u'-' || c == u'.' || c == u'e' || (c >= u'0' && c <= u'9');
}

bool isAllNumberCharacters(const QString& text)
{
    for (QChar c : text) {
        if (!isNumberCharacter(c))
            return false;
    }
    return true;
}

NSObject numberFromText(const QString& text)
{
    if (text.contains(u'.'))
        return NSObject(NumberText::leadingFloat(text));
    return NSObject(NumberText::leadingInt(text));
}

} // namespace

NSObject NSObject::fromSettingNode(const TiXmlNode* node, int depth)
{
    if (!node)
        return NSObject(QStringLiteral(" "));
    const TiXmlElement* element = node->ToElement();
    if (element && std::strcmp(element->Value(), "font") == 0)
        return NSObject(fontFromXml(element));
    if (element && std::strcmp(element->Value(), "color") == 0)
        return withColor(colorFromXml(element));
    if (std::strcmp(node->Value(), "text") == 0)
        return NSObject();
    if (element && (std::strcmp(element->Value(), "array") == 0 || std::strcmp(element->Value(), "dict") == 0))
        return fromTypedXml(element, depth);
    const QString text = fromUtf8(node->Value());
    // Trimming every number character off both ends leaves nothing exactly
    // when the text consists of them only.
    if (!isAllNumberCharacters(text))
        return NSObject(text);
    return numberFromText(text);
}

void NSObject::readSetting(const TiXmlElement* setting)
{
    *this = fromSettingNode(setting ? setting->FirstChild() : nullptr);
}

const char* NSString::className() const { return "NSString"; }

void NSString::readSetting(const TiXmlElement* setting)
{
    const TiXmlNode* node = setting ? setting->FirstChild() : nullptr;
    NSObject::operator=(NSObject(node ? fromUtf8(node->Value()) : QString()));
}

const char* NSNumber::className() const { return "NSNumber"; }

void NSNumber::readSetting(const TiXmlElement* setting)
{
    const TiXmlNode* node = setting ? setting->FirstChild() : nullptr;
    NSObject::operator=(numberFromText(node ? fromUtf8(node->Value()) : QString()));
}

const char* NSColor::className() const { return "NSColor"; }

void NSColor::readSetting(const TiXmlElement* setting)
{
    const TiXmlNode* node = setting ? setting->FirstChild() : nullptr;
    const TiXmlElement* element = node ? node->ToElement() : nullptr;
    if (element && std::strcmp(element->Value(), "color") == 0)
        NSObject::operator=(withColor(colorFromXml(element)));
}
