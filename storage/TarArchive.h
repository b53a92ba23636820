#pragma once

#include <QIODevice>
#include <QSet>
#include <QString>

#include <functional>

// A document is edited as a folder and stored as one file: the folder packed
// into a POSIX ustar archive behind the 8-byte signature "pXnA0001".
//
// Packing is deterministic: within each folder the files come first, then the
// sub-folders, each sorted by name, so the same folder always gives the same
// bytes. Hidden entries and symbolic links are left out.
//
// Unpacking trusts nothing in the archive: names that are absolute, contain
// "..", a backslash or a drive, or would pass through a symbolic link never
// write outside the destination; links and devices are refused. A damaged
// archive (a bad header after the first, data cut short, no end marker) asks
// the damaged-archive question: yes keeps whatever was extracted and counts
// as success, no counts as failure.
class TarArchive
{
public:
    // Asked when the archive is damaged; true means "use what could be read".
    using DamagedArchiveQuestion = std::function<bool()>;

    static constexpr int kBlockSize = 512;
    static constexpr int kNameFieldSize = 100;

    // Packs folder into archivePath (replacing it atomically: a failure leaves
    // what was there untouched). Relative paths in leaveOut ("Images/a.jpg")
    // are not packed.
    static bool packFolder(const QString& folder, const QString& archivePath,
                           const QSet<QString>& leaveOut = {});
    // The same into an open device (an AtomicFileWriter's, for instance); the
    // caller commits or discards what was written.
    static bool packFolder(const QString& folder, QIODevice& out, const QSet<QString>& leaveOut = {});

    // Unpacks into destination (created when missing). Without a question a
    // damaged archive fails.
    static bool unpackArchive(const QString& archivePath, const QString& destination,
                              const DamagedArchiveQuestion& askWhenDamaged = {});

    // The text of the damaged-archive question, localised.
    static QString damagedArchiveMessage();
};
