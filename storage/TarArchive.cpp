#include "TarArchive.h"

#include "Resources.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kBlock = TarArchive::kBlockSize;
constexpr qint64 kCopyChunk = 64 * 1024;
constexpr char kSignature[] = "pXnA";
constexpr char kVersion[] = "0001";
// The largest value eleven octal digits hold.
constexpr quint64 kMaxOctal11 = (quint64(1) << 33) - 1;
// Extended headers larger than this are not believed.
constexpr qint64 kMaxExtendedHeader = 1 << 20;

using Block = std::array<char, kBlock>;

// --- Writing ------------------------------------------------------------------

bool putOctal(char* field, int digits, quint64 value)
{
    if (digits < 22 && value >> (3 * digits))
        return false;
    for (int i = digits - 1; i >= 0; --i) {
        field[i] = char('0' + (value & 7));
        value >>= 3;
    }
    return true;
}

void putFixed(char* field, const char* text)
{
    std::memcpy(field, text, std::strlen(text));
}

unsigned headerChecksum(const Block& header, bool signedBytes)
{
    unsigned sum = 0;
    for (int i = 0; i < kBlock; ++i) {
        if (i >= 148 && i < 156)
            sum += ' ';
        else if (signedBytes)
            sum += unsigned(int(static_cast<signed char>(header[i])));
        else
            sum += static_cast<unsigned char>(header[i]);
    }
    return sum;
}

bool buildHeader(Block& header, const QByteArray& name, qint64 size, qint64 mtime, bool folder)
{
    header.fill(0);
    if (name.isEmpty() || name.size() > TarArchive::kNameFieldSize || size < 0)
        return false;
    std::memcpy(header.data(), name.constData(), std::size_t(name.size()));
    putFixed(&header[100], folder ? "000755 " : "000644 ");
    putFixed(&header[108], "000000 ");
    putFixed(&header[116], "000000 ");
    if (!putOctal(&header[124], 11, quint64(size)))
        return false;
    header[135] = ' ';
    // Times outside what the field holds are clamped, never a reason to refuse a save.
    putOctal(&header[136], 11, quint64(std::clamp<qint64>(mtime, 0, qint64(kMaxOctal11))));
    header[147] = ' ';
    header[156] = folder ? '5' : '0';
    putFixed(&header[257], "ustar");
    putFixed(&header[263], "00");
    putFixed(&header[329], "000000 ");
    putFixed(&header[337], "000000 ");
    putOctal(&header[148], 6, headerChecksum(header, false));
    header[154] = '\0';
    header[155] = ' ';
    return true;
}

class ArchiveWriter
{
public:
    explicit ArchiveWriter(QIODevice& out, const QSet<QString>& leaveOut) : m_out(out), m_leaveOut(leaveOut) {}

    bool writeSignature()
    {
        return write(kSignature, 4) && write(kVersion, 4);
    }

    bool walk(const QString& folder, const QString& relative)
    {
        QDir dir(folder);
        const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System,
                                                        QDir::Unsorted);
        QFileInfoList files, folders;
        for (const QFileInfo& entry : entries) {
            if (entry.fileName().startsWith(u'.') || entry.isSymLink())
                continue;
            const QString name = relative.isEmpty() ? entry.fileName() : relative + u'/' + entry.fileName();
            if (m_leaveOut.contains(name))
                continue;
            if (entry.isDir())
                folders << entry;
            else if (entry.isFile())
                files << entry;
        }
        auto byName = [](const QFileInfo& a, const QFileInfo& b) { return a.fileName() < b.fileName(); };
        std::sort(files.begin(), files.end(), byName);
        std::sort(folders.begin(), folders.end(), byName);
        for (const QFileInfo& file : files) {
            if (!writeFile(file, relative.isEmpty() ? file.fileName() : relative + u'/' + file.fileName()))
                return false;
        }
        for (const QFileInfo& sub : folders) {
            const QString name = relative.isEmpty() ? sub.fileName() : relative + u'/' + sub.fileName();
            if (!writeHeader(name, 0, sub.lastModified().toSecsSinceEpoch(), true) || !walk(sub.filePath(), name))
                return false;
        }
        return true;
    }

    bool writeEnd()
    {
        static const Block zero{};
        return write(zero.data(), kBlock) && write(zero.data(), kBlock);
    }

