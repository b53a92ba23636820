// "info" and "render" as a user calls them, on comic data files written here.

#include "CliTestSupport.h"

#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const char kComic[] = R"(<comic><attributes>
<setting name="pageName">Zine "A5"</setting><setting name="pageSize">{420, 595}</setting>
<setting name="portraitMode">0</setting>
<setting name="leftMargin">20.5</setting><setting name="rightMargin">10</setting>
<setting name="topMargin">30</setting><setting name="bottomMargin">5</setting>
<setting name="backgroundColor"><color r="0" g="0.5" b="1" a="1"/></setting></attributes>
<pages>
<element type="page" oid="p1"><style name=""/><elements>
  <element type="caption" oid="c1" x="10" y="20" w="100.25" h="40" angle="12.5"><style name="Loud">
    <setting name="Caption.FrameWidth">3</setting></style><elements/>
    <attributes><setting name="lock">1</setting></attributes></element>
</elements></element>
<element type="page" oid="p2"><style name="Night"/><elements/></element>
</pages></comic>)";

class ComicCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = TestEnvironment::makeTempFolder(QStringLiteral("comic-cli"));
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

    QString dir;
    QString comic;
};

} // namespace

TEST_F(ComicCommands, InfoDescribesPaperPagesAndElementsInAnyLocale)
{
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        SCOPED_TRACE(locale);
        QProcessEnvironment environment = isolatedEnvironment(dir);
        environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        const CliRun run = runCli({QStringLiteral("info"), comic}, environment);
        ASSERT_EQ(run.status, 0) << run.errText().toStdString();
        // The file has no stylesheet of its own: at most that warning.
        for (const QString& line : run.errText().split('\n', Qt::SkipEmptyParts))
            EXPECT_TRUE(line.startsWith(QStringLiteral("warning: "))) << line.toStdString();
        QJsonParseError error;
        const QJsonObject info = QJsonDocument::fromJson(run.out, &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();

        EXPECT_EQ(info["pageName"].toString(), QStringLiteral("Zine \"A5\""));
        EXPECT_EQ(info["pageSize"].toArray(), (QJsonArray{420, 595}));
        EXPECT_EQ(info["orientedSize"].toArray(), (QJsonArray{595, 420}));
        EXPECT_FALSE(info["portrait"].toBool());
        EXPECT_EQ(info["margins"].toArray(), (QJsonArray{20.5, 10, 30, 5}));
        EXPECT_EQ(info["backgroundColor"].toString(), QStringLiteral("#FF0080FF"));

        const QJsonArray pages = info["pages"].toArray();
        ASSERT_EQ(pages.size(), 2);
        EXPECT_EQ(pages[1].toObject()["index"].toInt(), 2);
        EXPECT_EQ(pages[1].toObject()["style"].toString(), QStringLiteral("Night"));
        const QJsonArray elements = pages[0].toObject()["elements"].toArray();
        ASSERT_EQ(elements.size(), 1);
        const QJsonObject caption = elements[0].toObject();
        EXPECT_EQ(caption["type"].toString(), QStringLiteral("caption"));
        EXPECT_EQ(caption["oid"].toString(), QStringLiteral("c1"));
        EXPECT_EQ(caption["frame"].toArray(), (QJsonArray{10, 20, 100.25, 40}));
        EXPECT_EQ(caption["angle"].toDouble(), 12.5);
        EXPECT_EQ(caption["style"].toString(), QStringLiteral("Loud"));
        EXPECT_TRUE(caption["locked"].toBool());
        EXPECT_TRUE(caption["master"].isNull());
        EXPECT_TRUE(caption["clipSource"].isNull());
        EXPECT_EQ(caption["text"].toString(), QString());
        EXPECT_EQ(caption["attributes"].toObject()["Caption.FrameWidth"].toString(), QStringLiteral("3"));
        EXPECT_TRUE(caption["children"].toArray().isEmpty());
    }
}

TEST_F(ComicCommands, DamagedFilesAreDescribedAsFarAsTheyRead)
{
    const QString partial = write(QStringLiteral("partial.xml"), R"(<comic><pages>
        <element type="page"><elements><element type="robot"/><element type="caption" x="1" y="1" w="20" h="20"/></elements></element>
        </pages></comic>)");
    const CliRun run = runCli({QStringLiteral("info"), partial});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.errText().contains(QStringLiteral("warning: ")));
    EXPECT_TRUE(run.errText().contains(QStringLiteral("1 of 2 elements")));
    const QJsonObject info = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(info["pages"].toArray()[0].toObject()["elements"].toArray().size(), 1);
}

