#include "NSDictionary.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "NSArray.h"
#include "XmlSupport.h"

#include <tinyxml.h>

const char* NSDictionary::className() const { return "NSDictionary"; }

NSObject& NSDictionary::objectForKey(const QString& key)
{
    return m_entries[key];
}

const NSObject* NSDictionary::valueForKey(const QString& key) const
{
    const auto found = m_entries.find(key);
    if (found == m_entries.end() || found->second.isEmpty())
        return nullptr;
    return &found->second;
}

QStringList NSDictionary::allKeys() const
{
    QStringList keys;
    for (const auto& [key, value] : m_entries) {
        if (!value.isEmpty())
            keys.append(key);
    }
    return keys;
}

NSArray* NSDictionary::allValues() const
{
    auto* values = new NSArray;
    for (const auto& [key, value] : m_entries) {
        if (!value.isEmpty())
            values->addObject(value);
    }
    return values;
}

int NSDictionary::count() const
{
    int n = 0;
    for (const auto& entry : m_entries)
        n += entry.second.isEmpty() ? 0 : 1;
    return n;
}

bool NSDictionary::isEqual(const NSDictionary& other) const
{
    auto a = m_entries.begin();
    auto b = other.m_entries.begin();
    while (true) {
        while (a != m_entries.end() && a->second.isEmpty())
            ++a;
        while (b != other.m_entries.end() && b->second.isEmpty())
            ++b;
        if (a == m_entries.end() || b == other.m_entries.end())
            return a == m_entries.end() && b == other.m_entries.end();
        if (a->first != b->first || !a->second.isEqual(b->second))
            return false;
        ++a;
        ++b;
    }
}

void NSDictionary::writeToArchive(ArchiveWriter& archive) const
{
    archive.writeUInt32(std::uint32_t(count()));
    for (const auto& [key, value] : m_entries) {
        if (value.isEmpty())
            continue;
        archive.writeString(key);
        value.writeToArchive(archive);
    }
}

void NSDictionary::readFromArchive(ArchiveReader& archive)
{
    m_entries.clear();
    // Every entry takes at least a 4-byte key length and a 4-byte kind code.
    const std::uint32_t count = archive.readCount(8);
    for (std::uint32_t i = 0; i < count && !archive.failed(); ++i) {
        const QString key = archive.readString();
        NSObject value;
        value.readFromArchive(archive);
        if (!archive.failed())
            m_entries[key] = std::move(value);
    }
}

void NSDictionary::writeXml(TiXmlNode* parent) const
{
    TiXmlElement* element = XmlSupport::appendElement(parent, "dict");
    for (const auto& [key, value] : m_entries) {
        if (!value.writesXml())
            continue;
        XmlSupport::appendTextElement(element, "key", key);
        value.writeTypedXml(element);
    }
}

void NSDictionary::readXml(const TiXmlElement* dictElement, int depth)
{
    const TiXmlElement* keyElement = dictElement->FirstChildElement();
    while (keyElement) {
        if (!XmlSupport::namesEqualIgnoringCase(keyElement->Value(), "key"))
            break;
        const QString key = XmlSupport::elementText(keyElement);
        const TiXmlElement* valueElement = keyElement->NextSiblingElement();
        if (key.isEmpty() || !valueElement || !NSObject::isTypedValueElement(valueElement))
            break;
        m_entries[key] = NSObject::fromTypedXml(valueElement, depth);
        keyElement = valueElement->NextSiblingElement();
    }
}