private:
    bool write(const char* data, qint64 size)
    {
        return m_out.write(data, size) == size;
    }

    bool writeHeader(const QString& name, qint64 size, qint64 mtime, bool folder)
    {
        Block header;
        return buildHeader(header, QFile::encodeName(name), size, mtime, folder) && write(header.data(), kBlock);
    }

    bool writeFile(const QFileInfo& info, const QString& name)
    {
        QFile in(info.filePath());
        if (!in.open(QIODevice::ReadOnly))
            return false;
        const qint64 size = in.size();
        if (!writeHeader(name, size, info.lastModified().toSecsSinceEpoch(), false))
            return false;
        qint64 copied = 0;
        QByteArray buffer;
        while (copied < size) {
            buffer = in.read(std::min(kCopyChunk, size - copied));
            if (buffer.isEmpty() || !write(buffer.constData(), buffer.size()))
                return false;
            copied += buffer.size();
        }
        // A file that grew while being read is cut at the size in its header.
        const qint64 padding = (kBlock - size % kBlock) % kBlock;
        static const Block zero{};
        return write(zero.data(), padding);
    }

    QIODevice& m_out;
    const QSet<QString>& m_leaveOut;
};

// --- Reading ------------------------------------------------------------------

bool isZeroBlock(const Block& block)
{
    return std::all_of(block.begin(), block.end(), [](char c) { return c == 0; });
}

// Octal digits (leading blanks and zeros allowed) or, when the first byte has
// its high bit set, a big-endian base-256 number.
bool readNumber(const char* field, int length, quint64& value)
{
    value = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(field);
    if (bytes[0] & 0x80) {
        quint64 result = bytes[0] & 0x7F;
        for (int i = 1; i < length; ++i) {
            if (result >> 55)
                return false;
            result = (result << 8) | bytes[i];
        }
        value = result;
        return true;
    }
    int i = 0;
    while (i < length && (field[i] == ' ' || field[i] == '0'))
        ++i;
    for (; i < length && field[i] >= '0' && field[i] <= '7'; ++i) {
        if (value >> 60)
            return false;
        value = (value << 3) | quint64(field[i] - '0');
    }
    return true;
}

bool isValidHeader(const Block& header)
{
    if (std::memcmp(&header[257], "ustar", 6) != 0)
        return false;
    quint64 stored = 0;
    if (!readNumber(&header[148], 8, stored))
        return false;
    return stored == headerChecksum(header, false) || stored == (headerChecksum(header, true) & 0xFFFFFFFFu);
}

QByteArray fieldText(const char* field, int length)
{
    return QByteArray(field, int(strnlen(field, std::size_t(length))));
}