TEST_F(ComicCommands, FailuresEndWithTheirStatusAndLeaveNoOutput)
{
    const QString broken = write(QStringLiteral("broken.xml"), "<comic><pages>");
    const QString out = dir + QStringLiteral("/out.png");
    struct Case
    {
        QStringList arguments;
        int status;
        QString message;
    };
    const Case cases[] = {
        {{"info", broken}, 1, "panelora-cli: " + broken + ": "},
        {{"info", dir + "/missing.xml"}, 1, "no such file"},
        {{"info", dir}, 1, "is a folder"},
        {{"info"}, 2, "wrong number of arguments"},
        {{"render", comic, "-o", out, "--page", "3"}, 1, "there is no page 3; the comic has 2"},
        {{"render", comic, "-o", out, "--dpi", "0"}, 2, "--dpi"},
        {{"render", comic, "-o", out, "--dpi", "1201"}, 2, "--dpi"},
        {{"render", comic, "-o", out, "--page", "two"}, 2, "--page"},
        {{"render", comic, "-o", dir + "/out.jpg"}, 2, ".png"},
        {{"render", comic}, 2, "-o OUT.png"},
        {{"render", broken, "-o", out}, 1, broken},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliRun run = runCli(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.errText().contains(c.message)) << run.errText().toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST_F(ComicCommands, RenderDrawsThePaperAtTheResolution)
{
    struct Case
    {
        QStringList options;
        QSize size;
    };
    // Landscape 595 x 420 paper: x 150 / 72 truncates to 1239 x 875.
    const Case cases[] = {
        {{}, QSize(595, 420)},
        {{"--dpi", "150"}, QSize(1239, 875)},
        {{"--page=2", "--dpi=36"}, QSize(297, 210)},
    };
    for (const Case& c : cases) {
        const QString out = dir + QStringLiteral("/page.png");
        const CliRun run = runCli(QStringList{QStringLiteral("render"), comic, QStringLiteral("-o"), out} + c.options);
        ASSERT_EQ(run.status, 0) << run.errText().toStdString();
        const QImage picture(out);
        ASSERT_EQ(picture.size(), c.size);
        const float scale = float(c.size.width()) / 595.0f;
        // The margins show the comic's colour, the content the page's white.
        EXPECT_EQ(picture.pixel(2, 2), qRgb(0, 128, 255));
        EXPECT_EQ(picture.pixel(c.size.width() - 2, c.size.height() - 2), qRgb(0, 128, 255));
        EXPECT_EQ(picture.pixel(int(300 * scale), int(60 * scale)), qRgb(255, 255, 255));
        EXPECT_EQ(picture.pixel(int(19 * scale), int(60 * scale)), qRgb(0, 128, 255));
        EXPECT_EQ(picture.pixel(int(25 * scale), int(60 * scale)), qRgb(255, 255, 255));
    }
}

TEST_F(ComicCommands, InfoNamesBalloonPartsByTheirMasterAndGivesLetteringItsText)
{
    QProcess maker;
    maker.start(QCoreApplication::applicationDirPath() + QStringLiteral("/make-sample-comic"), {dir + "/sample"});
    ASSERT_TRUE(maker.waitForFinished(60000));
    ASSERT_EQ(maker.exitCode(), 0);
    const CliRun run = runCli({QStringLiteral("info"), dir + "/sample/ComicData.pac"});
    ASSERT_EQ(run.status, 0) << run.errText().toStdString();
    const QJsonArray pages = QJsonDocument::fromJson(run.out).object()["pages"].toArray();
    ASSERT_EQ(pages.size(), 3);

    QHash<QString, QString> typeByOid;
    int parts = 0;
    for (const QJsonValue& page : pages) {
        for (const QJsonValue& value : page.toObject()["elements"].toArray()) {
            const QJsonObject element = value.toObject();
            typeByOid.insert(element["oid"].toString(), element["type"].toString());
            const QString type = element["type"].toString();
            if (type == QStringLiteral("balloon") || type == QStringLiteral("lettering")) {
                EXPECT_TRUE(element["children"].toArray().isEmpty()) << type.toStdString();
            }
            if (type == QStringLiteral("lettering")) {
                EXPECT_FALSE(element["text"].toString().isEmpty());
            }
            if (type == QStringLiteral("panel")) {
                EXPECT_EQ(element["children"].toArray()[0].toObject()["type"].toString(), QStringLiteral("image"));
            }
        }
    }
    for (const QJsonValue& page : pages) {
        for (const QJsonValue& value : page.toObject()["elements"].toArray()) {
            const QJsonObject element = value.toObject();
            if (element["type"].toString() != QStringLiteral("subballoon") && element["type"].toString() != QStringLiteral("balloontail"))
                continue;
            ++parts;
            EXPECT_EQ(typeByOid.value(element["master"].toString()), QStringLiteral("balloon"));
        }
    }
    EXPECT_GT(parts, 20);
}
