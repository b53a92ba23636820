// Documents on the command line as a user calls it: resave, pack, unpack,
// the pictures of comic data files, damaged documents and --salvage.

#include "CliTestSupport.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

// One page: a picture of "red.png" from the folder "Images" beside the file,
// and one of a picture that is missing.
const char kComic[] = R"(<comic><attributes>
<setting name="pageSize">{200, 150}</setting><setting name="portraitMode">0</setting></attributes>
<pages><element type="page" oid="p1"><style name=""/><elements>
  <element type="image" oid="i1" x="40" y="30" w="100" h="60"><style name=""/><elements/>
    <attributes><setting name="maintainAspectRatio">0</setting><setting name="imageName">red.png</setting></attributes></element>
  <element type="image" oid="i2" x="150" y="100" w="20" h="20"><style name=""/><elements/>
    <attributes><setting name="imageName">gone.png</setting></attributes></element>
</elements></element></pages></comic>)";

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void writeColour(const QString& path, QColor colour)
{
    QImage image(40, 24, QImage::Format_RGB32);
    image.fill(colour);
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(image.save(path, "PNG"));
}

QStringList treeOf(const QString& folder)
{
    QStringList names;
    QDirIterator entries(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
    while (entries.hasNext())
        names << QDir(folder).relativeFilePath(entries.next());
    names.sort();
    return names;
}

class DocumentCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = TestEnvironment::makeTempFolder(QStringLiteral("document-cli"));
        comic = dir + QStringLiteral("/comic.xml");
        writeFile(comic, kComic);
        writeColour(dir + QStringLiteral("/Images/red.png"), QColor(230, 20, 20));
        writeColour(dir + QStringLiteral("/Images/spare.png"), QColor(20, 20, 230));
        environment = isolatedEnvironment(dir);
        runtime = dir + QStringLiteral("/run");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    }

    CliRun run(const QStringList& arguments) const { return runCli(arguments, environment); }

    QString makeDocument(const QString& name = QStringLiteral("comic.comicdoc")) const
    {
        const QString path = dir + u'/' + name;
        const CliRun saved = run({QStringLiteral("resave"), comic, path});
        EXPECT_EQ(saved.status, 0) << saved.errText().toStdString();
        return path;
    }

    QJsonObject info(const QString& path) const
    {
        const CliRun described = run({QStringLiteral("info"), path});
        EXPECT_EQ(described.status, 0) << described.errText().toStdString();
        return QJsonDocument::fromJson(described.out).object();
    }

    QString dir, comic, runtime;
    QProcessEnvironment environment;
};

TEST_F(DocumentCommands, PicturesOfAComicDataFileComeFromTheImagesFolderBesideIt)
{
    const QString out = dir + QStringLiteral("/page.png");
    const CliRun rendered = run({QStringLiteral("render"), comic, QStringLiteral("-o"), out});
    ASSERT_EQ(rendered.status, 0) << rendered.errText().toStdString();
    const QImage page(out);
    ASSERT_EQ(page.size(), QSize(200, 150));
    const QRgb centre = page.pixel(90, 60);
    EXPECT_GT(qRed(centre), 200);
    EXPECT_LT(qGreen(centre), 60);
    EXPECT_EQ(page.pixel(10, 10), qRgb(255, 255, 255));
}

TEST_F(DocumentCommands, ResaveStoresOnlyUsedPicturesAndTheDocumentDrawsTheSame)
{
    const QString document = makeDocument();
    EXPECT_FALSE(QFileInfo::exists(document + QStringLiteral(".comictmp")));
    EXPECT_TRUE(readFile(document).startsWith("pXnA0001"));
    EXPECT_EQ(info(document)["pages"].toArray(), info(comic)["pages"].toArray());
    const QJsonObject red{{"name", "red.png"}, {"used", true}};
    EXPECT_EQ(info(comic)["pictures"].toArray(), (QJsonArray{red, QJsonObject{{"name", "spare.png"}, {"used", false}}}));
    EXPECT_EQ(info(document)["pictures"].toArray(), QJsonArray{red});

    const QString folder = dir + QStringLiteral("/unpacked");
    ASSERT_EQ(run({QStringLiteral("unpack"), document, folder}).status, 0);
    EXPECT_EQ(treeOf(folder), (QStringList{"ComicData.pac", "Images", "Images/red.png", "Thumbnails"}));
    EXPECT_EQ(readFile(folder + QStringLiteral("/Images/red.png")), readFile(dir + QStringLiteral("/Images/red.png")));

    const QString fromData = dir + QStringLiteral("/data.png"), fromDocument = dir + QStringLiteral("/doc.png");
    ASSERT_EQ(run({QStringLiteral("render"), comic, QStringLiteral("-o"), fromData}).status, 0);
    ASSERT_EQ(run({QStringLiteral("render"), document, QStringLiteral("-o"), fromDocument}).status, 0);
    EXPECT_EQ(QImage(fromDocument), QImage(fromData));

    // Saving a document over itself, and names in capitals.
    const QString capitals = dir + QStringLiteral("/COMIC.COMICDOC");
    ASSERT_TRUE(QFile::copy(document, capitals));
    const CliRun again = run({QStringLiteral("resave"), capitals, capitals});
    ASSERT_EQ(again.status, 0) << again.errText().toStdString();
    EXPECT_EQ(info(capitals)["pages"].toArray(), info(comic)["pages"].toArray());

    // Every command cleans its working folders up when it ends.
    QStringList left = treeOf(runtime + QStringLiteral("/Oxlen/Panelora"));
    EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
}

