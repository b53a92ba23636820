#include "TemporaryRoot.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kProcessPrefix = QStringLiteral("process-");
const QString kLockName = QStringLiteral(".lock");

// Creates the folder with mode 0700 when missing and checks that it is a real
// folder of ours that nobody else can enter.
bool makePrivateFolder(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info;
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return false;
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0)
        return false;
    return true;
}

bool makePrivateChain(const QString& parent, const QStringList& names)
{
    QString path = parent;
    for (const QString& name : names) {
        path += u'/' + name;
        if (!makePrivateFolder(path))
            return false;
    }
    return true;
}

QString chooseBase()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && makePrivateChain(QFile::decodeName(runtime), {"Oxlen", "Panelora"}))
        return QFile::decodeName(runtime) + QStringLiteral("/Oxlen/Panelora");
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty() && QDir().mkpath(cache) && makePrivateChain(cache, {"Oxlen", "Panelora", "Temp"}))
        return cache + QStringLiteral("/Oxlen/Panelora/Temp");
    return QString();
}

// Takes the lock of a process folder; fails while its process holds it.
int lockFolder(const QString& folder, bool create)
{
    const QByteArray lock = QFile::encodeName(folder + u'/' + kLockName);
    const int fd = ::open(lock.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool removeFolderTree(const QString& folder)
{
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
    return !error;
}

TemporaryRoot::TemporaryRoot(const QString& base) : m_base(base)
{
    if (m_base.isEmpty())
        return;
    QByteArray pattern = QFile::encodeName(m_base + u'/' + kProcessPrefix + QString::number(::getpid()) + "-XXXXXX");
    if (!::mkdtemp(pattern.data()))
        return;
    const QString folder = QFile::decodeName(pattern);
    m_lockFd = lockFolder(folder, true);
    if (m_lockFd < 0) {
        removeFolderTree(folder);
        return;
    }
    m_processFolder = folder;
}

TemporaryRoot::~TemporaryRoot()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

TemporaryRoot& TemporaryRoot::instance()
{
    static TemporaryRoot* root = new TemporaryRoot(chooseBase());
    return *root;
}

TemporaryRoot* TemporaryRoot::makeForTesting(const QString& base)
{
    if (!makePrivateFolder(base))
        return new TemporaryRoot(QString());
    return new TemporaryRoot(base);
}

QString TemporaryRoot::pictureCacheFolder(int documentNumber)
{
    if (!isValid())
        return QString();
    const QString folder = m_processFolder + QStringLiteral("/ImageCache/doc%1").arg(documentNumber);
    return makePrivateChain(m_processFolder, {"ImageCache", QStringLiteral("doc%1").arg(documentNumber)}) ? folder
                                                                                                     : QString();
}

QString TemporaryRoot::newWorkingFolder(int documentNumber)
{
    if (!isValid())
        return QString();
    const QString folder = m_processFolder + QStringLiteral("/doc%1-%2").arg(documentNumber).arg(++m_workingCounter);
    removeFolderTree(folder);
    return makePrivateFolder(folder) ? folder : QString();
}

void TemporaryRoot::recordForDeletion(const QString& folder)
{
    if (!folder.isEmpty() && !m_recorded.contains(folder))
        m_recorded << folder;
}

void TemporaryRoot::removeAtExit()
{
    for (const QString& folder : std::as_const(m_recorded))
        removeFolderTree(folder);
    m_recorded.clear();
    if (isValid()) {
        removeFolderTree(m_processFolder);
        ::close(m_lockFd);
        m_lockFd = -1;
        m_processFolder.clear();
    }
}

int TemporaryRoot::removeStaleFolders()
{
    if (m_base.isEmpty())
        return 0;
    int removed = 0;
    const QStringList entries = QDir(m_base).entryList({kProcessPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : entries) {
        const QString folder = m_base + u'/' + name;
        if (folder == m_processFolder || QFileInfo(folder).isSymLink())
            continue;
        const int fd = lockFolder(folder, false);
        if (fd < 0 && QFileInfo::exists(folder + u'/' + kLockName))
            continue;  // its process is still running
        // A folder without its lock may be one that another process made a
        // moment ago and is about to lock.
        if (fd < 0 && QFileInfo(folder).lastModified().secsTo(QDateTime::currentDateTime()) < 60)
            continue;
        removeFolderTree(folder);
        if (fd >= 0)
            ::close(fd);
        ++removed;
    }
    return removed;
}
