#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

class CRefCountObject;

// Reads the stream ArchiveWriter writes, trusting nothing: every count is
// checked against the bytes that remain, every class tag against the
// registered classes, and nesting is bounded. After the first failure every
// read returns a default and failed() stays true.
class ArchiveReader
{
public:
    static constexpr int kMaxNesting = 256;

    explicit ArchiveReader(QByteArray data);

    std::int32_t readInt32();
    std::uint32_t readUInt32();
    float readFloat();
    std::uint8_t readByte();
    QByteArray readBytes();
    QString readString();
    // A new object (count 0) of the tagged class, read through its own archive
    // form; null for the null tag, an unknown tag, or a failed read.
    CRefCountObject* readObject();
    // The same, refused unless the object's class is the expected one.
    CRefCountObject* readObjectOfClass(const char* expectedClass);

    // A count of items that each take at least minBytesPerItem: fails the
    // stream when the remaining bytes cannot hold them.
    std::uint32_t readCount(std::uint32_t minBytesPerItem);

    bool failed() const { return m_failed; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    qsizetype remaining() const { return m_failed ? 0 : m_data.size() - m_pos; }
    void fail() { m_failed = true; }

    // Bounded nesting for containers that hold containers.
    bool enterNesting();
    void leaveNesting() { --m_depth; }

private:
    bool take(qsizetype count);

    QByteArray m_data;
    qsizetype m_pos = 0;
    int m_depth = 0;
    bool m_failed = false;
};
