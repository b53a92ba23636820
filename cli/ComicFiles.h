#pragma once

#include <QString>

#include <memory>

class CSComic;

// Opening the comics the commands work on. Failures are thrown as
// Cli::DataError naming the file; what a damaged file had to leave out is
// reported as warnings.
namespace Cli {

struct ComicDeleter
{
    void operator()(CSComic* comic) const;
};
using ComicPointer = std::unique_ptr<CSComic, ComicDeleter>;

// A comic data file; its pictures are looked up in the folder "Images"
// beside it, as in a document package.
ComicPointer openComic(const QString& path);

} // namespace Cli
