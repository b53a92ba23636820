// The archive form of values, as it arrives in clipboard and drag data.
#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "NSObject.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ArchiveReader reader(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    NSObject value;
    value.readFromArchive(reader);
    if (!reader.failed()) {
        ArchiveWriter writer;
        value.writeToArchive(writer);
        ArchiveReader again(writer.data());
        NSObject copy;
        copy.readFromArchive(again);
        if (again.failed())
            __builtin_trap();
    }
    return 0;
}
