#pragma once

#include <QString>
#include <QStringList>

// The per-user, per-process folder under which open documents keep their
// working folders and picture caches.
//
// The base lies in the user's runtime folder (XDG_RUNTIME_DIR) or, without
// one, in the user's cache folder, never in a shared folder: it is created
// with mode 0700 and refused when it is a link or someone else's. Each
// process works in a folder of its own that it holds locked while it runs;
// start-up removes only folders whose lock is free, i.e. whose process is
// gone. Nothing follows symbolic links while deleting.
class TemporaryRoot
{
public:
    // The process's root, made on first use; empty when no safe place exists.
    static TemporaryRoot& instance();

    bool isValid() const { return !m_processFolder.isEmpty(); }
    QString base() const { return m_base; }
    QString path() const { return m_processFolder; }

    // "ImageCache/doc<n>", created when missing.
    QString pictureCacheFolder(int documentNumber);
    // "doc<n>-<counter>", a fresh empty folder (an old one of that name is deleted).
    QString newWorkingFolder(int documentNumber);

    // Folders to delete when the program exits (a closed document's).
    void recordForDeletion(const QString& folder);
    // Deletes the recorded folders and the process's own folder.
    void removeAtExit();

    // Removes the folders of processes that are gone; returns how many.
    int removeStaleFolders();

    // For tests: a root under another base folder.
    static TemporaryRoot* makeForTesting(const QString& base);
    ~TemporaryRoot();

    TemporaryRoot(const TemporaryRoot&) = delete;
    TemporaryRoot& operator=(const TemporaryRoot&) = delete;

private:
    explicit TemporaryRoot(const QString& base);

    QString m_base;
    QString m_processFolder;
    int m_lockFd = -1;
    int m_workingCounter = 0;
    QStringList m_recorded;
};

// Deletes a folder and its contents without following symbolic links out of it.
bool removeFolderTree(const QString& folder);
