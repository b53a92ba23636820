// The text forms of geometry, colours and fonts, and the setting reader.
#include "NSObject.h"
#include "TextCodecs.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    pointFromString(text);
    rectFromString(text);
    colorFromString(text);
    fontFromString(text);

    TiXmlDocument document;
    if (XmlSupport::parseDocument(document, bytes)) {
        for (const TiXmlElement* element = document.FirstChildElement(); element; element = element->NextSiblingElement()) {
            NSObject value;
            value.readSetting(element);
            NSString string;
            string.readSetting(element);
            NSNumber number;
            number.readSetting(element);
            NSColor color;
            color.readSetting(element);
        }
    }
    return 0;
}
