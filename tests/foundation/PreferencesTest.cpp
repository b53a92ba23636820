#include "LocalePaper.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "PreferenceDefaults.h"
#include "Preferences.h"
#include "PropertyList.h"
#include "Resources.h"
#include "SoundPlayer.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void clearStore()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Oxlen", "Panelora").clear();
}

class PreferencesTest : public ::testing::Test
{
protected:
    void SetUp() override { clearStore(); }
    void TearDown() override
    {
        clearStore();
        setResourceRoot(QString());
    }
};

TEST_F(PreferencesTest, TypedAccessAndDefaults)
{
    EXPECT_EQ(prefString("Missing"), QString());
    EXPECT_EQ(prefInt("Missing", 42), 42);
    EXPECT_FALSE(prefBool("Missing"));
    setPrefString("Name", "Value");
    setPrefInt("Number", -3);
    setPrefBool("Flag", true);
    EXPECT_EQ(prefString("Name"), u"Value");
    EXPECT_EQ(prefInt("Number", 0), -3);
    EXPECT_TRUE(prefBool("Flag"));
    EXPECT_EQ(prefInt("Flag", 0), 1) << "booleans are stored as 1 or 0";
    EXPECT_TRUE(preferenceStoreLocation().startsWith(TestEnvironment::home()));
}

TEST_F(PreferencesTest, BinaryValuesNeedTheExactLength)
{
    const unsigned char placement[44] = {44, 0, 0, 0, 1, 2, 3};
    setPrefBinary("WindowState", placement, sizeof placement);
    unsigned char out[44] = {};
    EXPECT_TRUE(prefBinary("WindowState", out, sizeof out));
    EXPECT_EQ(out[5], 2);
    unsigned char shorter[40] = {9};
    EXPECT_FALSE(prefBinary("WindowState", shorter, sizeof shorter));
    EXPECT_EQ(shorter[0], 9) << "the buffer is filled only on success";
    EXPECT_FALSE(prefBinary("Absent", out, sizeof out));
}

void writePageTypes(const QString& root, const QList<std::pair<QString, QString>>& types)
{
    RefPtr<NSDictionary> plist(new NSDictionary);
    auto* array = new NSArray;
    for (const auto& [name, size] : types) {
        auto* type = new NSDictionary;
        type->setStringForKey(name, "Name");
        type->setStringForKey(size, "Size");
        array->addDictionary(type);
    }
    plist->setArrayForKey(array, "Page Types");
    QDir().mkpath(root + "/English");
    ASSERT_TRUE(PropertyList::writePropertyList(plist.get(), root + "/English/PageTypes.plist"));
}

TEST_F(PreferencesTest, FirstRunPageFormatFromThePaper)
{
    struct Case { int paper; QList<std::pair<QString, QString>> types; const char* expected; };
    const Case cases[] = {
        {9, {{"Letter", "{612, 792}"}, {"A4 landscape", "{842, 595}"}}, "A4 landscape"},
        {1, {{"First", "{612, 792}"}, {"Second", "{792, 612}"}}, "Second"},
        {8, {{"Letter", "{612, 792}"}, {"Comic", "{600, 400}"}}, "Comic"},
        {0, {{"Letter", "{612, 792}"}}, "US Letter"},
    };
    for (const Case& c : cases) {
        clearStore();
        const QString root = TestEnvironment::makeTempFolder("first-run");
        writePageTypes(root, c.types);
        setResourceRoot(root);
        initializeResources();
        PreferenceDefaults::applyFirstRunDefaults(c.paper);
        EXPECT_EQ(prefString("PageFormatPreference"), QLatin1String(c.expected)) << c.paper;
    }
}

