#include "AtomicFileWriter.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString resolvedTarget(const QString& destination)
{
    QFileInfo info(destination);
    // Follow a chain of links to the file they finally name, existing or not.
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops)
        info = QFileInfo(info.symLinkTarget());
    return info.absoluteFilePath();
}

void syncFolderOf(const QString& path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const QString& destination, const QString& suffix)
    : m_destination(destination), m_suffix(suffix)
{
}

AtomicFileWriter::~AtomicFileWriter()
{
    cancel();
}

bool AtomicFileWriter::open()
{
    m_target = resolvedTarget(m_destination);
    m_temporary = m_target + m_suffix;
    const QByteArray temporary = QFile::encodeName(m_temporary);
    ::unlink(temporary.constData());
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat old;
    if (::stat(QFile::encodeName(m_target).constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    if (!m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ::unlink(temporary.constData());
        return false;
    }
    m_open = true;
    return true;
}

bool AtomicFileWriter::commit()
{
    if (!m_open)
        return false;
    const bool flushed = m_file.flush() && m_file.error() == QFileDevice::NoError && ::fsync(m_file.handle()) == 0;
    m_file.close();
    m_open = false;
    if (!flushed || ::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        return false;
    }
    syncFolderOf(m_target);
    return true;
}

void AtomicFileWriter::cancel()
{
    if (!m_open)
        return;
    m_file.close();
    m_open = false;
    ::unlink(QFile::encodeName(m_temporary).constData());
}
