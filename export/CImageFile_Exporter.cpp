#include "CImageFile_Exporter.h"

#include "CSComic.h"
#include "GifWriter.h"
#include "PAImage.h"
#include "Resources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList& exportableExtensions()
{
    static const QStringList extensions{
        QStringLiteral("bmp"),  QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),
        QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("tif"),  QStringLiteral("tiff"),
        QStringLiteral("png"),
    };
    return extensions;
}

bool sameExtension(const QString& extension, const char* name)
{
    return extension.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

} // namespace

QString CImageFile_Exporter::identifier() const { return QStringLiteral("ImageFile_Exporter"); }

QString CImageFile_Exporter::displayName() const { return localizedString(QStringLiteral("export images")); }

QString CImageFile_Exporter::folderForChosenFile(const QString& chosenFile)
{
    const QFileInfo info(chosenFile);
    if (info.completeBaseName().isEmpty())
        return QString();
    return info.dir().filePath(info.completeBaseName());
}

bool CImageFile_Exporter::isExportableExtension(const QString& extension)
{
    return exportableExtensions().contains(extension, Qt::CaseInsensitive);
}

bool CImageFile_Exporter::exportComic(CSComic& comic, const QString&)
{
    setComic(comic);
    m_firstPage = 1;
    m_lastPage = comic.pageCount();
    m_written.clear();
    m_createdFolder = false;
    m_failedPage = 0;
    m_failedPath.clear();
    m_folder = folderForChosenFile(m_choices.chosenFile);
    const QString extension = QFileInfo(m_choices.chosenFile).suffix();

    Outcome outcome = checkDestination(extension);
    if (outcome != Outcome::Written)
        return finish(outcome);

    clampPageRange();
    createRenderer();
    startProgress();
    outcome = createFolder();
    if (outcome == Outcome::Written)
        outcome = writePages(extension);
    if (outcome != Outcome::Written) {
        markCancelled();
        removeWhatWasWritten();
    }
    closeProgress();
    deleteRenderer();
    return finish(outcome);
}

bool CImageFile_Exporter::finish(Outcome outcome)
{
    m_outcome = outcome;
    return outcome == Outcome::Written;
}

CImageFile_Exporter::Outcome CImageFile_Exporter::checkDestination(const QString& extension)
{
    if (m_lastPage < 1)
        return Outcome::NoPages;
    if (!isExportableExtension(extension))
        return Outcome::UnsupportedType;
    if (m_folder.isEmpty()) {
        m_failedPath = m_choices.chosenFile;
        return Outcome::FolderNotCreated;
    }
    const QFileInfo existing(m_folder);
    if (existing.exists() || existing.isSymLink()) {
        m_failedPath = m_folder;
        return Outcome::DestinationExists;
    }
    return Outcome::Written;
}

// Both ends are kept inside the comic: a range past the last page ends at
// it, and a range given backwards is the single page it starts at.
void CImageFile_Exporter::clampPageRange()
{
    if (m_choices.allPages)
        return;
    m_firstPage = std::clamp(m_choices.fromPage, 1, m_lastPage);
    m_lastPage = std::clamp(m_choices.toPage, m_firstPage, m_lastPage);
}

// Only a folder made here is removed again, so it must not exist before;
// its parent is not made either.
CImageFile_Exporter::Outcome CImageFile_Exporter::createFolder()
{
    if (::mkdir(QFile::encodeName(m_folder).constData(), 0777) == 0) {
        m_createdFolder = true;
        return Outcome::Written;
    }
    m_failedPath = m_folder;
    return errno == EEXIST ? Outcome::DestinationExists : Outcome::FolderNotCreated;
}

CImageFile_Exporter::Outcome CImageFile_Exporter::writePages(const QString& extension)
{
    for (int page = m_firstPage; page <= m_lastPage; ++page) {
        advanceProgress(page - m_firstPage + 1);
        if (isCancelled())
            return Outcome::Cancelled;
        if (const Outcome written = writePage(page, extension); written != Outcome::Written)
            return written;
    }
    return Outcome::Written;
}

CImageFile_Exporter::Outcome CImageFile_Exporter::writePage(int pageNumber, const QString& extension)
{
    const float dotsPerInch = float(m_choices.dotsPerInch);
    const RefPtr<PAImage> picture = renderPage(pageNumber - 1, dotsPerInch, !sameExtension(extension, "bmp"));
    if (!picture) {
        m_failedPage = pageNumber;
        return Outcome::PageNotRendered;
    }
    const QString path = m_folder + QStringLiteral("/Page_%1.%2").arg(pageNumber).arg(extension);
    const int quality = 10 * std::clamp(m_choices.qualitySlider, kMinQualitySlider, kMaxQualitySlider);
    const bool saved = sameExtension(extension, "gif")
                           ? GifWriter::write(picture->toStraightImage(), path)
                           : PAImage::ok(picture->saveToFile(path, dotsPerInch, quality));
    if (!saved) {
        m_failedPage = pageNumber;
        m_failedPath = path;
        return Outcome::FileNotWritten;
    }
    m_written << path;
    return Outcome::Written;
}

// Each file this export wrote, then its folder if this export made it and it
// is empty now; anything else found there stays.
void CImageFile_Exporter::removeWhatWasWritten()
{
    for (const QString& path : std::as_const(m_written))
        QFile::remove(path);
    m_written.clear();
    if (m_createdFolder)
        ::rmdir(QFile::encodeName(m_folder).constData());
    m_createdFolder = false;
}
