#pragma once

#include "CUndoManager.h"
#include "TarArchive.h"

#include <QSet>
#include <QString>

class CSComic;
class PAImage;
class QIODevice;
class TemporaryRoot;

// The document as stored: a ".comicdoc" file is the package folder packed
// with TarArchive, holding
//   "ComicData.pac"          the comic data file,
//   "Images/<cacheName>"     the pictures some page uses,
//   "Thumbnails/Page_<n>.tif" page thumbnails, numbered from 1 in page order.
// While the document is open the package lives unpacked in a working folder
// under the per-user TemporaryRoot.
//
// This is the whole of the document's logic without a window: the program's
// document object, the command-line tool and the tests all open and save
// through it. It owns the comic and its undo manager.
//
// Saving never harms the file that was there: the archive goes to
// "<file>.comictmp", is flushed to disk and renamed over the file in one
// step. Opening unpacks into a fresh working folder and takes it only when
// the comic reads, so a failed open leaves the open document as it was.
class DocumentPackage
{
public:
    static constexpr const char* kExtension = ".comicdoc";
    static constexpr const char* kComicDataName = "ComicData.pac";
    static constexpr const char* kImagesFolder = "Images";
    static constexpr const char* kThumbnailsFolder = "Thumbnails";
    // Longest picture file name the archive can hold under "Images/".
    static constexpr int kMaxPictureNameBytes = TarArchive::kNameFieldSize - 7;

    using DamagedFileQuestion = TarArchive::DamagedArchiveQuestion;

    // A document under the process's temporary root; the first one of the
    // process also removes folders left behind by processes that are gone.
    DocumentPackage();
    explicit DocumentPackage(TemporaryRoot& root);
    virtual ~DocumentPackage();
    DocumentPackage(const DocumentPackage&) = delete;
    DocumentPackage& operator=(const DocumentPackage&) = delete;

    // Whether the path names a document: it (or the target of a link) ends
    // in ".comicdoc", in any case.
    static bool isDocumentPath(const QString& path);
    // Documents alive in this process.
    static int openDocumentCount();
    // Deletes the folders of every document of the process's root (at exit).
    static void removeFoldersAtExit();

    int documentNumber() const { return m_number; }
    // "ImageCache/doc<n>" and "doc<n>-<counter>" of the root, made on first
    // call; empty when the root cannot be used.
    QString pictureCacheFolder();
    QString workingFolder();

    // --- The comic ----------------------------------------------------------
    CSComic* comic() const { return m_comic; }
    CUndoManager& undoManager() { return m_undo; }
    // Takes the comic (the previous one is destroyed), gives it the undo
    // manager and forgets earlier undo actions.
    void setComic(CSComic* comic);
    // Hands the comic to the caller, who destroys it.
    CSComic* takeComic();

    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // The file last opened or saved; empty for a new document.
    const QString& filePath() const { return m_filePath; }
    // Why the last open or save failed, for the message shown to the user.
    const QString& lastError() const { return m_lastError; }

    // --- Opening and saving -------------------------------------------------
    // Without a question a damaged file is refused.
    bool openDocument(const QString& path, const DamagedFileQuestion& askWhenDamaged = {});
    bool saveDocument(const QString& path);

    // A picture of a file for the comic's table, named so that it fits the
    // archive and no other picture of the comic has the name. Null without
    // a comic. The comic's table holds the reference.
    PAImage* importPicture(const QString& path, bool copyIntoPackage = true);
    // The wanted name made storable: at most kMaxPictureNameBytes of UTF-8,
    // no folder separators, not hidden, and not one of taken. The extension
    // is kept.
    static QString storablePictureName(const QString& wanted, const QSet<QString>& taken);

    // Adds every file of folder (not hidden, not a folder) to the comic's
    // picture table under its file name, decoding nothing, and lets the pages
    // find their pictures.
    static void addPicturesFromFolder(CSComic& comic, const QString& folder, bool storedInPackage);

protected:
    // Writes the archive of the working folder; the seam through which tests
    // make writing fail.
    virtual bool writeArchive(QIODevice& out, const QSet<QString>& leaveOut);

private:
    bool fail(const QString& reason);
    bool storePictures();
    QSet<QString> unusedPictureFiles() const;
    bool storeThumbnails();
    bool writeDocumentFile(const QString& path, const QSet<QString>& leaveOut);
    void readThumbnails(CSComic& comic, const QString& folder) const;
    void replaceWorkingFolder(const QString& folder);

    TemporaryRoot& m_root;
    int m_number;
    QString m_pictureCache;
    QString m_workingFolder;
    CUndoManager m_undo;
    CSComic* m_comic = nullptr;
    bool m_modified = false;
    QString m_filePath;
    QString m_lastError;
};
