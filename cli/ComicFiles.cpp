#include "ComicFiles.h"

#include "CSComic.h"
#include "CliCommand.h"

#include <QFileInfo>

namespace Cli {

void ComicDeleter::operator()(CSComic* comic) const
{
    CSComic::destroy(comic);
}

ComicPointer openComic(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw DataError{path, QStringLiteral("no such file")};
    if (info.isDir())
        throw DataError{path, QStringLiteral("is a folder, not a comic")};
    if (!info.isReadable())
        throw DataError{path, QStringLiteral("cannot be read")};
    ComicPointer comic(CSComic::comicFromFile(path));
    if (!comic)
        throw DataError{path, QStringLiteral("not a comic data file (it cannot be read as XML)")};
    for (const QString& problem : comic->readProblems())
        warn(QStringLiteral("%1: %2").arg(path, problem));
    return comic;
}

} // namespace Cli
