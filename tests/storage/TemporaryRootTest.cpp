#include "TemporaryRoot.h"

#include "TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <utime.h>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void touch(const QString& path, const QByteArray& bytes = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void makeOld(const QString& path)
{
    struct utimbuf times{time_t(1000000), time_t(1000000)};
    ::utime(QFile::encodeName(path).constData(), &times);
}

TEST(TemporaryRoot, PrivateFoldersPerProcessAndDocument)
{
    const QString base = TestEnvironment::makeTempFolder("temp-root");
    ::chmod(QFile::encodeName(base).constData(), 0777);
    std::unique_ptr<TemporaryRoot> root(TemporaryRoot::makeForTesting(base));
    ASSERT_TRUE(root->isValid());
    EXPECT_EQ(modeOf(base), 0700u) << "a base others could enter is closed";
    EXPECT_EQ(modeOf(root->path()), 0700u);
    EXPECT_TRUE(root->path().startsWith(base + "/process-"));

    const QString cache = root->pictureCacheFolder(3);
    EXPECT_EQ(cache, root->path() + "/ImageCache/doc3");
    EXPECT_TRUE(QFileInfo(cache).isDir());

    const QString first = root->newWorkingFolder(3);
    EXPECT_EQ(first, root->path() + "/doc3-1");
    touch(first + "/leftover");
    const QString second = root->newWorkingFolder(4);
    EXPECT_EQ(second, root->path() + "/doc4-2");
    EXPECT_TRUE(QDir(second).isEmpty());

    root->recordForDeletion(first);
    root->removeAtExit();
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_FALSE(root->isValid());
    EXPECT_TRUE(QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST(TemporaryRoot, StartUpRemovesOnlyFoldersOfProcessesThatAreGone)
{
    const QString base = TestEnvironment::makeTempFolder("stale-root");
    std::unique_ptr<TemporaryRoot> running(TemporaryRoot::makeForTesting(base));
    ASSERT_TRUE(running->isValid());

    const QString gone = base + "/process-999999-gone00";
    touch(gone + "/.lock");
    touch(gone + "/doc1-1/ComicData.pac", "old work");
    const QString noLockOld = base + "/process-999998-nolock";
    QDir().mkpath(noLockOld);
    makeOld(noLockOld);
    const QString noLockFresh = base + "/process-999997-fresh0";
    QDir().mkpath(noLockFresh);
    const QString unrelated = base + "/not-ours";
    QDir().mkpath(unrelated);

    // A stale folder holding a link to the user's files: the link goes, the files stay.
    const QString precious = TestEnvironment::makeTempFolder("precious");
    touch(precious + "/keep.txt", "keep");
    QFile::link(precious, gone + "/link");
    // A link posing as a process folder is not touched.
    QFile::link(precious, base + "/process-1-link00");

    std::unique_ptr<TemporaryRoot> starting(TemporaryRoot::makeForTesting(base));
    EXPECT_EQ(starting->removeStaleFolders(), 2);
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_FALSE(QFileInfo::exists(noLockOld));
    EXPECT_TRUE(QFileInfo::exists(noLockFresh)) << "may belong to a process starting right now";
    EXPECT_TRUE(QFileInfo(running->path()).isDir()) << "a running process keeps its folder";
    EXPECT_TRUE(QFileInfo::exists(unrelated));
    EXPECT_TRUE(QFileInfo::exists(precious + "/keep.txt"));
    EXPECT_TRUE(QFileInfo(base + "/process-1-link00").isSymLink());
}

TEST(TemporaryRoot, RefusesABaseThatIsALink)
{
    const QString real = TestEnvironment::makeTempFolder("real-base");
    const QString link = TestEnvironment::home() + "/link-base";
    ASSERT_TRUE(QFile::link(real, link));
    std::unique_ptr<TemporaryRoot> root(TemporaryRoot::makeForTesting(link));
    EXPECT_FALSE(root->isValid());
    EXPECT_TRUE(root->newWorkingFolder(1).isEmpty());
    EXPECT_TRUE(QDir(real).isEmpty());
}

TEST(TemporaryRoot, TheProcessRootLivesInTheUsersRuntimeFolder)
{
    TemporaryRoot& root = TemporaryRoot::instance();
    ASSERT_TRUE(root.isValid());
    EXPECT_TRUE(root.path().startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/Oxlen/Panelora/process-"));
}

} // namespace
