#include "TarArchive.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes, qint64 mtime = -1)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    file.close();
    if (mtime >= 0) {
        struct utimbuf times{time_t(mtime), time_t(mtime)};
        ::utime(QFile::encodeName(path).constData(), &times);
    }
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file below folder, relative path → bytes.
QMap<QString, QByteArray> treeOf(const QString& folder)
{
    QMap<QString, QByteArray> tree;
    QDir root(folder);
    std::function<void(const QString&)> walk = [&](const QString& path) {
        for (const QFileInfo& entry : QDir(path).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
            const QString relative = root.relativeFilePath(entry.filePath());
            if (entry.isDir()) {
                tree.insert(relative + "/", QByteArray());
                walk(entry.filePath());
            } else {
                tree.insert(relative, readFile(entry.filePath()));
            }
        }
    };
    walk(folder);
    return tree;
}

// Stores the header's checksum, summed over unsigned or (as some writers do) signed bytes.
QByteArray withChecksum(QByteArray header, bool signedBytes)
{
    long sum = 0;
    for (int i = 0; i < 512; ++i) {
        const char byte = i >= 148 && i < 156 ? ' ' : header[i];
        sum += signedBytes ? long(static_cast<signed char>(byte)) : long(static_cast<unsigned char>(byte));
    }
    const QByteArray digits = QByteArray::number(qlonglong(sum & 0777777), 8).rightJustified(6, '0');
    std::memcpy(header.data() + 148, digits.constData(), 6);
    header[154] = '\0';
    header[155] = ' ';
    return header;
}

// A hand-made ustar header, for archives our writer would never produce.
QByteArray rawHeader(const QByteArray& name, qint64 size, char type, bool signedChecksum = false)
{
    QByteArray header(512, '\0');
    std::memcpy(header.data(), name.constData(), std::size_t(std::min<qsizetype>(name.size(), 100)));
    std::memcpy(header.data() + 100, "000644 ", 7);
    std::snprintf(header.data() + 124, 13, "%011llo ", static_cast<unsigned long long>(size));
    std::memcpy(header.data() + 136, "00000000000 ", 12);
    header[156] = type;
    std::memcpy(header.data() + 257, "ustar", 6);
    std::memcpy(header.data() + 263, "00", 2);
    return withChecksum(header, signedChecksum);
}

QByteArray padded(const QByteArray& data)
{
    QByteArray out = data;
    out.append(QByteArray((512 - data.size() % 512) % 512, '\0'));
    return out;
}

const QByteArray kEnd(1024, '\0');

class TarArchiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        work = TestEnvironment::makeTempFolder("tar");
        source = work + "/source";
        QDir().mkpath(source);
    }
    QString work;
    QString source;
};

TEST_F(TarArchiveTest, HeaderBytesArePinned)
{
    writeFile(source + "/a", "x", 0);
    const QString archive = work + "/a.comicdoc";
    ASSERT_TRUE(TarArchive::packFolder(source, archive));
    const QByteArray bytes = readFile(archive);
    ASSERT_EQ(bytes.size(), 8 + 512 + 512 + 1024);
    EXPECT_EQ(bytes.left(8), "pXnA0001");
    const QByteArray header = bytes.mid(8, 512);
    EXPECT_EQ(header.left(2), QByteArray("a\0", 2));
    EXPECT_EQ(header.mid(100, 8), QByteArray("000644 \0", 8));
    EXPECT_EQ(header.mid(108, 8), QByteArray("000000 \0", 8));
    EXPECT_EQ(header.mid(116, 8), QByteArray("000000 \0", 8));
    EXPECT_EQ(header.mid(124, 12), "00000000001 ");
    EXPECT_EQ(header.mid(136, 12), "00000000000 ");
    EXPECT_EQ(header.mid(148, 8), QByteArray("007317\0 ", 8));
    EXPECT_EQ(header[156], '0');
    EXPECT_EQ(header.mid(257, 8), QByteArray("ustar\0" "00", 8));
    EXPECT_EQ(header.mid(329, 8), QByteArray("000000 \0", 8));
    EXPECT_EQ(header.mid(337, 8), QByteArray("000000 \0", 8));
    EXPECT_EQ(header.mid(345), QByteArray(167, '\0'));
    EXPECT_EQ(bytes.mid(520, 512), QByteArray("x") + QByteArray(511, '\0'));
    EXPECT_EQ(bytes.right(1024), kEnd);
}