TEST_F(PreferencesTest, FirstRunWritesEveryDefaultOnce)
{
    setResourceRoot(TestEnvironment::makeTempFolder("no-page-types"));
    initializeResources();
    PreferenceDefaults::applyFirstRunDefaults(9);
    EXPECT_TRUE(prefBool("Defaults-Set"));
    EXPECT_EQ(prefString("PageFormatPreference"), u"US Letter") << "no page-types file";
    EXPECT_EQ(prefString("StylesheetPreference"), u"BuiltIn: Oxlen-intl");
    EXPECT_EQ(prefString("PageFormatSizePreference"), u"{600, 400}");
    struct Flag { const char* key; int value; };
    const Flag flags[] = {
        {"PageFormatCustomPreference", 0}, {"PageOrientationPreference", 1}, {"CheckVersionPreference", 1},
        {"OverrideStylesheetPreference", 1}, {"SyncStylesheetPreference", 0}, {"ClipElementsPreference", 0},
        {"PlaySoundsPreference", 1}, {"FilterImagesAtScreenResPreference", 1}, {"CheckCountPreference", 0},
    };
    for (const Flag& flag : flags)
        EXPECT_EQ(prefInt(flag.key, -1), flag.value) << flag.key;

    setPrefBool("PlaySoundsPreference", false);
    setPrefString("PageFormatPreference", "Mine");
    PreferenceDefaults::applyFirstRunDefaults(9);
    EXPECT_FALSE(prefBool("PlaySoundsPreference")) << "a second launch keeps the user's choices";
    EXPECT_EQ(prefString("PageFormatPreference"), u"Mine");
}

TEST_F(PreferencesTest, VersionChangeResetsTheLaunchCount)
{
    PreferenceDefaults::applyVersionChange("1.0.0");
    setPrefInt("CheckCountPreference", 5);
    PreferenceDefaults::applyVersionChange("1.0.0");
    EXPECT_EQ(prefInt("CheckCountPreference", -1), 5);
    PreferenceDefaults::applyVersionChange("1.1.0");
    EXPECT_EQ(prefInt("CheckCountPreference", -1), 0);
    EXPECT_EQ(prefString("LastVersion"), u"1.1.0");
}

TEST(LocalePaper, CodesAndSizes)
{
    EXPECT_EQ(LocalePaper::codeForMillimetres(216, 279), 1);
    EXPECT_EQ(LocalePaper::codeForMillimetres(216, 356), 5);
    EXPECT_EQ(LocalePaper::codeForMillimetres(297, 420), 8);
    EXPECT_EQ(LocalePaper::codeForMillimetres(210, 297), 9);
    EXPECT_EQ(LocalePaper::codeForMillimetres(100, 100), 0);
    EXPECT_EQ(LocalePaper::sizeForCode(9), (Size{595, 842}));
    EXPECT_EQ(LocalePaper::sizeForCode(5), (Size{612, 1008}));
    EXPECT_EQ(LocalePaper::sizeForCode(3), (Size{0, 0}));
}

TEST(LocalePaper, GermanLocaleIsA4)
{
    const char* previous = std::getenv("LC_ALL");
    const std::string saved = previous ? previous : "";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    const int code = LocalePaper::localeCode();
    if (previous)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
    EXPECT_EQ(code, 9) << "scripts/install-deps generates de_DE.UTF-8";
}

class RecordingPlayer : public SoundPlayer
{
public:
    struct Log { QStringList played; int stops = 0; bool lastLooping = false; };
    explicit RecordingPlayer(Log* log) : m_log(log) {}
    void play(const QString& path, bool looping) override
    {
        m_log->played << path;
        m_log->lastLooping = looping;
    }
    void stopAll() override { ++m_log->stops; }

private:
    Log* m_log;
};

TEST_F(PreferencesTest, SoundsFollowThePreferenceAndSkipMissingFiles)
{
    const QString root = TestEnvironment::makeTempFolder("sounds");
    QDir().mkpath(root + "/Sounds");
    QFile(root + "/Sounds/Inflate.wav").open(QIODevice::WriteOnly);
    setResourceRoot(root);

    playSound("Inflate");  // no player: silence
    RecordingPlayer::Log log;
    SoundPlayer::install(std::make_unique<RecordingPlayer>(&log));
    setPrefBool("PlaySoundsPreference", true);
    playSound("Inflate");
    playSound("Missing");
    setPrefBool("PlaySoundsPreference", false);
    playSound("Inflate");
    setPrefBool("PlaySoundsPreference", true);
    Sound("Inflate", true).play();
    stopSounds();
    SoundPlayer::install(nullptr);

    ASSERT_EQ(log.played.size(), 2);
    EXPECT_EQ(log.played[0], root + "/Sounds/Inflate.wav");
    EXPECT_TRUE(log.lastLooping);
    EXPECT_EQ(log.stops, 1);
}

} // namespace
