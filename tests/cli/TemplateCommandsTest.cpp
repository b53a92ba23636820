// page-types and templates as a user calls them.

#include "CliTestSupport.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QList<QStringList> tabbedLines(const QByteArray& out)
{
    QList<QStringList> lines;
    for (const QString& line : QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts))
        lines << line.split(u'\t');
    return lines;
}

TEST(PageTypesCommand, OneLinePerTypeWithItsSize)
{
    const CliRun run = runCli({"page-types"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0) << run.errText().toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    const QList<QStringList> lines = tabbedLines(run.out);
    ASSERT_GE(lines.size(), 13);
    EXPECT_EQ(lines.front(), (QStringList{"US Letter", "612", "792"}));
    EXPECT_TRUE(lines.contains(QStringList{"A4", "595", "842"}));
    EXPECT_TRUE(lines.contains(QStringList{"Web Comic 400 x 600", "400", "600"}));
    for (const QStringList& line : lines)
        EXPECT_EQ(line.size(), 3) << line.join(u'|').toStdString();
}

TEST(TemplatesCommand, BuiltInGroupsFirstThenTheUsers)
{
    const QString home = TestEnvironment::makeTempFolder(QStringLiteral("templates-home"));
    const QString mine = home + QStringLiteral("/Documents/Panelora/Page Templates/Mine");
    ASSERT_TRUE(QDir().mkpath(mine));
    {
        QFile file(mine + QStringLiteral("/Strip.comictpl"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<plist version=\"1.0\"><dict><key>Cells</key><array>"
                   "<dict><key>Frame</key><string>{{0, 0}, {500, 1000}}</string></dict>"
                   "<dict><key>Frame</key><string>{{500, 0}, {500, 1000}}</string></dict>"
                   "</array></dict></plist>");
        QFile broken(mine + QStringLiteral("/Broken.comictpl"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("<plist");
    }
    const CliRun run = runCli({"templates"}, isolatedEnvironment(home));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0) << run.errText().toStdString();
    const QList<QStringList> lines = tabbedLines(run.out);
    ASSERT_GE(lines.size(), 41);
    EXPECT_EQ(lines.front()[0], QStringLiteral("Built-in: Action"));
    EXPECT_EQ(lines.back(), (QStringList{"Mine", "Strip", "2"}));
    for (const QStringList& line : lines) {
        ASSERT_EQ(line.size(), 3);
        EXPECT_GE(line[2].toInt(), 1) << line.join(u'|').toStdString();
    }

    const CliRun splash = runCli({"templates", "Built-in: Splash"}, isolatedEnvironment(home));
    EXPECT_EQ(splash.status, 0);
    const QList<QStringList> splashLines = tabbedLines(splash.out);
    ASSERT_FALSE(splashLines.isEmpty());
    for (const QStringList& line : splashLines)
        EXPECT_EQ(line[0], QStringLiteral("Built-in: Splash"));
    EXPECT_TRUE(splashLines.contains(QStringList{"Built-in: Splash", "Cover", "1"}));

    const CliRun unknown = runCli({"templates", "Nope"}, isolatedEnvironment(home));
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_TRUE(unknown.errText().contains(QStringLiteral("no such template group")));
}

} // namespace
