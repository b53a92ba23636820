// The localised string files: "Localizable.strings" (UTF-16) and "strings.xml".
#include "StringTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    StringTable table;
    table.readLocalizableStrings(bytes);
    table.readStringsXml(bytes);
    return 0;
}
