#pragma once

#include "CliCommand.h"

#include <QString>

#include <memory>

class CSComic;
class DocumentPackage;

// Opening the comics the commands work on: documents (".comicdoc", or any
// file that starts like one) and comic data files. Failures are thrown as
// Cli::DataError naming the file; what a damaged file had to leave out is
// reported as warnings.
namespace Cli {

struct ComicDeleter
{
    void operator()(CSComic* comic) const;
};
using ComicPointer = std::unique_ptr<CSComic, ComicDeleter>;

// "--salvage": every command that reads a document offers it. A damaged
// document is opened as far as it reads only with it; without, it is refused.
Option salvageOption();
bool salvageRequested(const Arguments& arguments);

// Whether the file is a document rather than a comic data file.
bool isDocumentFile(const QString& path);

// A document or a comic data file. The pictures of a comic data file are
// looked up in the folder "Images" beside it, as in a document package.
ComicPointer openComic(const QString& path, bool salvage = false);
// The same, with the comic given to document (which then saves it).
void openIntoDocument(DocumentPackage& document, const QString& path, bool salvage);

} // namespace Cli
