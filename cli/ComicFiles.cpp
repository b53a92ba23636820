#include "ComicFiles.h"

#include "CSComic.h"
#include "DocumentPackage.h"

#include <QFile>
#include <QFileInfo>

namespace Cli {

namespace {

const QString kSalvage = QStringLiteral("salvage");

void checkReadableFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw DataError{path, QStringLiteral("no such file")};
    if (info.isDir())
        throw DataError{path, QStringLiteral("is a folder, not a comic")};
    if (!info.isReadable())
        throw DataError{path, QStringLiteral("cannot be read")};
}

void warnAboutReadProblems(const QString& path, const CSComic& comic)
{
    for (const QString& problem : comic.readProblems())
        warn(QStringLiteral("%1: %2").arg(path, problem));
}

void openDocumentFile(DocumentPackage& document, const QString& path, bool salvage)
{
    bool damaged = false;
    const auto question = [&] {
        damaged = true;
        return salvage;
    };
    if (!document.openDocument(path, question)) {
        if (damaged && !salvage)
            throw DataError{path, QStringLiteral("the document is damaged; --salvage opens what can be read")};
        throw DataError{path, QStringLiteral("cannot be opened: %1").arg(document.lastError())};
    }
    if (damaged)
        warn(QStringLiteral("%1: the document is damaged; using what could be read").arg(path));
}

CSComic* readComicDataFile(const QString& path)
{
    CSComic* comic = CSComic::comicFromFile(path);
    if (!comic)
        throw DataError{path, QStringLiteral("not a comic data file (it cannot be read as XML)")};
    DocumentPackage::addPicturesFromFolder(*comic, QFileInfo(path).absolutePath()
                                                      + QStringLiteral("/") + QLatin1String(DocumentPackage::kImagesFolder),
                                           false);
    return comic;
}

} // namespace

void ComicDeleter::operator()(CSComic* comic) const
{
    CSComic::destroy(comic);
}

Option salvageOption()
{
    return Option{kSalvage, QString(), QStringLiteral("open a damaged document as far as it reads")};
}

bool salvageRequested(const Arguments& arguments)
{
    return arguments.has(kSalvage);
}

bool isDocumentFile(const QString& path)
{
    if (DocumentPackage::isDocumentPath(path))
        return true;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == "pXnA";
}

void openIntoDocument(DocumentPackage& document, const QString& path, bool salvage)
{
    checkReadableFile(path);
    if (isDocumentFile(path))
        openDocumentFile(document, path, salvage);
    else
        document.setComic(readComicDataFile(path));
    warnAboutReadProblems(path, *document.comic());
}

ComicPointer openComic(const QString& path, bool salvage)
{
    DocumentPackage document;
    openIntoDocument(document, path, salvage);
    return ComicPointer(document.takeComic());
}

} // namespace Cli
