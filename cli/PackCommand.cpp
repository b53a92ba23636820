#include "CliCommand.h"

#include "AtomicFileWriter.h"
#include "DocumentPackage.h"
#include "TarArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

// The first entry whose name relative to folder is longer than the
// archive's name field, or empty.
QString firstNameTooLong(const QString& folder)
{
    const QDir root(folder);
    QDirIterator entries(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString name = root.relativeFilePath(entries.next());
        if (QFile::encodeName(name).size() > TarArchive::kNameFieldSize)
            return name;
    }
    return QString();
}

int packDocument(const Cli::Arguments& arguments)
{
    const QString folder = arguments.positional[0];
    const QString document = arguments.positional[1];
    if (!QFileInfo(folder).isDir())
        throw Cli::DataError{folder, QStringLiteral("no such folder")};
    if (QFileInfo(document).isDir())
        throw Cli::DataError{document, QStringLiteral("is a folder")};
    if (const QString name = firstNameTooLong(folder); !name.isEmpty())
        throw Cli::DataError{folder, QStringLiteral("\"%1\" is longer than the %2 bytes an archive name may have")
                                         .arg(name)
                                         .arg(TarArchive::kNameFieldSize)};
    if (!QFileInfo(folder + u'/' + QLatin1String(DocumentPackage::kComicDataName)).isFile())
        Cli::warn(QStringLiteral("%1: holds no \"%2\"; the document will not open")
                      .arg(folder, QLatin1String(DocumentPackage::kComicDataName)));

    AtomicFileWriter writer(document);
    if (!writer.open())
        throw Cli::DataError{document, QStringLiteral("cannot be created")};
    if (!TarArchive::packFolder(folder, *writer.device()) || !writer.commit()) {
        writer.cancel();
        throw Cli::DataError{document, QStringLiteral("cannot be written (a file of the folder cannot be read, or the disk is full)")};
    }
    return Cli::kSuccess;
}

const Cli::CliCommandRegistration registration{Cli::CliCommand{
    QStringLiteral("pack"),
    QStringLiteral("FOLDER DOC"),
    QStringLiteral("pack a package folder into a document"),
    QStringLiteral("Packs FOLDER as it is into the document DOC: the archive a document is, with\n"
                   "\"ComicData.pac\", \"Images\" and \"Thumbnails\" as the folder holds them. Hidden\n"
                   "files and symbolic links are left out. An existing DOC is replaced only once the\n"
                   "new one is complete."),
    {},
    2,
    2,
    packDocument,
}};

} // namespace
