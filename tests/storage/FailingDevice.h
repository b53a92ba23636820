#pragma once

#include <QIODevice>

// A device that accepts a number of writes, then fails every later one: the
// full disk or lost network share of a save, on demand.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(int writesBeforeFailure) : m_left(writesBeforeFailure) { open(QIODevice::WriteOnly); }
    int writesSeen() const { return m_seen; }
    QByteArray written;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        ++m_seen;
        if (m_left-- <= 0)
            return -1;
        written.append(data, size);
        return size;
    }

private:
    int m_left;
    int m_seen = 0;
};
