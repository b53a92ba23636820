#pragma once

#include <QFile>
#include <QString>

#include <memory>

// Replaces a file in one step: everything is written to "<destination><suffix>"
// beside it, flushed to disk, given the old file's permissions and renamed
// over it. A failure at any point leaves the destination byte for byte as it
// was and removes the temporary file. A destination that is a symbolic link
// stays a link: its target is replaced.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString& destination, const QString& suffix = QStringLiteral(".comictmp"));
    ~AtomicFileWriter();

    bool open();
    QIODevice* device() { return &m_file; }
    QString temporaryPath() const { return m_temporary; }
    // The file that is finally replaced (the link's target for a link).
    QString targetPath() const { return m_target; }

    bool commit();
    void cancel();

    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

private:
    QString m_destination;
    QString m_suffix;
    QString m_target;
    QString m_temporary;
    QFile m_file;
    bool m_open = false;
};
