#include "NSArray.h"
#include "NSDictionary.h"
#include "PropertyList.h"

#include "TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

RefPtr<NSDictionary> fromText(const char* text)
{
    return RefPtr<NSDictionary>(PropertyList::propertyListFromText(QByteArray(text)));
}

TEST(PropertyList, WrittenFileHasDeclarationRootAndKeyOrder)
{
    RefPtr<NSDictionary> d(new NSDictionary);
    d->setStringForKey(QStringLiteral("US Letter"), QStringLiteral("Name"));
    d->setIntForKey(3, QStringLiteral("Count"));
    d->objectForKey(QStringLiteral("Absent"));
    const QByteArray text = PropertyList::propertyListText(d.get());
    EXPECT_TRUE(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>")) << text.constData();
    EXPECT_TRUE(text.contains("<plist version=\"1.0\">"));
    EXPECT_LT(text.indexOf("<key>Count</key>"), text.indexOf("<key>Name</key>"));
    EXPECT_FALSE(text.contains("Absent")) << "an empty value leaves no key";
}

TEST(PropertyList, FileRoundTripKeepsKeysValuesAndColours)
{
    RefPtr<NSDictionary> d(new NSDictionary);
    d->setStringForKey(QString::fromUtf16(u"Gr\u00fc\u00dfe <&>"), QStringLiteral("text"));
    d->setFloatForKey(0.1f, QStringLiteral("real"));
    d->setIntForKey(-2147483647 - 1, QStringLiteral("min"));
    d->setBoolForKey(false, QStringLiteral("flag"));
    auto* colours = new NSArray;
    for (int i = 0; i < 256; i += 17)
        colours->addColor(packColor(std::uint8_t(i), std::uint8_t(255 - i), 127, std::uint8_t(i)));
    d->setArrayForKey(colours, QStringLiteral("colors"));
    auto* nested = new NSDictionary;
    nested->setStringForKey(QStringLiteral("{612, 792}"), QStringLiteral("Size"));
    d->setDictionaryForKey(nested, QStringLiteral("nested"));

    const QString path = TestEnvironment::makeTempFolder("plist") + "/Colors.xml";
    ASSERT_TRUE(PropertyList::writePropertyList(d.get(), path));
    RefPtr<NSDictionary> back(PropertyList::propertyListFromFile(path));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isEqual(*d));
}

TEST(PropertyList, WhatReadsAsNone)
{
    const char* cases[] = {
        "",
        "not xml at all <",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>",
        "<dict><key>a</key><true/></dict>",
        "<plist><array><dict/></array></plist>",
    };
    for (const char* text : cases)
        EXPECT_FALSE(fromText(text)) << text;
    EXPECT_FALSE(PropertyList::propertyListFromFile("/nonexistent/file.plist"));
}

TEST(PropertyList, OnlyTheFirstDictIsRead)
{
    RefPtr<NSDictionary> d = fromText(
        "<plist><dict><key>a</key><integer>1</integer><key>b</key></dict><dict><key>c</key><true/></dict></plist>");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->allKeys(), QStringList{"a"});
}

TEST(PropertyList, WriteIntoAMissingFolderReportsFailure)
{
    RefPtr<NSDictionary> d(new NSDictionary);
    d->setIntForKey(1, QStringLiteral("a"));
    EXPECT_FALSE(PropertyList::writePropertyList(d.get(), TestEnvironment::home() + "/no/such/folder/x.plist"));
}

// Needs a user whose rights follow folder permissions (not root).
TEST(PropertyList, FailedWriteLeavesTheOldFile)
{
    const QString folder = TestEnvironment::makeTempFolder("plist-fail");
    const QString path = folder + "/keep.plist";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("original");
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    RefPtr<NSDictionary> d(new NSDictionary);
    d->setIntForKey(1, QStringLiteral("a"));
    const bool written = PropertyList::writePropertyList(d.get(), path);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (written)
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "original");
}

} // namespace
