#include "CliTestSupport.h"

#include "TestEnvironment.h"

#include "PaneloraFilter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

namespace {

QImage sampleInput()
{
    QImage picture(48, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x)
            picture.setPixel(x, y, qRgb(x * 5, y * 8, (x * y) % 256));
    return picture;
}

class FilterCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = TestEnvironment::makeTempFolder(QStringLiteral("filter"));
        in = dir + "/in.png";
        ASSERT_TRUE(sampleInput().save(in));
    }

    QStringList leftovers() const
    {
        QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QStringLiteral("in.png"));
        return names;
    }

    QString dir;
    QString in;
};

struct PlacementCase
{
    QStringList arguments; // IN and OUT as "IN" and "OUT"
    QString preset;
    bool invert;
    bool colorize;
    PackedColor color;
};

// Options may stand anywhere; the file is what the library makes of the picture.
TEST_F(FilterCommand, WritesWhatThePresetMakes)
{
    const PlacementCase cases[] = {
        {{"filter", "IN", "OUT", "--preset", "Comicify!"}, "Comicify!", false, false, 0},
        {{"--preset=Comicify!", "filter", "IN", "OUT"}, "Comicify!", false, false, 0},
        {{"filter", "--preset", "Hatched Greyscale", "IN", "OUT"}, "Hatched Greyscale", false, false, 0},
        {{"filter", "IN", "--invert", "OUT", "--colorize=#FF000080", "--preset", "Drawn"}, "Drawn", true, true,
         packColor(255, 0, 0, 0x80)},
        {{"filter", "IN", "OUT", "--colorize", "#3366cc"}, "None", false, true, packColor(0x33, 0x66, 0xCC, 255)},
        {{"filter", "IN", "OUT"}, "None", false, false, 0},
        {{"filter", "--", "IN", "OUT"}, "None", false, false, 0},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const QString out = dir + "/out.png";
        QStringList arguments = c.arguments;
        arguments.replaceInStrings(QRegularExpression("^IN$"), in).replaceInStrings(QRegularExpression("^OUT$"), out);
        const CliRun run = runCli(arguments);
        ASSERT_TRUE(run.finished);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        const QImage written(out);
        EXPECT_FALSE(written.hasAlphaChannel());
        EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32),
                  applyPreset(c.preset, QImage(in), c.invert, c.colorize, c.color));
        EXPECT_EQ(leftovers(), QStringList{"out.png"});
    }
}

TEST_F(FilterCommand, WritesTheFormatOfTheExtension)
{
    const struct
    {
        const char* name;
        const char* format;
    } cases[] = {{"a.png", "png"}, {"b.PNG", "png"}, {"c.jpg", "jpeg"}, {"d.jpeg", "jpeg"},
                 {"e.tif", "tiff"}, {"f.tiff", "tiff"}, {"g.bmp", "bmp"}};
    for (const auto& c : cases) {
        const QString out = dir + "/" + c.name;
        const CliRun run = runCli({"filter", in, out, "--preset", "Comicify Bright"});
        ASSERT_EQ(run.status, 0) << c.name << run.err.toStdString();
        QImageReader reader(out);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.name;
        const QImage picture = reader.read();
        EXPECT_EQ(picture.size(), QSize(48, 32)) << c.name;
        EXPECT_FALSE(picture.hasAlphaChannel()) << c.name;
    }
}

TEST_F(FilterCommand, JpegQuality)
{
    ASSERT_EQ(runCli({"filter", in, dir + "/low.jpg", "--quality", "5"}).status, 0);
    ASSERT_EQ(runCli({"filter", in, dir + "/default.jpg"}).status, 0);
    ASSERT_EQ(runCli({"filter", in, dir + "/high.jpg", "--quality=100"}).status, 0);
    const qint64 low = QFileInfo(dir + "/low.jpg").size();
    const qint64 normal = QFileInfo(dir + "/default.jpg").size();
    const qint64 high = QFileInfo(dir + "/high.jpg").size();
    EXPECT_LT(low, normal);
    EXPECT_LT(normal, high);

    // a quality for a format without one is a warning, not a failure
    const CliRun run = runCli({"filter", in, dir + "/q.png", "--quality", "50"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.errText().startsWith("warning: ")) << run.err.toStdString();
    EXPECT_EQ(run.errText().count('\n'), 1);
}

TEST_F(FilterCommand, ReplacesAnExistingFile)
{
    const QString out = dir + "/out.png";
    {
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("an older, longer file that is not a picture at all................................");
    }
    ASSERT_EQ(runCli({"filter", in, out}).status, 0);
    EXPECT_EQ(QImage(out).size(), QSize(48, 32));
    EXPECT_EQ(leftovers(), QStringList{"out.png"});
}

struct FailureCase
{
    const char* what;
    QStringList arguments; // IN, OUT, GARBAGE and FOLDER stand for files of the fixture
    const char* subject;   // what the error line names
};

// Failures: status 1, one line naming the file, and the file that was there
// before is untouched, with nothing else left behind.
TEST_F(FilterCommand, DataFailuresLeaveNothingBehind)
{
    const QString garbage = dir + "/garbage.png";
    {
        QFile file(garbage);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is not a PNG file");
    }
    const QString notes = dir + "/notes.txt";
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
    }
    const QString out = dir + "/out.png";
    const QByteArray previous = "the previous contents";
    const FailureCase cases[] = {
        {"missing input", {"filter", dir + "/missing.png", "OUT"}, "missing.png"},
        {"undecodable input", {"filter", "GARBAGE", "OUT"}, "garbage.png"},
        {"folder as input", {"filter", "FOLDER", "OUT"}, "FOLDER"},
        {"not a picture file", {"filter", "NOTES", "OUT"}, "notes.txt"},
        {"unknown preset", {"filter", "IN", "OUT", "--preset", "comicify!"}, "comicify!"},
        {"output folder missing", {"filter", "IN", dir + "/no/such/folder/out.png"}, "out.png"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        {
            QFile file(out);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(previous);
        }
        QStringList arguments = c.arguments;
        arguments.replaceInStrings(QRegularExpression("^IN$"), in)
            .replaceInStrings(QRegularExpression("^OUT$"), out)
            .replaceInStrings(QRegularExpression("^GARBAGE$"), garbage)
            .replaceInStrings(QRegularExpression("^FOLDER$"), dir)
            .replaceInStrings(QRegularExpression("^NOTES$"), notes);
        const CliRun run = runCli(arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.isEmpty());
        const QString subject = QString::fromUtf8(c.subject) == "FOLDER" ? dir : QString::fromUtf8(c.subject);
        const QStringList lines = run.errText().split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 1) << run.err.toStdString();
        EXPECT_TRUE(lines[0].startsWith("panelora-cli: ")) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(subject + ": ")) << lines[0].toStdString();
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), previous);
        QStringList names = leftovers();
        names.removeAll(QStringLiteral("garbage.png"));
        names.removeAll(QStringLiteral("notes.txt"));
        EXPECT_EQ(names, QStringList{"out.png"});
    }
}

} // namespace
