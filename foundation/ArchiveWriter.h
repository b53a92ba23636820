#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

class CRefCountObject;

// Our own little-endian byte stream for copying model objects between running
// instances (clipboard and drag data). Strings are a 32-bit count of UTF-16
// code units followed by the units; objects are their class tag as a string,
// then the object's own archive form; a null object is an empty tag.
class ArchiveWriter
{
public:
    void writeInt32(std::int32_t value);
    void writeUInt32(std::uint32_t value);
    void writeFloat(float value);
    void writeByte(std::uint8_t value);
    void writeBytes(const QByteArray& bytes);
    void writeString(const QString& text);
    void writeObject(const CRefCountObject* object);

    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};