TEST_F(DocumentCommands, UnpackAndPackKeepTheArchiveAsItIs)
{
    const QString document = makeDocument();
    const QString folder = dir + QStringLiteral("/package");
    ASSERT_EQ(run({QStringLiteral("unpack"), document, folder}).status, 0);
    writeFile(folder + QStringLiteral("/Images/extra.png"), readFile(dir + QStringLiteral("/Images/spare.png")));
    const QString repacked = dir + QStringLiteral("/repacked.comicdoc");
    const CliRun packed = run({QStringLiteral("pack"), folder, repacked});
    ASSERT_EQ(packed.status, 0) << packed.errText().toStdString();
    EXPECT_TRUE(packed.errText().isEmpty());

    const QString again = dir + QStringLiteral("/again");
    ASSERT_EQ(run({QStringLiteral("unpack"), repacked, again}).status, 0);
    EXPECT_EQ(treeOf(again), treeOf(folder));
    EXPECT_EQ(readFile(again + QStringLiteral("/Images/extra.png")), readFile(folder + QStringLiteral("/Images/extra.png")));
}

TEST_F(DocumentCommands, ADamagedDocumentIsReadOnlyWithSalvage)
{
    const QString document = makeDocument();
    const QByteArray bytes = readFile(document);
    const QString damaged = dir + QStringLiteral("/damaged.comicdoc");
    writeFile(damaged, bytes.left(bytes.size() - 1024 - 100));

    const CliRun refused = run({QStringLiteral("info"), damaged});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.errText().contains(QStringLiteral("--salvage"))) << refused.errText().toStdString();
    EXPECT_TRUE(refused.out.isEmpty());

    const CliRun salvaged = run({QStringLiteral("info"), damaged, QStringLiteral("--salvage")});
    ASSERT_EQ(salvaged.status, 0) << salvaged.errText().toStdString();
    EXPECT_TRUE(salvaged.errText().contains(QStringLiteral("warning: ")));
    EXPECT_EQ(QJsonDocument::fromJson(salvaged.out).object()["pages"].toArray().size(), 1);

    const QString folder = dir + QStringLiteral("/out");
    EXPECT_EQ(run({QStringLiteral("unpack"), damaged, folder}).status, 1);
    EXPECT_FALSE(QFileInfo::exists(folder)) << "a refused unpacking leaves nothing";
    EXPECT_EQ(run({QStringLiteral("unpack"), damaged, folder, QStringLiteral("--salvage")}).status, 0);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/ComicData.pac")).isFile());

    const QString out = dir + QStringLiteral("/saved.comicdoc");
    EXPECT_EQ(run({QStringLiteral("resave"), damaged, out}).status, 1);
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(run({QStringLiteral("resave"), damaged, out, QStringLiteral("--salvage")}).status, 0);
    EXPECT_EQ(info(out)["pages"].toArray().size(), 1);
}

TEST_F(DocumentCommands, RefusalsLeaveEverythingAsItWas)
{
    const QString document = makeDocument();
    const QString full = dir + QStringLiteral("/full");
    writeFile(full + QStringLiteral("/mine.txt"), "mine");
    const QString longNames = dir + QStringLiteral("/long");
    writeFile(longNames + QStringLiteral("/Images/") + QString(120, u'x') + QStringLiteral(".png"), "x");
    const QString existing = dir + QStringLiteral("/existing.comicdoc");
    writeFile(existing, "keep me");
    struct Case
    {
        QStringList arguments;
        int status;
        QString message;
    };
    const Case cases[] = {
        {{"unpack", document, full}, 1, "not an empty folder"},
        {{"unpack", dir + "/missing.comicdoc", dir + "/new"}, 1, "no such file"},
        {{"pack", dir + "/missing", existing}, 1, "no such folder"},
        {{"pack", longNames, existing}, 1, "longer than the 100 bytes"},
        {{"resave", comic, dir + "/out.xml"}, 2, ".comicdoc"},
        {{"resave", comic}, 2, "wrong number of arguments"},
        {{"info", comic, "--salvage=yes"}, 2, "salvage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliRun refused = run(c.arguments);
        EXPECT_EQ(refused.status, c.status);
        EXPECT_TRUE(refused.errText().contains(c.message)) << refused.errText().toStdString();
    }
    EXPECT_EQ(treeOf(full), QStringList{QStringLiteral("mine.txt")});
    EXPECT_EQ(readFile(existing), "keep me");
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/new")));
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/out.xml")));
}

} // namespace
