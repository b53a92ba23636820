#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "PAFont.h"

#include <gtest/gtest.h>

namespace {

RefPtr<NSDictionary> sampleDictionary()
{
    RefPtr<NSDictionary> d(new NSDictionary);
    d->setIntForKey(-5, QStringLiteral("int"));
    d->setFloatForKey(2.5f, QStringLiteral("real"));
    d->setBoolForKey(true, QStringLiteral("flag"));
    d->setStringForKey(QString::fromUtf16(u"Sch\u00f6n \U0001F600"), QStringLiteral("text"));
    d->setColorForKey(0x80FF8040, QStringLiteral("colour"));
    d->setFontForKey(PAFont::fontWithFamily(QStringLiteral("Comic Neue"), 18, true, false), QStringLiteral("font"));
    auto* list = new NSArray;
    list->addInt(1);
    list->addString(QStringLiteral("two"));
    auto* inner = new NSDictionary;
    inner->setIntForKey(3, QStringLiteral("three"));
    list->addDictionary(inner);
    d->setArrayForKey(list, QStringLiteral("list"));
    return d;
}

TEST(Archive, DictionaryRoundTripKeepsKindsAndArrayMembers)
{
    RefPtr<NSDictionary> original = sampleDictionary();
    ArchiveWriter writer;
    writer.writeObject(original.get());

    ArchiveReader reader(writer.data());
    RefPtr<NSDictionary> back(static_cast<NSDictionary*>(reader.readObjectOfClass("NSDictionary")));
    ASSERT_FALSE(reader.failed());
    ASSERT_TRUE(back);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_TRUE(back->isEqual(*original));
    EXPECT_EQ(back->arrayForKey(QStringLiteral("list"))->count(), 3) << "arrays carry their members";
    EXPECT_EQ(back->fontForKey(QStringLiteral("font")), original->fontForKey(QStringLiteral("font")))
        << "fonts come back as the same interned font";
}

TEST(Archive, ValueLayoutIsLittleEndianWithKindCodes)
{
    ArchiveWriter writer;
    NSObject(std::int32_t(0x01020304)).writeToArchive(writer);
    NSObject(true).writeToArchive(writer);
    const QByteArray expected("\x01\x00\x00\x00\x04\x03\x02\x01\x03\x00\x00\x00\x01", 13);
    EXPECT_EQ(writer.data(), expected);
}

TEST(Archive, EmptyEntriesAreNotArchived)
{
    RefPtr<NSDictionary> d(new NSDictionary);
    d->objectForKey(QStringLiteral("ghost"));
    d->setIntForKey(1, QStringLiteral("real"));
    ArchiveWriter writer;
    d->writeToArchive(writer);
    ArchiveReader reader(writer.data());
    RefPtr<NSDictionary> back(new NSDictionary);
    back->readFromArchive(reader);
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(back->entries().size(), 1u);
}

} // namespace
