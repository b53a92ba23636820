#include "CliCommand.h"
#include "ComicFiles.h"

#include "CImageFile_Exporter.h"
#include "CSComic.h"
#include "ExportProgress.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace {

using Outcome = CImageFile_Exporter::Outcome;

volatile std::sig_atomic_t interrupted = 0;

void noteInterrupt(int) { interrupted = 1; }

// While an export runs, Ctrl-C (or a polite kill) stops it after the page
// being written, so that it can remove what it wrote instead of leaving half
// a folder behind.
class InterruptGuard
{
public:
    InterruptGuard()
    {
        interrupted = 0;
        struct sigaction action = {};
        action.sa_handler = noteInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_oldInterrupt);
        sigaction(SIGTERM, &action, &m_oldTerminate);
    }
    ~InterruptGuard()
    {
        sigaction(SIGINT, &m_oldInterrupt, nullptr);
        sigaction(SIGTERM, &m_oldTerminate, nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction m_oldInterrupt = {};
    struct sigaction m_oldTerminate = {};
};

// A line per page on stderr for a person watching; nothing when stderr goes
// to a file or a pipe.
class TerminalProgress : public ExportProgress
{
public:
    explicit TerminalProgress(const CExporter& exporter)
        : m_exporter(exporter), m_shown(::isatty(STDERR_FILENO) == 1)
    {
    }

    void start(const QString&, int steps) override { m_steps = steps; }
    void advance(int step) override
    {
        if (m_shown)
            Cli::printError(QStringLiteral("exporting page %1 (%2 of %3)\n")
                                .arg(m_exporter.firstPage() + step - 1)
                                .arg(step)
                                .arg(m_steps));
    }
    bool cancelRequested() const override { return interrupted != 0; }
    void close() override { std::fflush(stderr); }

private:
    const CExporter& m_exporter;
    const bool m_shown;
    int m_steps = 0;
};

// "FROM-TO" or a single page "N", page numbers from 1.
void readPageRange(const QString& text, CImageFile_Exporter::Choices& choices)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,9})\\s*(?:-\\s*(\\d{1,9})\\s*)?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    const int from = match.hasMatch() ? match.captured(1).toInt() : 0;
    const int to = match.hasCaptured(2) ? match.captured(2).toInt() : from;
    if (from < 1 || to < 1)
        throw Cli::UsageError{
            QStringLiteral("\"--pages\" needs page numbers from 1 as FROM-TO or N, not \"%1\"").arg(text)};
    choices.allPages = false;
    choices.fromPage = from;
    choices.toPage = to;
}

Cli::DataError failureOf(const CImageFile_Exporter& exporter, const QString& comicPath)
{
    const int dpi = exporter.choices().dotsPerInch;
    switch (exporter.outcome()) {
    case Outcome::NoPages:
        return {comicPath, QStringLiteral("the comic has no pages")};
    case Outcome::DestinationExists:
        return {exporter.failedPath(), QStringLiteral("already exists; nothing was written")};
    case Outcome::FolderNotCreated:
        return {exporter.failedPath(), QStringLiteral("the folder cannot be created")};
    case Outcome::PageNotRendered:
        return {comicPath, QStringLiteral("page %1 is too large to render at %2 dpi; nothing was kept")
                               .arg(exporter.failedPage())
                               .arg(dpi)};
    case Outcome::FileNotWritten:
        return {exporter.failedPath(), QStringLiteral("cannot be written; nothing was kept")};
    case Outcome::Cancelled:
        return {comicPath, QStringLiteral("interrupted; nothing was kept")};
    case Outcome::UnsupportedType:
    case Outcome::Written:
        break;
    }
    return {comicPath, QStringLiteral("the export failed")};
}

int exportComicPages(const Cli::Arguments& arguments)
{
    const QString comicPath = arguments.positional[0];
    CImageFile_Exporter::Choices choices;
    choices.chosenFile = arguments.positional[1];
    if (!CImageFile_Exporter::isExportableExtension(QFileInfo(choices.chosenFile).suffix()))
        throw Cli::UsageError{
            QStringLiteral("cannot export to \"%1\": the name must end in .bmp, .jpg, .jpeg, .gif, .tif, .tiff or .png")
                .arg(choices.chosenFile)};
    if (CImageFile_Exporter::folderForChosenFile(choices.chosenFile).isEmpty())
        throw Cli::UsageError{QStringLiteral("\"%1\" names no folder to export into").arg(choices.chosenFile)};
    choices.dotsPerInch =
        arguments.intValue(QStringLiteral("dpi"), CImageFile_Exporter::kDefaultDotsPerInch, 1, 1200);
    choices.qualitySlider = arguments.intValue(QStringLiteral("quality"), CImageFile_Exporter::kDefaultQualitySlider,
                                               CImageFile_Exporter::kMinQualitySlider,
                                               CImageFile_Exporter::kMaxQualitySlider);
    if (arguments.has(QStringLiteral("pages")))
        readPageRange(arguments.value(QStringLiteral("pages")), choices);

    const Cli::ComicPointer comic = Cli::openComic(comicPath);
    CImageFile_Exporter exporter;
    exporter.setChoices(choices);
    TerminalProgress progress(exporter);
    exporter.setProgress(&progress);
    bool written = false;
    {
        InterruptGuard guard;
        written = exporter.exportComic(*comic, QFileInfo(comicPath).completeBaseName());
    }
    if (!written)
        throw failureOf(exporter, comicPath);
    for (const QString& file : exporter.writtenFiles())
        Cli::printOut(file + QLatin1Char('\n'));
    return Cli::kSuccess;
}

const Cli::CliCommandRegistration registration{Cli::CliCommand{
    QStringLiteral("export"),
    QStringLiteral("FILE OUT.EXT [--dpi D] [--pages FROM-TO] [--quality Q]"),
    QStringLiteral("write the pages of a comic as picture files"),
    QStringLiteral("Writes each page of the comic FILE as OUT/Page_<n>.EXT, a new folder named OUT\n"
                   "beside OUT.EXT, drawn as the program exports: BMP (24 bits), JPEG, GIF, TIFF or\n"
                   "PNG by EXT, with the resolution recorded where the type has a field for it. The\n"
                   "range is kept inside the comic (2-99 of three pages writes 2 and 3; 3-1 writes 3).\n"
                   "An existing OUT is refused and left untouched; a failed export keeps nothing. The\n"
                   "files written are listed on stdout; stderr shows each page when it is a terminal."),
    {
        {QStringLiteral("dpi"), QStringLiteral("D"), QStringLiteral("dots per inch, 1 to 1200 (default 96)")},
        {QStringLiteral("pages"), QStringLiteral("FROM-TO"), QStringLiteral("the pages to write, from 1 (default all)")},
        {QStringLiteral("quality"), QStringLiteral("Q"),
         QStringLiteral("JPEG quality 2 to 10, times ten, for .jpg only (default 8)")},
    },
    2,
    2,
    exportComicPages,
}};

} // namespace
