#include "CliTestSupport.h"

#include "TestEnvironment.h"

#include "PaneloraFilter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

namespace {

TEST(CliContract, HelpGoesToStdoutWithStatusZero)
{
    const QList<QStringList> asks = {{"--help"}, {"-h"}, {"filter", "--help"}, {"--help", "filter"},
                                     {"presets", "--help"}, {"filter", "in.png", "--help"}};
    for (const QStringList& arguments : asks) {
        const CliRun run = runCli(arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, 0) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.startsWith("usage: panelora-cli ")) << run.out.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    }
    EXPECT_TRUE(runCli({"--help"}).out.contains("filter"));
    EXPECT_TRUE(runCli({"filter", "--help"}).out.contains("--colorize"));
}

struct UsageCase
{
    QStringList arguments;
    const char* message; // part of the first stderr line
};

TEST(CliContract, UsageErrorsGiveStatusTwoAndTheUsage)
{
    const QString dir = TestEnvironment::makeTempFolder(QStringLiteral("usage"));
    const QString in = dir + "/in.png";
    QImage(4, 4, QImage::Format_RGB32).save(in);
    const QString out = dir + "/out.png";
    const UsageCase cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"presets", "extra"}, "wrong number of arguments"},
        {{"presets", "--bogus"}, "unknown option \"--bogus\""},
        {{"presets", "-x"}, "unknown option \"-x\""},
        {{"filter", in}, "wrong number of arguments"},
        {{"filter", in, out, "third"}, "wrong number of arguments"},
        {{"filter", in, out, "--quality", "abc"}, "--quality"},
        {{"filter", in, out, "--quality=0"}, "--quality"},
        {{"filter", in, out, "--quality", "101"}, "--quality"},
        {{"filter", in, out, "--quality", "9.5"}, "--quality"},
        {{"filter", in, out, "--quality"}, "needs a value"},
        {{"filter", in, out, "--invert=yes"}, "takes no value"},
        {{"filter", in, out, "--colorize", "red"}, "--colorize"},
        {{"filter", in, out, "--colorize=#12345"}, "--colorize"},
        {{"filter", in, out, "--colorize=#GG0000"}, "--colorize"},
        {{"filter", in, dir + "/out.gif"}, "cannot write"},
        {{"filter", in, dir + "/out"}, "cannot write"},
    };
    for (const UsageCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliRun run = runCli(c.arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.isEmpty());
        const QString first = run.errText().section('\n', 0, 0);
        EXPECT_TRUE(first.startsWith("panelora-cli: ")) << first.toStdString();
        EXPECT_TRUE(first.contains(QString::fromUtf8(c.message))) << first.toStdString();
        EXPECT_TRUE(run.err.contains("\nusage: panelora-cli")) << run.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST(CliContract, PresetsListsTheRegistryOnStdout)
{
    QByteArray expected;
    for (const QString& name : presetNames())
        expected += name.toUtf8() + '\n';
    const CliRun run = runCli({"presets"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, expected);
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

// No display and no platform chosen: the program picks the offscreen one.
// A user's locale changes nothing on stdout.
TEST(CliContract, RunsWithoutADisplayInAnyLocale)
{
    QProcessEnvironment environment = isolatedEnvironment(TestEnvironment::makeTempFolder(QStringLiteral("nodisplay")));
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    const CliRun run = runCli({"presets"}, environment);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, runCli({"presets"}).out);
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

TEST(CliContract, NeverTouchesThePreferences)
{
    const QString home = TestEnvironment::makeTempFolder(QStringLiteral("prefs"));
    const QString store = home + "/.config/Oxlen/Panelora.conf";
    QDir().mkpath(QFileInfo(store).absolutePath());
    {
        QFile file(store);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Prefs]\nPlaySoundsPreference=true\n");
    }
    const QString in = home + "/in.png";
    QImage picture(6, 6, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    ASSERT_TRUE(picture.save(in));
    const QProcessEnvironment environment = isolatedEnvironment(home);
    EXPECT_EQ(runCli({"presets"}, environment).status, 0);
    EXPECT_EQ(runCli({"filter", in, home + "/out.png", "--preset", "Drawn"}, environment).status, 0);
    EXPECT_EQ(runCli({"filter", in, home + "/out.png", "--preset", "Nope"}, environment).status, 1);

    QFile file(store);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Prefs]\nPlaySoundsPreference=true\n"));
    EXPECT_EQ(QDir(home + "/.config/Oxlen").entryList(QDir::Files), QStringList{"Panelora.conf"});
}

} // namespace
