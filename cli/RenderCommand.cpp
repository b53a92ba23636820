#include "CliCommand.h"
#include "ComicFiles.h"
#include "PictureFiles.h"

#include "CSComic.h"
#include "PAImage.h"
#include "PageRenderer.h"

namespace {

int renderComicPage(const Cli::Arguments& arguments)
{
    const QString path = arguments.positional[0];
    const QString output = arguments.value(QStringLiteral("output"));
    if (output.isEmpty())
        throw Cli::UsageError{QStringLiteral("\"render\" needs an output file: -o OUT.png")};
    if (Cli::pictureFormatForPath(output) != "png")
        throw Cli::UsageError{QStringLiteral("cannot write \"%1\": the output must be a .png file").arg(output)};
    const int pageNumber = arguments.intValue(QStringLiteral("page"), 1, 1, 1000000);
    const int dpi = arguments.intValue(QStringLiteral("dpi"), 72, 1, 1200);

    const Cli::ComicPointer comic = Cli::openComic(path, Cli::salvageRequested(arguments));
    if (pageNumber > comic->pageCount())
        throw Cli::DataError{path, comic->pageCount() == 0
                                       ? QStringLiteral("the comic has no pages")
                                       : QStringLiteral("there is no page %1; the comic has %2")
                                             .arg(pageNumber)
                                             .arg(comic->pageCount())};
    PageRenderer renderer(*comic);
    const RefPtr<PAImage> picture = renderer.renderPage(pageNumber - 1, float(dpi), true);
    if (!picture)
        throw Cli::DataError{path, QStringLiteral("page %1 is too large to render at %2 dpi").arg(pageNumber).arg(dpi)};
    Cli::writePicture(picture->toStraightImage(), output, 100);
    return Cli::kSuccess;
}

const Cli::CliCommandRegistration registration{Cli::CliCommand{
    QStringLiteral("render"),
    QStringLiteral("FILE [--page N] [--dpi D] -o OUT.png"),
    QStringLiteral("draw a page of a comic into a PNG"),
    QStringLiteral("Draws page N of the comic FILE (from 1) at D dots per inch, as an export does: the\n"
                   "whole paper, its margins in the comic's background colour, pictures filtered for\n"
                   "the resolution. The PNG is the paper size x D / 72 pixels."),
    {
        {QStringLiteral("page"), QStringLiteral("N"), QStringLiteral("the page to draw, from 1 (default 1)")},
        {QStringLiteral("dpi"), QStringLiteral("D"), QStringLiteral("dots per inch, 1 to 1200 (default 72)")},
        {QStringLiteral("output"), QStringLiteral("OUT.png"), QStringLiteral("the PNG to write"), QLatin1Char('o')},
        Cli::salvageOption(),
    },
    1,
    1,
    renderComicPage,
}};

} // namespace
