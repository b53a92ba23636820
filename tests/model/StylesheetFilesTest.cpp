#include "CSStylesheet.h"

#include "PAFont.h"
#include "Preferences.h"
#include "Resources.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QString builtInPath(const QString& name)
{
    return CSStylesheet::builtInStylesheetFolder() + name + QStringLiteral(".comicstl");
}

TEST(BuiltInStylesheets, TheFirstRunDefaultAndOthersAreThere)
{
    const QStringList names = CSStylesheet::stylesheetNames(CSStylesheet::builtInStylesheetFolder());
    EXPECT_TRUE(names.contains(QStringLiteral("Oxlen-intl")));
    EXPECT_GE(names.size(), 2);
}

TEST(BuiltInStylesheets, EachLoadsWithEveryKeyAndStylesOfEveryKind)
{
    const QStringList names = CSStylesheet::stylesheetNames(CSStylesheet::builtInStylesheetFolder());
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = builtInPath(name);
        RefPtr<CSStylesheet> sheet(CSStylesheet::stylesheetFromFile(path));
        ASSERT_TRUE(sheet);
        for (const StyleKey& entry : StyleKeys::catalogue())
            EXPECT_TRUE(sheet->containsKey(entry.key)) << entry.key.toStdString();
        for (StyleKind kind : StyleKeys::kinds()) {
            const QString& prefix = StyleKeys::prefix(kind);
            const QStringList styles = sheet->styleNames(prefix);
            EXPECT_FALSE(styles.isEmpty()) << prefix.toStdString();
            // A named style holds every key of its kind.
            for (const QString& style : styles)
                for (const StyleKey& entry : StyleKeys::keysOf(kind))
                    EXPECT_TRUE(sheet->namedStyle(prefix, style)->containsKey(entry.key))
                        << style.toStdString() << " lacks " << entry.key.toStdString();
        }
        // Only the kinds with several looks a comic needs most.
        EXPECT_GE(sheet->styleNames(u"Bubble").size(), 3);
        EXPECT_GE(sheet->styleNames(u"Caption").size(), 3);
        EXPECT_GE(sheet->styleNames(u"Cell").size(), 3);
        EXPECT_GE(sheet->styleNames(u"SFX").size(), 3);
        // The file is in the writer's own form, so saving it changes nothing.
        EXPECT_EQ(sheet->xmlText(), readAll(path));
        // Every face the file names is one that ships with the program.
        const QStringList faces = {QStringLiteral("Comic Neue"), QStringLiteral("DejaVu Sans"),
                                   QStringLiteral("DejaVu Serif"), QStringLiteral("DejaVu Sans Mono"),
                                   QStringLiteral("Liberation Sans"), QStringLiteral("Liberation Serif"),
                                   QStringLiteral("Liberation Mono")};
        for (const StyleKey& entry : StyleKeys::catalogue()) {
            if (entry.type != StyleValueType::Font)
                continue;
            EXPECT_TRUE(faces.contains(sheet->fontForKey(entry.key)->family())) << entry.key.toStdString();
            for (const QString& style : sheet->styleNames(StyleKeys::prefix(entry.kind)))
                EXPECT_TRUE(faces.contains(sheet->namedStyle(StyleKeys::prefix(entry.kind), style)->fontForKey(entry.key)->family()))
                    << style.toStdString();
        }
    }
}

class PreferredStylesheet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        userFolder = CSStylesheet::userStylesheetFolder();
        RefPtr<CSStylesheet> mine(CSStylesheet::defaultStylesheet());
        mine->setColorForKey(0xFF123456, QStringLiteral("Page.BackgroundColor"));
        ASSERT_TRUE(mine->saveToFile(userFolder + QStringLiteral("Mine.comicstl")));
        mine->setColorForKey(0xFF654321, QStringLiteral("Page.BackgroundColor"));
        ASSERT_TRUE(mine->saveToFile(userFolder + QStringLiteral("Night: Blue.comicstl")));
        writeAll(userFolder + QStringLiteral("Broken.comicstl"), "<stylesheet><setting");
        writeAll(userFolder + QStringLiteral("Partial.comicstl"),
                 "<stylesheet><setting name=\"Cell.FrameWidth\">4.000000</setting></stylesheet>");
    }
    void TearDown() override { removePref(QStringLiteral("StylesheetPreference")); }

    QString userFolder;
};