TEST_F(TarArchiveTest, SizesOfEmptyAndExactBlockFiles)
{
    struct Case { qint64 fileSize; qint64 archiveSize; };
    const Case cases[] = {{-1, 8 + 1024}, {0, 8 + 512 + 1024}, {1, 8 + 1024 + 1024}, {512, 8 + 1024 + 1024},
                          {513, 8 + 512 + 1024 + 1024}};
    for (const Case& c : cases) {
        const QString folder = TestEnvironment::makeTempFolder("sizes");
        if (c.fileSize >= 0)
            writeFile(folder + "/f", QByteArray(c.fileSize, 'z'));
        const QString archive = folder + ".comicdoc";
        ASSERT_TRUE(TarArchive::packFolder(folder, archive));
        EXPECT_EQ(QFileInfo(archive).size(), c.archiveSize) << c.fileSize;
    }
}

TEST_F(TarArchiveTest, EntryOrderIsFilesSortedThenFoldersSorted)
{
    writeFile(source + "/ComicData.pac", "<comic/>");
    writeFile(source + "/Images/b.jpg", "b");
    writeFile(source + "/Images/a.jpg", "a");
    writeFile(source + "/Thumbnails/Page_1.tif", "t");
    writeFile(source + "/Alpha", "first");
    writeFile(source + "/.hidden", "never");
    QDir().mkpath(source + "/.cache");
    QFile::link(source + "/Alpha", source + "/link");
    const QString archive = work + "/order.comicdoc";
    ASSERT_TRUE(TarArchive::packFolder(source, archive));
    const QByteArray bytes = readFile(archive);
    QList<QByteArray> names;
    QByteArray types;
    for (qsizetype at = 8; at + 512 <= bytes.size();) {
        const QByteArray header = bytes.mid(at, 512);
        if (header == QByteArray(512, '\0'))
            break;
        names << QByteArray(header.constData());
        types += header[156];
        bool ok = false;
        const qint64 size = header.mid(124, 11).toLongLong(&ok, 8);
        at += 512 + (size + 511) / 512 * 512;
    }
    const QList<QByteArray> expected{"Alpha", "ComicData.pac", "Images", "Images/a.jpg", "Images/b.jpg",
                                     "Thumbnails", "Thumbnails/Page_1.tif"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(types, "0050050");

    // The same folder packs to the same bytes.
    ASSERT_TRUE(TarArchive::packFolder(source, work + "/again.comicdoc"));
    EXPECT_EQ(readFile(work + "/again.comicdoc"), bytes);
}

TEST_F(TarArchiveTest, RoundTripKeepsEveryByteAndLeavesOutWhatItIsTold)
{
    QByteArray binary;
    for (int i = 0; i < 100000; ++i)
        binary.append(char(i * 7919 % 251));
    writeFile(source + "/ComicData.pac", "<comic/>");
    writeFile(source + "/Images/photo.jpg", binary);
    writeFile(source + QString::fromUtf8("/Images/\xc3\xa9t\xc3\xa9 \xe6\x97\xa5.png"), "unicode");
    writeFile(source + "/Images/unused.jpg", "drop me");
    writeFile(source + "/Images/Deep/er/file.bin", QByteArray(512 * 3, '\x7f'));
    QDir().mkpath(source + "/Empty");
    const QString archive = work + "/round.comicdoc";
    ASSERT_TRUE(TarArchive::packFolder(source, archive, {"Images/unused.jpg"}));
    const QString out = work + "/out";
    ASSERT_TRUE(TarArchive::unpackArchive(archive, out));
    QMap<QString, QByteArray> expected = treeOf(source);
    expected.remove("Images/unused.jpg");
    EXPECT_EQ(treeOf(out), expected);
}

TEST_F(TarArchiveTest, FailedPackLeavesTheOldArchive)
{
    const QString archive = work + "/keep.comicdoc";
    writeFile(archive, "old archive");
    writeFile(source + "/" + QString(101, u'n'), "name too long for the field");
    EXPECT_FALSE(TarArchive::packFolder(source, archive));
    EXPECT_EQ(readFile(archive), "old archive");
    EXPECT_FALSE(TarArchive::packFolder(work + "/missing", archive));
    EXPECT_EQ(readFile(archive), "old archive");
}

TEST_F(TarArchiveTest, TimesBeyondTheFieldAreClamped)
{
    writeFile(source + "/future", "f", qint64(1) << 34);
    const QString archive = work + "/future.comicdoc";
    ASSERT_TRUE(TarArchive::packFolder(source, archive));
    EXPECT_EQ(readFile(archive).mid(8 + 136, 12), "77777777777 ");
}

TEST_F(TarArchiveTest, DamagedArchivesAskTheQuestion)
{
    writeFile(source + "/a.txt", "first file");
    writeFile(source + "/b.bin", QByteArray(3000, 'b'));
    const QString archive = work + "/whole.comicdoc";
    ASSERT_TRUE(TarArchive::packFolder(source, archive));
    const QByteArray whole = readFile(archive);

    struct Case { const char* name; QByteArray bytes; bool extractsA; };
    const Case cases[] = {
        {"empty archive", QByteArray("pXnA0001") + kEnd, false},
        {"cut in the middle of data", whole.left(8 + 1024 + 512 + 1000), true},
        {"no end marker", whole.left(whole.size() - 1024), true},
        {"bad header in the middle", whole.left(8 + 1024) + QByteArray(512, 'J') + kEnd, true},
        {"a hard link entry", whole.left(8 + 1024) + rawHeader("link", 0, '1') + kEnd, true},
        {"zero length file", QByteArray(), false},
    };
    for (const Case& c : cases) {
        const QString damaged = TestEnvironment::makeTempFolder("damaged") + "/d.comicdoc";
        writeFile(damaged, c.bytes);
        const QString refused = TestEnvironment::makeTempFolder("refused");
        int asked = 0;
        EXPECT_FALSE(TarArchive::unpackArchive(damaged, refused, [&] { ++asked; return false; })) << c.name;
        EXPECT_EQ(asked, 1) << c.name;
        const QString salvaged = TestEnvironment::makeTempFolder("salvaged");
        EXPECT_TRUE(TarArchive::unpackArchive(damaged, salvaged, [] { return true; })) << c.name;
        EXPECT_EQ(QFileInfo::exists(salvaged + "/a.txt"), c.extractsA) << c.name;
        EXPECT_FALSE(TarArchive::unpackArchive(damaged, refused)) << "no question: refused";
    }
    EXPECT_FALSE(TarArchive::unpackArchive(work + "/no-such.comicdoc", work + "/x", [] { return true; }));
}

TEST_F(TarArchiveTest, LenientReaderAcceptsOtherWritersForms)
{
    QByteArray base256Size = rawHeader("big", 0, '0');
    // Size 5 as a base-256 number; checksum recomputed by hand below.
    std::memset(base256Size.data() + 124, 0, 12);
    base256Size[124] = char(0x80);
    base256Size[135] = 5;
    base256Size = withChecksum(base256Size, false);

    // A byte above 127 (here in the user name) makes signed and unsigned sums differ.
    QByteArray signedSum = rawHeader("signed.txt", 1, '0');
    signedSum[265] = char(0xE9);
    signedSum = withChecksum(signedSum, true);
    struct Case { const char* name; QByteArray bytes; const char* file; QByteArray content; };
    const Case cases[] = {
        {"no signature", rawHeader("plain.txt", 2, '0') + padded("hi") + kEnd, "plain.txt", "hi"},
        {"signed checksum", signedSum + padded("s") + kEnd, "signed.txt", "s"},
        {"base-256 size", QByteArray("pXnA0001") + base256Size + padded("12345") + kEnd, "big", "12345"},
        {"parent folder missing", rawHeader("made/up/file", 1, '0') + padded("p") + kEnd, "made/up/file", "p"},
        {"long extended header skipped by its size",
         rawHeader("PaxHeader", 600, 'x') + padded(QByteArray(600, 'q')) + rawHeader("after", 1, '0') + padded("a") + kEnd,
         "after", "a"},
        {"nul type flag", rawHeader("nul", 1, '\0') + padded("n") + kEnd, "nul", "n"},
    };
    for (const Case& c : cases) {
        const QString archive = TestEnvironment::makeTempFolder("lenient") + "/l.tar";
        writeFile(archive, c.bytes);
        const QString out = TestEnvironment::makeTempFolder("lenient-out");
        EXPECT_TRUE(TarArchive::unpackArchive(archive, out)) << c.name;
        EXPECT_EQ(readFile(out + "/" + c.file), c.content) << c.name;
    }
}

TEST_F(TarArchiveTest, GnuTarArchivesInUstarAndPosixFormsUnpackAndTheOldFormStops)
{
    writeFile(source + "/top.txt", "top");
    writeFile(source + "/Images/a.jpg", QByteArray(2000, 'a'));
    const QString longName = "Images/" + QString(120, u'l') + ".jpg";
    struct Case { const char* format; bool unpacks; bool withLongName; };
    const Case cases[] = {{"ustar", true, false}, {"posix", true, true}, {"oldgnu", false, false}};
    for (const Case& c : cases) {
        if (c.withLongName)
            writeFile(source + "/" + longName, "long");
        else
            QFile::remove(source + "/" + longName);
        const QString archive = TestEnvironment::makeTempFolder("gnu") + "/g.tar";
        QProcess tar;
        tar.setWorkingDirectory(source);
        tar.start("tar", {"--format=" + QString::fromLatin1(c.format), "-cf", archive, "top.txt", "Images"});
        ASSERT_TRUE(tar.waitForFinished()) << c.format;
        ASSERT_EQ(tar.exitCode(), 0) << c.format << tar.readAllStandardError().toStdString();
        const QString out = TestEnvironment::makeTempFolder("gnu-out");
        EXPECT_EQ(TarArchive::unpackArchive(archive, out), c.unpacks) << c.format;
        if (c.unpacks) {
            EXPECT_EQ(readFile(out + "/top.txt"), "top") << c.format;
            EXPECT_EQ(readFile(out + "/Images/a.jpg"), QByteArray(2000, 'a')) << c.format;
        }
        if (c.withLongName) {
            EXPECT_EQ(readFile(out + "/" + longName), "long") << c.format;
        }
    }
}

TEST_F(TarArchiveTest, NothingIsWrittenOutsideTheDestination)
{
    const QString outside = work + "/outside";
    QDir().mkpath(outside);
    const QByteArray outsidePath = QFile::encodeName(outside);
    struct Case { const char* name; QByteArray bytes; };
    const Case cases[] = {
        {"absolute", rawHeader(outsidePath + "/abs", 1, '0') + padded("x") + kEnd},
        {"dot dot", rawHeader("../outside/dots", 1, '0') + padded("x") + kEnd},
        {"dot dot deeper", rawHeader("a/../../outside/deep", 1, '0') + padded("x") + kEnd},
        {"backslash", rawHeader("..\\outside\\back", 1, '0') + padded("x") + kEnd},
        {"drive", rawHeader("C:/outside/drive", 1, '0') + padded("x") + kEnd},
        {"symbolic link then a file through it",
         rawHeader("escape", 0, '2') + rawHeader("escape/through", 1, '0') + padded("x") + kEnd},
    };
    for (const Case& c : cases) {
        const QString destination = TestEnvironment::makeTempFolder("dest");
        // A link planted beforehand must not be followed either.
        QFile::link(outside, destination + "/planted");
        QByteArray bytes = c.bytes;
        if (std::strcmp(c.name, "symbolic link then a file through it") == 0)
            bytes = rawHeader("planted/through", 1, '0') + padded("x") + kEnd;
        const QString archive = TestEnvironment::makeTempFolder("evil") + "/e.tar";
        writeFile(archive, bytes);
        EXPECT_FALSE(TarArchive::unpackArchive(archive, destination, [] { return false; })) << c.name;
        EXPECT_TRUE(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty()) << c.name;
    }
    // A link entry of its own is refused too.
    const QString destination = TestEnvironment::makeTempFolder("dest-link");
    const QString archive = TestEnvironment::makeTempFolder("evil") + "/link.tar";
    QByteArray link = rawHeader("escape", 0, '2');
    writeFile(archive, link + kEnd);
    EXPECT_FALSE(TarArchive::unpackArchive(archive, destination));
    EXPECT_FALSE(QFileInfo(destination + "/escape").exists());
}

} // namespace
