// The element kinds a comic data file may name, by their "type".

#include "CSBubble.h"
#include "CSCaptionElement.h"
#include "CSCell.h"
#include "CSElement.h"
#include "CSSFXElement.h"
#include "CSSpeechElement.h"
#include "CSTail.h"
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
    {"panel", &CSCell::fromXml},
    {"caption", &CSCaptionElement::fromXml},
    {"lettering", &CSSFXElement::fromXml},
    {"balloon", &CSSpeechElement::fromXml},
    {"subballoon", &CSBubble::fromXml},
    {"balloontail", &CSTail::fromXml},
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