TEST_F(PreferredStylesheet, ResolvesThePreferenceValue)
{
    RefPtr<CSStylesheet> intl(CSStylesheet::stylesheetFromFile(builtInPath(QStringLiteral("Oxlen-intl"))));
    ASSERT_TRUE(intl);
    const QByteArray intlText = intl->xmlText();
    RefPtr<CSStylesheet> builtIn(CSStylesheet::defaultStylesheet());
    const QByteArray builtInText = builtIn->xmlText();

    struct Case { QString preference; QByteArray expected; PackedColor background; };
    const Case cases[] = {
        {QString(), builtInText, 0},
        {CSStylesheet::builtInDisplayName(QStringLiteral("Oxlen-intl")), intlText, 0},
        {QStringLiteral("Eingebaut: Oxlen-intl"), intlText, 0},
        {QStringLiteral("Oxlen-intl"), builtInText, 0},
        {QStringLiteral(": Oxlen-intl"), builtInText, 0},
        {QStringLiteral("Built-in: "), builtInText, 0},
        {QStringLiteral("Built-in: Missing"), builtInText, 0},
        {QStringLiteral("Built-in: ../Stylesheets/Oxlen-intl"), builtInText, 0},
        {QStringLiteral("Mine"), QByteArray(), 0xFF123456},
        {QStringLiteral("Night: Blue"), QByteArray(), 0xFF654321},
        {QStringLiteral("Broken"), builtInText, 0},
    };
    for (const Case& c : cases) {
        setPrefString(QStringLiteral("StylesheetPreference"), c.preference);
        RefPtr<CSStylesheet> sheet(CSStylesheet::preferredStylesheet());
        ASSERT_TRUE(sheet) << c.preference.toStdString();
        if (c.background)
            EXPECT_EQ(sheet->colorForKey(QStringLiteral("Page.BackgroundColor")), c.background) << c.preference.toStdString();
        else
            EXPECT_EQ(sheet->xmlText(), c.expected) << c.preference.toStdString();
    }
    EXPECT_EQ(CSStylesheet::builtInDisplayName(QStringLiteral("Oxlen-intl")),
              localizedString(QStringLiteral("BuiltIn")) + QStringLiteral(": Oxlen-intl"));
}

TEST_F(PreferredStylesheet, APartialFileGetsTheMissingDefaults)
{
    setPrefString(QStringLiteral("StylesheetPreference"), QStringLiteral("Partial"));
    RefPtr<CSStylesheet> sheet(CSStylesheet::preferredStylesheet());
    EXPECT_FLOAT_EQ(sheet->floatForKey(QStringLiteral("Cell.FrameWidth")), 4);
    for (const StyleKey& entry : StyleKeys::catalogue())
        EXPECT_TRUE(sheet->containsKey(entry.key)) << entry.key.toStdString();
    RefPtr<CSStylesheet> plain(CSStylesheet::stylesheetFromFile(userFolder + QStringLiteral("Partial.comicstl")));
    EXPECT_EQ(plain->values().count(), 1) << "reading a file on its own adds nothing";
}

TEST(StylesheetFiles, UnreadableFilesGiveNoStylesheet)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("sheets"));
    writeAll(folder + QStringLiteral("/empty.comicstl"), "");
    writeAll(folder + QStringLiteral("/text.comicstl"), "just words");
    EXPECT_FALSE(CSStylesheet::stylesheetFromFile(folder + QStringLiteral("/missing.comicstl")));
    EXPECT_FALSE(CSStylesheet::stylesheetFromFile(folder + QStringLiteral("/empty.comicstl")));
    EXPECT_FALSE(CSStylesheet::stylesheetFromFile(folder + QStringLiteral("/text.comicstl")));
    EXPECT_FALSE(CSStylesheet::stylesheetFromFile(folder));
}

TEST(StylesheetFiles, SavingReplacesTheFileWholeOrNotAtAll)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("save"));
    const QString path = folder + QStringLiteral("/Look.comicstl");
    writeAll(path, "old contents that are much longer than nothing at all, to show that nothing of them remains");
    RefPtr<CSStylesheet> sheet(CSStylesheet::defaultStylesheet());
    ASSERT_TRUE(sheet->saveToFile(path));
    EXPECT_EQ(readAll(path), sheet->xmlText());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("Look.comicstl")}) << "no temporary left";

    // A save that cannot be written reports it and leaves what was there.
    EXPECT_FALSE(sheet->saveToFile(folder + QStringLiteral("/no such folder/Look.comicstl")));
    EXPECT_FALSE(sheet->saveToFile(folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(readAll(path), sheet->xmlText());
}

} // namespace
