#include "NSArray.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "XmlSupport.h"

#include <tinyxml.h>

const char* NSArray::className() const { return "NSArray"; }

void NSArray::writeToArchive(ArchiveWriter& archive) const
{
    archive.writeUInt32(std::uint32_t(m_values.size()));
    for (const NSObject& value : m_values)
        value.writeToArchive(archive);
}

void NSArray::readFromArchive(ArchiveReader& archive)
{
    m_values.clear();
    // Every member takes at least its 4-byte kind code.
    const std::uint32_t count = archive.readCount(4);
    m_values.reserve(count);
    for (std::uint32_t i = 0; i < count && !archive.failed(); ++i) {
        NSObject value;
        value.readFromArchive(archive);
        m_values.push_back(std::move(value));
    }
}

bool NSArray::containsObject(const CRefCountObject* object) const
{
    for (const NSObject& value : m_values) {
        if (value.kind() == NSObject::Object && value.objectValue() == object)
            return true;
    }
    return false;
}

bool NSArray::isEqual(const NSArray& other) const
{
    return m_values == other.m_values;
}

void NSArray::writeXml(TiXmlNode* parent) const
{
    TiXmlElement* element = XmlSupport::appendElement(parent, "array");
    for (const NSObject& value : m_values)
        value.writeTypedXml(element);
}

void NSArray::readXml(const TiXmlElement* arrayElement, int depth)
{
    for (const TiXmlElement* child = arrayElement->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (!NSObject::isTypedValueElement(child))
            break;
        m_values.push_back(NSObject::fromTypedXml(child, depth));
    }
}
