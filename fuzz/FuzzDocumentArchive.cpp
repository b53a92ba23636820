// Document files: the tar archive behind the signature, unpacked into a
// scratch folder that is emptied after every input.
#include "TarArchive.h"
#include "TemporaryRoot.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir scratch;
    const QString archive = scratch.filePath("input.comicdoc");
    const QString destination = scratch.filePath("out");
    {
        QFile file(archive);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    TarArchive::unpackArchive(archive, destination, [] { return true; });
    // Nothing may land beside the destination.
    const QStringList beside = QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : beside) {
        if (name != "input.comicdoc" && name != "out")
            __builtin_trap();
    }
    removeFolderTree(destination);
    return 0;
}
