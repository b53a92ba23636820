// The element kinds a comic data file may name, by their "type".

#include "CSCaptionElement.h"
#include "CSElement.h"
#include "CSImageElement.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <cstring>

namespace {

using Reader = CSElement* (*)(const TiXmlElement* node, int depth);

struct KindReader
{
    const char* type;
    Reader read;
};

// Types are compared exactly.
constexpr KindReader kReaders[] = {
    {"caption", &CSCaptionElement::fromXml},
    {"image", &CSImageElement::fromXml},
};

} // namespace

CSElement* CSElement::elementFromXml(const TiXmlElement* node, int depth)
{
    if (!node || depth > kMaxXmlDepth)
        return nullptr;
    const char* type = node->Attribute("type");
    if (!type)
        return nullptr;
    for (const KindReader& reader : kReaders) {
        if (std::strcmp(reader.type, type) == 0)
            return reader.read(node, depth);
    }
    return nullptr;
}
