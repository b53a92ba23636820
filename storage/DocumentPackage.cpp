#include "DocumentPackage.h"

#include "AtomicFileWriter.h"
#include "CSComic.h"
#include "CSPage.h"
#include "PAImage.h"
#include "SoundPlayer.h"
#include "TemporaryRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <sys/stat.h>

namespace {

int s_openDocuments = 0;
int s_lastNumber = 0;
bool s_defaultRootUsed = false;

const QString kThumbnailPattern = QStringLiteral("^Page_[0-9]+\\.tif$");

QString thumbnailName(int pageNumber)
{
    return QStringLiteral("Page_%1.tif").arg(pageNumber);
}

// Two paths name the same file when device and inode agree, however the
// paths are spelled (links, "..", doubled separators).
bool isSameFile(const QString& a, const QString& b)
{
    struct stat first, second;
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

// Copies to a hidden name beside the target (never packed, even when left
// behind) and renames it over the target, so an old copy stays whole until
// the new one is.
bool copyFileReplacing(const QString& source, const QString& target)
{
    const QFileInfo info(target);
    const QString temporary = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".part");
    QFile::remove(temporary);
    if (!QFile::copy(source, temporary))
        return false;
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

bool isStorableName(const QString& name)
{
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && !name.contains(u'\\')
        && name.toUtf8().size() <= DocumentPackage::kMaxPictureNameBytes;
}

// The longest start of text that takes at most maxBytes of UTF-8, cut between characters.
QString truncatedToBytes(const QString& text, int maxBytes)
{
    QString result;
    int bytes = 0;
    for (int i = 0; i < text.size();) {
        const int length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const int size = int(text.mid(i, length).toUtf8().size());
        if (bytes + size > maxBytes)
            break;
        result += text.mid(i, length);
        bytes += size;
        i += length;
    }
    return result;
}

QStringList plainFiles(const QString& folder)
{
    // Without QDir::Hidden, names that start with a dot are left out.
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

DocumentPackage::DocumentPackage() : DocumentPackage(TemporaryRoot::instance())
{
    s_defaultRootUsed = true;
    static const int stale = TemporaryRoot::instance().removeStaleFolders();
    Q_UNUSED(stale);
}

DocumentPackage::DocumentPackage(TemporaryRoot& root) : m_root(root), m_number(++s_lastNumber)
{
    ++s_openDocuments;
}

DocumentPackage::~DocumentPackage()
{
    m_undo.removeAllActions();
    if (m_comic)
        CSComic::destroy(m_comic);
    // Pictures handed out may still read from these folders; they go at exit.
    m_root.recordForDeletion(m_workingFolder);
    m_root.recordForDeletion(m_pictureCache);
    --s_openDocuments;
}

bool DocumentPackage::isDocumentPath(const QString& path)
{
    const auto named = [](const QString& name) { return name.endsWith(QLatin1String(kExtension), Qt::CaseInsensitive); };
    // A link counts by its own name or by its target's.
    const QFileInfo info(path);
    return named(path) || (info.isSymLink() && named(info.symLinkTarget()));
}

int DocumentPackage::openDocumentCount()
{
    return s_openDocuments;
}

void DocumentPackage::removeFoldersAtExit()
{
    if (s_defaultRootUsed)
        TemporaryRoot::instance().removeAtExit();
}

QString DocumentPackage::pictureCacheFolder()
{
    if (m_pictureCache.isEmpty())
        m_pictureCache = m_root.pictureCacheFolder(m_number);
    return m_pictureCache;
}

QString DocumentPackage::workingFolder()
{
    if (m_workingFolder.isEmpty())
        m_workingFolder = m_root.newWorkingFolder(m_number);
    return m_workingFolder;
}

void DocumentPackage::setComic(CSComic* comic)
{
    if (comic == m_comic)
        return;
    // Undo actions refer to the old comic's objects: they go first.
    m_undo.removeAllActions();
    if (m_comic)
        CSComic::destroy(m_comic);
    m_comic = comic;
    if (m_comic)
        m_comic->setUndoManager(&m_undo);
}

CSComic* DocumentPackage::takeComic()
{
    CSComic* comic = m_comic;
    m_undo.removeAllActions();
    if (comic)
        comic->setUndoManager(nullptr);
    m_comic = nullptr;
    return comic;
}

bool DocumentPackage::fail(const QString& reason)
{
    m_lastError = reason;
    return false;
}

// --- Opening ---------------------------------------------------------------------------

bool DocumentPackage::openDocument(const QString& path, const DamagedFileQuestion& askWhenDamaged)
{
    m_lastError.clear();
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("no such file"));
    const QString fresh = m_root.newWorkingFolder(m_number);
    if (fresh.isEmpty())
        return fail(QStringLiteral("no working folder can be made"));
    bool damaged = false;
    const auto question = [&] {
        damaged = true;
        return askWhenDamaged && askWhenDamaged();
    };
    if (!TarArchive::unpackArchive(path, fresh, question)) {
        removeFolderTree(fresh);
        return fail(damaged ? QStringLiteral("the file is damaged or not a document")
                            : QStringLiteral("the file cannot be read"));
    }
    CSComic* comic = CSComic::comicFromFile(fresh + u'/' + QLatin1String(kComicDataName));
    if (!comic) {
        removeFolderTree(fresh);
        return fail(QStringLiteral("the document holds no readable comic data"));
    }
    addPicturesFromFolder(*comic, fresh + u'/' + QLatin1String(kImagesFolder), true);
    readThumbnails(*comic, fresh + u'/' + QLatin1String(kThumbnailsFolder));
    replaceWorkingFolder(fresh);
    setComic(comic);
    m_modified = false;
    m_filePath = path;
    return true;
}

void DocumentPackage::addPicturesFromFolder(CSComic& comic, const QString& folder, bool storedInPackage)
{
    for (const QString& name : plainFiles(folder)) {
        const RefPtr<PAImage> picture(new PAImage(folder + u'/' + name, false));
        picture->setStoredInPackage(storedInPackage);
        comic.addPicture(picture.get());
    }
    comic.attachPictures();
}

void DocumentPackage::readThumbnails(CSComic& comic, const QString& folder) const
{
    if (!QFileInfo(folder).isDir())
        return;
    for (int index = 0; index < comic.pageCount(); ++index) {
        const QString path = folder + u'/' + thumbnailName(index + 1);
        if (!QFileInfo(path).isFile())
            continue;
        const RefPtr<PAImage> thumbnail(new PAImage);
        if (!PAImage::ok(thumbnail->loadFromFile(path)) || !thumbnail->isLoaded())
            continue;
        // Stored bottom row first.
        thumbnail->flipVertically();
        comic.pageAt(index)->setThumbnail(thumbnail.get());
    }
}

void DocumentPackage::replaceWorkingFolder(const QString& folder)
{
    m_root.recordForDeletion(m_workingFolder);
    m_workingFolder = folder;
}

// --- Saving ------------------------------------------------------------------------------

bool DocumentPackage::saveDocument(const QString& path)
{
    m_lastError.clear();
    if (!m_comic)
        return fail(QStringLiteral("there is no comic to save"));
    const QString folder = workingFolder();
    if (folder.isEmpty())
        return fail(QStringLiteral("no working folder can be made"));
    if (!m_comic->saveToFile(folder + u'/' + QLatin1String(kComicDataName)))
        return fail(QStringLiteral("the comic data cannot be written"));
    if (!storePictures() || !storeThumbnails())
        return false;
    if (!writeDocumentFile(path, unusedPictureFiles()))
        return false;
    playSound(QStringLiteral("savedsound3"));
    m_modified = false;
    m_filePath = path;
    return true;
}

// Every picture of the table not yet in "Images" is put there (the flag
// saves looking at the file's contents: stored pictures are not copied again). Pictures no
// page uses are stored too, so an undo that brings them back still finds
// them, but a copy that fails for one of them does not stop the save.
bool DocumentPackage::storePictures()
{
    const QString images = workingFolder() + u'/' + QLatin1String(kImagesFolder);
    if (!QDir().mkpath(images))
        return fail(QStringLiteral("the picture folder cannot be made"));
    for (const auto& [name, picture] : m_comic->pictures()) {
        const bool used = m_comic->usesPicture(name);
        if (!isStorableName(name)) {
            if (used)
                return fail(QStringLiteral("the picture name \"%1\" cannot be stored in a document").arg(name));
            continue;
        }
        const QString target = images + u'/' + name;
        // A comic that came from another document has its flags set for that
        // one's folder.
        if (picture->isStoredInPackage() && QFileInfo(target).isFile())
            continue;
        const QString& source = picture->sourcePath();
        const bool stored = source.isEmpty() ? PAImage::ok(picture->save(target))
                                             : isSameFile(source, target) || copyFileReplacing(source, target);
        if (!stored) {
            if (used)
                return fail(QStringLiteral("the picture \"%1\" cannot be copied into the document")
                                .arg(source.isEmpty() ? name : source));
            continue;
        }
        picture->setStoredInPackage(true);
    }
    return true;
}

// Files in "Images" that no page uses stay in the working folder (for undo)
// but are left out of the archive.
QSet<QString> DocumentPackage::unusedPictureFiles() const
{
    QSet<QString> unused;
    const QString images = m_workingFolder + u'/' + QLatin1String(kImagesFolder);
    for (const QString& name : plainFiles(images)) {
        if (!m_comic->usesPicture(name))
            unused.insert(QLatin1String(kImagesFolder) + u'/' + name);
    }
    return unused;
}

// A thumbnail that cannot be written is left out: it is made again from the
// page, and an old one must not stand in for it.
bool DocumentPackage::storeThumbnails()
{
    const QString folder = workingFolder() + u'/' + QLatin1String(kThumbnailsFolder);
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the thumbnail folder cannot be made"));
    QSet<QString> written;
    for (int index = 0; index < m_comic->pageCount(); ++index) {
        PAImage* thumbnail = m_comic->pageAt(index)->thumbnail();
        if (!thumbnail || !PAImage::ok(thumbnail->reload()) || !thumbnail->isLoaded())
            continue;
        // The page keeps its own rows as they are; the file gets a flipped copy.
        const RefPtr<PAImage> flipped = thumbnail->copy(-1);
        if (!flipped)
            continue;
        flipped->flipVertically();
        const QString name = thumbnailName(index + 1);
        if (PAImage::ok(flipped->save(folder + u'/' + name)))
            written.insert(name);
    }
    static const QRegularExpression pattern(kThumbnailPattern);
    for (const QString& name : plainFiles(folder)) {
        if (pattern.match(name).hasMatch() && !written.contains(name))
            QFile::remove(folder + u'/' + name);
    }
    return true;
}

bool DocumentPackage::writeDocumentFile(const QString& path, const QSet<QString>& leaveOut)
{
    AtomicFileWriter writer(path);
    if (!writer.open())
        return fail(QStringLiteral("the file cannot be created"));
    if (!writeArchive(*writer.device(), leaveOut)) {
        writer.cancel();
        return fail(QStringLiteral("the document cannot be written"));
    }
    if (!writer.commit())
        return fail(QStringLiteral("the document cannot be written to the disk"));
    return true;
}

bool DocumentPackage::writeArchive(QIODevice& out, const QSet<QString>& leaveOut)
{
    return TarArchive::packFolder(m_workingFolder, out, leaveOut);
}

// --- Importing pictures ----------------------------------------------------------------------

PAImage* DocumentPackage::importPicture(const QString& path, bool copyIntoPackage)
{
    if (!m_comic)
        return nullptr;
    const RefPtr<PAImage> picture(new PAImage(path, copyIntoPackage));
    QSet<QString> taken;
    for (const auto& [name, existing] : m_comic->pictures())
        taken.insert(name);
    picture->setCacheName(storablePictureName(picture->cacheName(), taken));
    return m_comic->addPicture(picture.get()) ? picture.get() : nullptr;
}

QString DocumentPackage::storablePictureName(const QString& wanted, const QSet<QString>& taken)
{
    QString name = wanted;
    for (QChar& c : name) {
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20)
            c = u'_';
    }
    if (name.startsWith(u'.'))
        name[0] = u'_';
    if (name.isEmpty())
        name = QStringLiteral("Image");
    if (isStorableName(name) && !taken.contains(name))
        return name;

    const QString suffix = QFileInfo(name).suffix();
    const QString extension =
        !suffix.isEmpty() && suffix.toUtf8().size() <= 16 ? QLatin1Char('.') + suffix : QString();
    const QString base = name.left(name.size() - extension.size());
    for (int n = 1;; ++n) {
        const QString tag = QStringLiteral("~%1").arg(n) + extension;
        const QString candidate = truncatedToBytes(base, kMaxPictureNameBytes - int(tag.toUtf8().size())) + tag;
        if (!taken.contains(candidate))
            return candidate;
    }
}
