#include "AtomicFileWriter.h"
#include "FailingDevice.h"
#include "TarArchive.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString sampleFolder()
{
    const QString folder = TestEnvironment::makeTempFolder("package");
    writeFile(folder + "/ComicData.pac", "<comic/>");
    writeFile(folder + "/Images/a.jpg", QByteArray(5000, 'a'));
    writeFile(folder + "/Thumbnails/Page_1.tif", QByteArray(700, 't'));
    return folder;
}

bool saveThroughWriter(const QString& folder, const QString& destination)
{
    AtomicFileWriter writer(destination);
    return writer.open() && TarArchive::packFolder(folder, *writer.device()) && writer.commit();
}

TEST(AtomicSave, FirstSaveAndReplaceGoThroughTheTemporaryName)
{
    const QString folder = sampleFolder();
    const QString destination = TestEnvironment::makeTempFolder("saves") + "/Comic.comicdoc";
    ASSERT_TRUE(saveThroughWriter(folder, destination));
    EXPECT_FALSE(QFileInfo::exists(destination + ".comictmp"));
    const QByteArray first = readFile(destination);
    EXPECT_TRUE(first.startsWith("pXnA0001"));

    writeFile(folder + "/Images/b.jpg", "b");
    ::chmod(QFile::encodeName(destination).constData(), 0640);
    ASSERT_TRUE(saveThroughWriter(folder, destination));
    EXPECT_FALSE(QFileInfo::exists(destination + ".comictmp"));
    EXPECT_GT(readFile(destination).size(), first.size());
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(destination).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "the file's permissions are kept";
}

TEST(AtomicSave, ALinkDestinationStaysALink)
{
    const QString folder = sampleFolder();
    const QString place = TestEnvironment::makeTempFolder("linked");
    writeFile(place + "/real.comicdoc", "old");
    ASSERT_TRUE(QFile::link(place + "/real.comicdoc", place + "/link.comicdoc"));
    ASSERT_TRUE(saveThroughWriter(folder, place + "/link.comicdoc"));
    EXPECT_TRUE(QFileInfo(place + "/link.comicdoc").isSymLink());
    EXPECT_TRUE(readFile(place + "/real.comicdoc").startsWith("pXnA0001"));
    EXPECT_FALSE(QFileInfo::exists(place + "/real.comicdoc.comictmp"));
}

TEST(AtomicSave, AFailureAtAnyWriteLeavesTheDestinationAsItWas)
{
    const QString folder = sampleFolder();
    FailingDevice counter(1 << 30);
    ASSERT_TRUE(TarArchive::packFolder(folder, counter));
    const int writes = counter.writesSeen();
    ASSERT_GT(writes, 3);
    for (int n = 0; n < writes; ++n) {
        FailingDevice failing(n);
        EXPECT_FALSE(TarArchive::packFolder(folder, failing)) << "failure at write " << n;
    }

    // Through the writer: the pack fails, the writer is dropped uncommitted.
    const QString destination = TestEnvironment::makeTempFolder("kept") + "/Comic.comicdoc";
    writeFile(destination, "the old document");
    {
        AtomicFileWriter writer(destination);
        ASSERT_TRUE(writer.open());
        EXPECT_FALSE(TarArchive::packFolder(TestEnvironment::home() + "/no/such/folder", *writer.device()));
    }
    EXPECT_EQ(readFile(destination), "the old document");
    EXPECT_FALSE(QFileInfo::exists(destination + ".comictmp"));
}

TEST(AtomicSave, AStaleTemporaryFileIsReplacedNotFollowed)
{
    const QString place = TestEnvironment::makeTempFolder("stale");
    const QString victim = TestEnvironment::makeTempFolder("victim") + "/precious";
    writeFile(victim, "precious");
    // Someone left a link where the temporary file goes.
    ASSERT_TRUE(QFile::link(victim, place + "/Comic.comicdoc.comictmp"));
    ASSERT_TRUE(saveThroughWriter(sampleFolder(), place + "/Comic.comicdoc"));
    EXPECT_EQ(readFile(victim), "precious");
}

} // namespace
