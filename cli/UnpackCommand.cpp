#include "CliCommand.h"
#include "ComicFiles.h"

#include "TarArchive.h"
#include "TemporaryRoot.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isEmptyFolder(const QString& path)
{
    return QDir(path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// Takes back what a refused unpacking wrote: the folder it made, or the
// contents of the empty folder it was given.
void removeUnpacked(const QString& folder, bool folderExisted)
{
    if (!folderExisted) {
        removeFolderTree(folder);
        return;
    }
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        removeFolderTree(dir.filePath(name));
}

int unpackDocument(const Cli::Arguments& arguments)
{
    const QString document = arguments.positional[0];
    const QString folder = arguments.positional[1];
    const bool salvage = Cli::salvageRequested(arguments);
    const QFileInfo input(document);
    if (!input.isFile())
        throw Cli::DataError{document, input.exists() ? QStringLiteral("is not a file") : QStringLiteral("no such file")};
    const QFileInfo target(folder);
    const bool existed = target.exists() || target.isSymLink();
    if (existed && (!target.isDir() || target.isSymLink() || !isEmptyFolder(folder)))
        throw Cli::DataError{folder, QStringLiteral("exists and is not an empty folder")};

    bool damaged = false;
    const auto question = [&] {
        damaged = true;
        return salvage;
    };
    if (!TarArchive::unpackArchive(document, folder, question)) {
        removeUnpacked(folder, existed);
        throw Cli::DataError{document, damaged ? QStringLiteral("damaged or not a document; --salvage keeps what can be read")
                                               : QStringLiteral("cannot be unpacked")};
    }
    if (damaged)
        Cli::warn(QStringLiteral("%1: damaged; kept what could be read").arg(document));
    return Cli::kSuccess;
}

const Cli::CliCommandRegistration registration{Cli::CliCommand{
    QStringLiteral("unpack"),
    QStringLiteral("DOC FOLDER [--salvage]"),
    QStringLiteral("unpack a document into a package folder"),
    QStringLiteral("Unpacks the document DOC as it is into FOLDER, which must not exist or be empty.\n"
                   "Names that would lead outside FOLDER, links and devices are refused. A damaged\n"
                   "document is refused and nothing is left, unless --salvage keeps what could be read."),
    {Cli::salvageOption()},
    2,
    2,
    unpackDocument,
}};

} // namespace
