// Stylesheet files (".comicstl"): read, write, and read again.
#include "CSStylesheet.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TiXmlDocument document;
    if (!XmlSupport::parseDocument(document, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))))
        return 0;
    RefPtr<CSStylesheet> sheet(CSStylesheet::stylesheetFromXml(document.RootElement()));
    if (sheet) {
        TiXmlDocument written;
        sheet->writeXml(&written);
        RefPtr<CSStylesheet> again(CSStylesheet::stylesheetFromXml(written.RootElement()));
        if (!again)
            __builtin_trap();
    }
    UndoableObject::clearDestructionRecord();
    return 0;
}
