#include "CliCommand.h"
#include "ComicFiles.h"

#include "DocumentPackage.h"

namespace {

int resaveDocument(const Cli::Arguments& arguments)
{
    const QString input = arguments.positional[0];
    const QString output = arguments.positional[1];
    if (!DocumentPackage::isDocumentPath(output))
        throw Cli::UsageError{QStringLiteral("cannot write \"%1\": the output must be a .comicdoc file").arg(output)};
    DocumentPackage document;
    Cli::openIntoDocument(document, input, Cli::salvageRequested(arguments));
    if (!document.saveDocument(output))
        throw Cli::DataError{output, QStringLiteral("cannot be saved: %1").arg(document.lastError())};
    return Cli::kSuccess;
}

const Cli::CliCommandRegistration registration{Cli::CliCommand{
    QStringLiteral("resave"),
    QStringLiteral("FILE OUT.comicdoc [--salvage]"),
    QStringLiteral("open a comic and save it as a document"),
    QStringLiteral("Opens the document or comic data file FILE and saves it to OUT.comicdoc as the\n"
                   "program saves: the comic data, the pictures its pages use and the page\n"
                   "thumbnails. OUT may be FILE itself; it is replaced only once the new document is\n"
                   "complete. A comic data file's pictures come from the folder \"Images\" beside it."),
    {Cli::salvageOption()},
    2,
    2,
    resaveDocument,
}};

} // namespace
