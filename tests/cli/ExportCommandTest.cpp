// "export" as a user calls it, on a comic data file written here.

#include "CliTestSupport.h"

#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <vector>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Three pages of landscape 595 x 420 paper.
const char kComic[] = R"(<comic><attributes>
<setting name="pageSize">{420, 595}</setting><setting name="portraitMode">0</setting>
<setting name="leftMargin">20</setting><setting name="topMargin">30</setting>
<setting name="backgroundColor"><color r="0" g="0.5" b="1" a="1"/></setting></attributes>
<pages>
<element type="page" oid="p1"><style name=""/><elements/></element>
<element type="page" oid="p2"><style name=""/><elements/></element>
<element type="page" oid="p3"><style name=""/><elements/></element>
</pages></comic>)";

class ExportCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = TestEnvironment::makeTempFolder(QStringLiteral("export-cli"));
        comic = write(QStringLiteral("comic.xml"), kComic);
    }

    QString write(const QString& name, const QByteArray& bytes) const
    {
        const QString path = dir + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QString out(const QString& extension) const { return dir + QStringLiteral("/out.") + extension; }
    QString folder() const { return dir + QStringLiteral("/out"); }
    QStringList entries(const QString& path) const
    {
        return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }

    QString dir;
    QString comic;
};

int resolutionOf(const QString& path)
{
    return int(std::lround(QImage(path).dotsPerMeterX() * 0.0254));
}

// The first entry of the JPEG's first quantisation table: 6 at quality 80,
// 40 at quality 20 for the baseline luminance table.
int firstQuantiser(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    const qsizetype marker = bytes.indexOf(QByteArray("\xFF\xDB", 2));
    return marker < 0 || marker + 5 >= bytes.size() ? -1 : quint8(bytes[marker + 5]);
}

} // namespace

TEST_F(ExportCommand, WritesEveryPageAt96DpiAndQuality80ByDefault)
{
    const CliRun run = runCli({QStringLiteral("export"), comic, out(QStringLiteral("jpg"))});
    ASSERT_EQ(run.status, 0) << run.errText().toStdString();
    EXPECT_EQ(entries(folder()), (QStringList{"Page_1.jpg", "Page_2.jpg", "Page_3.jpg"}));
    EXPECT_EQ(entries(dir), (QStringList{"comic.xml", "out"}));
    // The files written, one a line; no progress when stderr is not a terminal.
    EXPECT_EQ(QString::fromUtf8(run.out), QStringLiteral("%1/Page_1.jpg\n%1/Page_2.jpg\n%1/Page_3.jpg\n").arg(folder()));
    EXPECT_FALSE(run.errText().contains(QStringLiteral("exporting"))) << run.errText().toStdString();

    const QString page = folder() + QStringLiteral("/Page_2.jpg");
    EXPECT_EQ(QImage(page).size(), QSize(793, 560));
    EXPECT_EQ(resolutionOf(page), 96);
    EXPECT_EQ(firstQuantiser(page), 6);
}

TEST_F(ExportCommand, ResolutionRangeAndQualityAreTheUsersChoice)
{
    struct Case
    {
        QString extension;
        QStringList options;
        QStringList files;
        QSize size;
        int quantiser; // for JPEG
    };
    const Case cases[] = {
        {"png", {"--dpi", "150", "--pages", "2-99"}, {"Page_2.png", "Page_3.png"}, QSize(1239, 875), -1},
        {"png", {"--pages=3-1", "--dpi=36"}, {"Page_3.png"}, QSize(297, 210), -1},
        {"tif", {"--pages", "2"}, {"Page_2.tif"}, QSize(793, 560), -1},
        {"jpg", {"--quality", "2", "--pages", "1-1"}, {"Page_1.jpg"}, QSize(793, 560), 40},
        {"bmp", {"--pages", " 1 - 2 "}, {"Page_1.bmp", "Page_2.bmp"}, QSize(793, 560), -1},
        {"gif", {"--pages", "3-3", "--dpi", "72"}, {"Page_3.gif"}, QSize(595, 420), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.extension + QLatin1Char(' ') + c.options.join(' ')).toStdString());
        const CliRun run = runCli(QStringList{QStringLiteral("export"), comic, out(c.extension)} + c.options);
        ASSERT_EQ(run.status, 0) << run.errText().toStdString();
        EXPECT_EQ(entries(folder()), c.files);
        const QString first = folder() + QLatin1Char('/') + c.files.first();
        EXPECT_EQ(QImage(first).size(), c.size);
        if (c.quantiser >= 0) {
            EXPECT_EQ(firstQuantiser(first), c.quantiser);
        }
        QDir(folder()).removeRecursively();
    }
}