// The path components of an entry name, or none when the name would leave
// the destination (absolute, "..", a backslash or a drive letter).
bool safeComponents(const QByteArray& name, QList<QByteArray>& components)
{
    components.clear();
    if (name.isEmpty() || name.startsWith('/') || name.contains('\\'))
        return false;
    for (const QByteArray& part : name.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..")
            return false;
        components << part;
    }
    if (components.isEmpty())
        return false;
    const QByteArray& first = components.first();
    if (first.size() >= 2 && first[1] == ':' && std::isalpha(static_cast<unsigned char>(first[0])))
        return false;
    return true;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        reset();
        m_fd = std::exchange(other.m_fd, -1);
        return *this;
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

// Opens (creating when missing) each folder of the chain below root without
// following symbolic links, so nothing can lead outside the destination.
FileDescriptor openFolderChain(int root, const QList<QByteArray>& folders)
{
    FileDescriptor current(::dup(root));
    for (const QByteArray& folder : folders) {
        int fd = ::openat(current.get(), folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            if (::mkdirat(current.get(), folder.constData(), 0700) != 0 && errno != EEXIST)
                return FileDescriptor();
            fd = ::openat(current.get(), folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        }
        if (fd < 0)
            return FileDescriptor();
        current = FileDescriptor(fd);
    }
    return current;
}

class ArchiveReader
{
public:
    ArchiveReader(QFile& in, int destination) : m_in(in), m_destination(destination) {}

    // True when at least one entry was extracted and the archive ended with
    // its end marker.
    bool extractAll()
    {
        skipSignature();
        while (true) {
            Block header;
            if (!readBlock(header))
                return false;  // cut short or no end marker
            if (isZeroBlock(header))
                return m_extracted > 0;
            if (!isValidHeader(header) || !extractEntry(header))
                return false;
        }
    }

private:
    void skipSignature()
    {
        char head[8];
        if (m_in.read(head, 8) == 8 && std::memcmp(head, kSignature, 4) == 0)
            return;
        m_in.seek(0);
    }

    bool readBlock(Block& block)
    {
        return m_in.read(block.data(), kBlock) == kBlock;
    }

    bool skip(quint64 size)
    {
        const quint64 padded = (size + kBlock - 1) / kBlock * kBlock;
        if (padded > quint64(m_in.size() - m_in.pos()))
            return false;
        return m_in.seek(m_in.pos() + qint64(padded));
    }

    QByteArray entryName(const Block& header)
    {
        if (!m_longName.isEmpty())
            return std::exchange(m_longName, QByteArray());
        const QByteArray prefix = fieldText(&header[345], 155);
        const QByteArray name = fieldText(&header[0], 100);
        return prefix.isEmpty() ? name : prefix + '/' + name;
    }

    bool extractEntry(const Block& header)
    {
        quint64 size = 0;
        if (!readNumber(&header[124], 12, size))
            return false;
        const char type = header[156];
        if (type == 'x')
            return readExtendedHeader(size);
        if (type == 'g')
            return skip(size);
        const QByteArray name = entryName(header);
        if (type == '0' || type == '\0')
            return extractFile(name, size);
        if (type == '5')
            return extractFolder(name) && (size == 0 || skip(size));
        // Links, devices, and anything else an archive of ours never holds.
        return false;
    }

    // A pax header: only the path record matters here (names too long for
    // the name field); the rest is skipped.
    bool readExtendedHeader(quint64 size)
    {
        if (size > quint64(kMaxExtendedHeader))
            return false;
        const QByteArray records = m_in.read(qint64(size));
        if (records.size() != qint64(size))
            return false;
        const qint64 padding = (kBlock - qint64(size) % kBlock) % kBlock;
        if (padding && m_in.read(padding).size() != padding)
            return false;
        qsizetype pos = 0;
        while (pos < records.size()) {
            const qsizetype space = records.indexOf(' ', pos);
            if (space < 0)
                break;
            bool ok = false;
            const qsizetype length = records.mid(pos, space - pos).toLongLong(&ok);
            if (!ok || length <= space - pos || pos + length > records.size())
                break;
            const QByteArray record = records.mid(space + 1, length - (space - pos) - 2);
            if (record.startsWith("path="))
                m_longName = record.mid(5);
            pos += length;
        }
        return true;
    }

    bool extractFolder(const QByteArray& name)
    {
        QList<QByteArray> components;
        if (!safeComponents(name, components))
            return false;
        if (!openFolderChain(m_destination, components).valid())
            return false;
        ++m_extracted;
        return true;
    }

    bool extractFile(const QByteArray& name, quint64 size)
    {
        QList<QByteArray> components;
        if (!safeComponents(name, components))
            return false;
        const QByteArray fileName = components.takeLast();
        const FileDescriptor folder = openFolderChain(m_destination, components);
        if (!folder.valid())
            return false;
        const FileDescriptor file(::openat(folder.get(), fileName.constData(),
                                           O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!file.valid())
            return false;
        quint64 left = size;
        QByteArray buffer;
        while (left > 0) {
            buffer = m_in.read(qint64(std::min<quint64>(left, kCopyChunk)));
            if (buffer.isEmpty() || !writeAll(file.get(), buffer))
                return false;
            left -= quint64(buffer.size());
        }
        ++m_extracted;
        const qint64 padding = qint64((kBlock - size % kBlock) % kBlock);
        return padding == 0 || m_in.read(padding).size() == padding;
    }

    static bool writeAll(int fd, const QByteArray& bytes)
    {
        const char* p = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(fd, p, std::size_t(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            p += written;
            left -= written;
        }
        return true;
    }

    QFile& m_in;
    int m_destination;
    int m_extracted = 0;
    QByteArray m_longName;
};

} // namespace

bool TarArchive::packFolder(const QString& folder, QIODevice& out, const QSet<QString>& leaveOut)
{
    if (!QFileInfo(folder).isDir())
        return false;
    ArchiveWriter writer(out, leaveOut);
    return writer.writeSignature() && writer.walk(folder, QString()) && writer.writeEnd();
}

bool TarArchive::packFolder(const QString& folder, const QString& archivePath, const QSet<QString>& leaveOut)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QSaveFile out(archivePath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (!packFolder(folder, out, leaveOut)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

bool TarArchive::unpackArchive(const QString& archivePath, const QString& destination,
                               const DamagedArchiveQuestion& askWhenDamaged)
{
    QFile in(archivePath);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    bool complete = false;
    if (QDir().mkpath(destination)) {
        const FileDescriptor root(::open(QFile::encodeName(destination).constData(),
                                         O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (root.valid())
            complete = ArchiveReader(in, root.get()).extractAll();
    }
    if (complete)
        return true;
    return askWhenDamaged && askWhenDamaged();
}

QString TarArchive::damagedArchiveMessage()
{
    return localizedString(QStringLiteral("FileTooShort")) + QStringLiteral("\r\n\r\n")
        + localizedString(QStringLiteral("FileDisplayAttempt"));
}
