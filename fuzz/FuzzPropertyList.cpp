// Property lists: page types, templates, colours, update information.
#include "NSDictionary.h"
#include "PropertyList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RefPtr<NSDictionary> dictionary(
        PropertyList::propertyListFromText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))));
    if (dictionary) {
        // What was read must write and read again.
        const QByteArray text = PropertyList::propertyListText(dictionary.get());
        RefPtr<NSDictionary> again(PropertyList::propertyListFromText(text));
        if (!again)
            __builtin_trap();
    }
    return 0;
}