TEST_F(ExportCommand, RefusalsEndWithTheirStatusAndChangeNothing)
{
    const QString broken = write(QStringLiteral("broken.xml"), "<comic><pages>");
    const QString empty = write(QStringLiteral("empty.xml"), "<comic><pages/></comic>");
    struct Case
    {
        QStringList arguments;
        int status;
        QString message;
    };
    const Case cases[] = {
        {{"export", comic, out("xyz")}, 2, ".png"},
        {{"export", comic, dir + "/out"}, 2, ".png"},
        {{"export", comic, dir + "/.png"}, 2, "no folder"},
        {{"export", comic, out("png"), "--quality", "11"}, 2, "--quality"},
        {{"export", comic, out("jpg"), "--quality", "1"}, 2, "--quality"},
        {{"export", comic, out("png"), "--dpi", "0"}, 2, "--dpi"},
        {{"export", comic, out("png"), "--pages", "0-2"}, 2, "--pages"},
        {{"export", comic, out("png"), "--pages", "two"}, 2, "--pages"},
        {{"export", comic, out("png"), "--pages", "1-"}, 2, "--pages"},
        {{"export", comic}, 2, "wrong number of arguments"},
        {{"export", dir + "/missing.xml", out("png")}, 1, "no such file"},
        {{"export", broken, out("png")}, 1, broken},
        {{"export", empty, out("png")}, 1, "no pages"},
        {{"export", comic, dir + "/missing/out.png"}, 1, "cannot be created"},
    };
    const QStringList before = entries(dir);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliRun run = runCli(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.errText().contains(c.message)) << run.errText().toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(entries(dir), before);
    }
}

TEST_F(ExportCommand, AnExistingFolderOrFileIsLeftUntouched)
{
    for (bool asFolder : {true, false}) {
        SCOPED_TRACE(asFolder ? "folder" : "file");
        const QString kept = asFolder ? folder() + QStringLiteral("/Page_1.png") : folder();
        if (asFolder) {
            ASSERT_TRUE(QDir().mkdir(folder()));
        }
        write(QDir(dir).relativeFilePath(kept), "keep me");

        const CliRun run = runCli({QStringLiteral("export"), comic, out(QStringLiteral("png"))});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.errText().contains(folder() + QStringLiteral(": already exists"))) << run.errText().toStdString();
        QFile file(kept);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("keep me"));
        if (asFolder) {
            EXPECT_EQ(entries(folder()), QStringList{"Page_1.png"});
        }
        file.close();
        QFile::remove(kept);
        QDir().rmdir(folder());
    }
}

namespace {

struct TerminalRun
{
    int status = -1;
    QByteArray seen;
};

// Runs panelora-cli on a pseudo-terminal, as a person at a terminal would,
// collecting what it shows; interruptAfter, when not empty, sends Ctrl-C's
// signal as soon as that text has been shown.
TerminalRun runInTerminal(const QStringList& arguments, const QByteArray& interruptAfter = QByteArray())
{
    const QByteArray program = (QCoreApplication::applicationDirPath() + QStringLiteral("/panelora-cli")).toLocal8Bit();
    std::vector<QByteArray> words{program};
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    TerminalRun run;
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child < 0)
        return run;
    if (child == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    bool interrupted = false;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(terminal, buffer, sizeof buffer)) > 0) {
        run.seen.append(buffer, count);
        if (!interrupted && !interruptAfter.isEmpty() && run.seen.contains(interruptAfter)) {
            kill(child, SIGINT);
            interrupted = true;
        }
    }
    close(terminal);
    int status = 0;
    if (waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

} // namespace

TEST_F(ExportCommand, AWatchingPersonSeesALinePerPage)
{
    const TerminalRun run = runInTerminal({"export", comic, out("png"), "--pages", "2-3"});
    EXPECT_EQ(run.status, 0) << run.seen.toStdString();
    EXPECT_TRUE(run.seen.contains("exporting page 2 (1 of 2)")) << run.seen.toStdString();
    EXPECT_TRUE(run.seen.contains("exporting page 3 (2 of 2)")) << run.seen.toStdString();
    EXPECT_EQ(entries(folder()), (QStringList{"Page_2.png", "Page_3.png"}));
}

TEST_F(ExportCommand, AnInterruptedExportKeepsNothing)
{
    const TerminalRun run = runInTerminal({"export", comic, out("png"), "--dpi", "600"}, "exporting page 1");
    EXPECT_EQ(run.status, 1) << run.seen.toStdString();
    EXPECT_TRUE(run.seen.contains("interrupted; nothing was kept")) << run.seen.toStdString();
    EXPECT_EQ(entries(dir), QStringList{"comic.xml"});
}
