#include "ArchiveWriter.h"

#include "CRefCountObject.h"

#include <cstring>

void ArchiveWriter::writeUInt32(std::uint32_t value)
{
    char bytes[4] = {char(value & 0xFF), char((value >> 8) & 0xFF), char((value >> 16) & 0xFF),
                     char((value >> 24) & 0xFF)};
    m_data.append(bytes, 4);
}

void ArchiveWriter::writeInt32(std::int32_t value)
{
    writeUInt32(std::uint32_t(value));
}

void ArchiveWriter::writeFloat(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    writeUInt32(bits);
}

void ArchiveWriter::writeByte(std::uint8_t value)
{
    m_data.append(char(value));
}

void ArchiveWriter::writeBytes(const QByteArray& bytes)
{
    writeUInt32(std::uint32_t(bytes.size()));
    m_data.append(bytes);
}

void ArchiveWriter::writeString(const QString& text)
{
    writeUInt32(std::uint32_t(text.size()));
    for (QChar c : text) {
        m_data.append(char(c.unicode() & 0xFF));
        m_data.append(char(c.unicode() >> 8));
    }
}

void ArchiveWriter::writeObject(const CRefCountObject* object)
{
    if (!object) {
        writeString(QString());
        return;
    }
    writeString(QString::fromLatin1(object->className()));
    object->writeToArchive(*this);
}
