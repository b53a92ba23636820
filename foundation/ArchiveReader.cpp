#include "ArchiveReader.h"

#include "ArchiveClassRegistry.h"
#include "CRefCountObject.h"

#include <cstring>

ArchiveReader::ArchiveReader(QByteArray data) : m_data(std::move(data)) {}

bool ArchiveReader::take(qsizetype count)
{
    if (m_failed || count < 0 || m_data.size() - m_pos < count) {
        m_failed = true;
        return false;
    }
    return true;
}

std::uint32_t ArchiveReader::readUInt32()
{
    if (!take(4))
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.constData() + m_pos);
    m_pos += 4;
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
        | (std::uint32_t(p[3]) << 24);
}

std::int32_t ArchiveReader::readInt32()
{
    return std::int32_t(readUInt32());
}

float ArchiveReader::readFloat()
{
    const std::uint32_t bits = readUInt32();
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

std::uint8_t ArchiveReader::readByte()
{
    if (!take(1))
        return 0;
    return std::uint8_t(m_data[m_pos++]);
}

QByteArray ArchiveReader::readBytes()
{
    const std::uint32_t count = readCount(1);
    if (!take(count))
        return QByteArray();
    QByteArray bytes = m_data.mid(m_pos, count);
    m_pos += count;
    return bytes;
}

QString ArchiveReader::readString()
{
    const std::uint32_t count = readCount(2);
    if (m_failed)
        return QString();
    QString text(qsizetype(count), Qt::Uninitialized);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.constData() + m_pos);
    for (std::uint32_t i = 0; i < count; ++i)
        text[i] = QChar(char16_t(p[2 * i] | (p[2 * i + 1] << 8)));
    m_pos += qsizetype(count) * 2;
    return text;
}

std::uint32_t ArchiveReader::readCount(std::uint32_t minBytesPerItem)
{
    const std::uint32_t count = readUInt32();
    if (m_failed)
        return 0;
    if (minBytesPerItem > 0 && std::uint64_t(count) * minBytesPerItem > std::uint64_t(remaining())) {
        m_failed = true;
        return 0;
    }
    return count;
}

bool ArchiveReader::enterNesting()
{
    if (++m_depth > kMaxNesting)
        m_failed = true;
    return !m_failed;
}

CRefCountObject* ArchiveReader::readObject()
{
    return readObjectOfClass(nullptr);
}

CRefCountObject* ArchiveReader::readObjectOfClass(const char* expectedClass)
{
    const QString tag = readString();
    if (m_failed || tag.isEmpty())
        return nullptr;
    const QByteArray name = tag.toLatin1();
    if (expectedClass && name != expectedClass) {
        m_failed = true;
        return nullptr;
    }
    CRefCountObject* object = ArchiveClassRegistry::instance().create(name);
    if (!object) {
        m_failed = true;
        return nullptr;
    }
    if (!enterNesting()) {
        leaveNesting();
        delete object;
        return nullptr;
    }
    object->readFromArchive(*this);
    leaveNesting();
    if (m_failed) {
        delete object;
        return nullptr;
    }
    return object;
}
