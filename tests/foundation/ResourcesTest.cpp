#include "InterfaceLanguage.h"
#include "Resources.h"
#include "StringTable.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class ResourcesTest : public ::testing::Test
{
protected:
    void SetUp() override { root = TestEnvironment::makeTempFolder("resources"); }
    void TearDown() override { setResourceRoot(QString()); }
    QString root;
};

TEST_F(ResourcesTest, LanguageChoice)
{
    QDir(root).mkpath("English");
    QDir(root).mkpath("French");
    struct Case { const char* languageFile; int localeNumber; const char* code; };
    const Case cases[] = {
        {nullptr, 12, "FRA"},  // the locale decides
        {nullptr, 7, "ENU"},   // German has no folder: English
        {nullptr, 42, "ENU"},
        {"FRA", 9, "FRA"},
        {"DEU", 12, "ENU"},    // named, but its folder is missing
        {"XYZ", 12, "ENU"},    // any other three bytes give English
        {"FR", 12, "FRA"},     // a short file falls through to the locale
        {"FRA\nrest", 9, "FRA"},
    };
    for (const Case& c : cases) {
        QFile::remove(root + "/language.txt");
        if (c.languageFile)
            writeFile(root + "/language.txt", c.languageFile);
        EXPECT_EQ(InterfaceLanguage::choose(root, c.localeNumber).code, QLatin1String(c.code))
            << (c.languageFile ? c.languageFile : "(none)") << " " << c.localeNumber;
    }
}

TEST_F(ResourcesTest, LocalizedPathsFallBackToEnglishThenTheRoot)
{
    writeFile(root + "/language.txt", "FRA");
    writeFile(root + "/French/about.txt", "fr");
    writeFile(root + "/English/PageTypes.plist", "en");
    writeFile(root + "/Sounds/Inflate.wav", "wav");
    setResourceRoot(root);
    initializeResources();
    EXPECT_EQ(interfaceLanguage().code, u"FRA");
    EXPECT_EQ(localizedResourcePath("about.txt"), root + "/French/about.txt");
    EXPECT_EQ(localizedResourcePath("PageTypes.plist"), root + "/English/PageTypes.plist");
    EXPECT_EQ(localizedResourcePath("Inflate.wav", "Sounds"), root + "/Sounds/Inflate.wav");
    EXPECT_EQ(localizedResourcePath("missing.txt"), QString());
    EXPECT_EQ(resourcePath("icon.png", "Images"), root + "/Images/icon.png");
}

TEST_F(ResourcesTest, MissingLanguageUsesEnglishStrings)
{
    writeFile(root + "/language.txt", "DEU");
    writeFile(root + "/English/strings.xml", "<document><s name=\"BuiltIn\">Built-in</s></document>");
    setResourceRoot(root);
    initializeResources();
    EXPECT_EQ(interfaceLanguage().code, u"ENU");
    EXPECT_EQ(localizedString("BuiltIn"), u"Built-in");
    EXPECT_EQ(localizedString("Nope"), u"Nope");
}

TEST(BundledResources, EnglishStringsAreShippedAndRead)
{
    setResourceRoot(QString());
    initializeResources();
    EXPECT_TRUE(QFileInfo(resourceRoot()).isDir()) << resourceRoot().toStdString();
    EXPECT_EQ(localizedString("BuiltIn"), u"Built-in");
    EXPECT_NE(localizedString("$StylesheetSaveFailed"), u"$StylesheetSaveFailed");
    EXPECT_FALSE(localizedResourcePath("PageTypes.plist").isEmpty());
}

TEST(DocumentsFolder, CreatedOnDemandUnderThePrivateHome)
{
    const QString folder = documentsFolder("Page Templates");
    EXPECT_TRUE(folder.startsWith(TestEnvironment::home())) << folder.toStdString();
    EXPECT_TRUE(folder.endsWith("/Panelora/Page Templates/"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(documentsFile("Colors.xml"), documentsFolder() + "Colors.xml");
}

TEST(PictureAlbum, MachineValueThenUserValueThenPictures)
{
    const QString machineAlbum = TestEnvironment::makeTempFolder("machine-album");
    const QString userAlbum = TestEnvironment::makeTempFolder("user-album");
    const QString systemConfig = TestEnvironment::makeTempFolder("system-config");
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, systemConfig);
    QSettings machine(QSettings::NativeFormat, QSettings::SystemScope, "Oxlen", "Panelora");
    QSettings user(QSettings::NativeFormat, QSettings::UserScope, "Oxlen", "Panelora");

    user.setValue("Prefs/CustomPhotoAlbum", userAlbum);
    user.sync();
    EXPECT_EQ(customPictureAlbum(), userAlbum);

    machine.setValue("Prefs/CustomPhotoAlbum", machineAlbum);
    machine.sync();
    EXPECT_EQ(customPictureAlbum(), machineAlbum);

    machine.setValue("Prefs/CustomPhotoAlbum", "/");
    machine.sync();
    EXPECT_EQ(customPictureAlbum(), userAlbum) << "a one-character machine value is ignored";

    user.setValue("Prefs/CustomPhotoAlbum", "/no/such/folder");
    user.sync();
    EXPECT_EQ(customPictureAlbum(), QString());
    EXPECT_EQ(pictureAlbum(), QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));

    machine.remove("Prefs/CustomPhotoAlbum");
    user.remove("Prefs/CustomPhotoAlbum");
}

} // namespace
