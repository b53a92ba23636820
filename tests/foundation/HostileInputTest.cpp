#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "PAFont.h"
#include "PropertyList.h"
#include "TextCodecs.h"
#include "XmlSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace {

QByteArray repeated(const char* piece, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(HostileXml, NestingDepthIgnoresMarkupInsideCommentsCdataAndQuotes)
{
    struct Case { const char* text; int depth; };
    const Case cases[] = {
        {"<a><b/><c></c></a>", 2},
        {"<?xml version='1.0'?><!-- <x><y> --><a/>", 0},
        {"<a><![CDATA[<b><c><d>]]></a>", 1},
        {"<a x='<b>' y=\"<c>\"><d/></a>", 1},
        {"<!DOCTYPE a><a></a>", 1},
        {"</a></a><b>", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XmlSupport::nestingDepth(c.text, qsizetype(std::strlen(c.text))), c.depth) << c.text;
}

TEST(HostileXml, PropertyListsThatMustNotCrashOrHang)
{
    struct Case { const char* name; QByteArray text; bool readable; int keys; };
    const QByteArray deep = "<plist><dict><key>a</key>" + repeated("<array>", 100000) + repeated("</array>", 100000)
        + "</dict></plist>";
    const QByteArray justDeepEnough = "<plist><dict><key>a</key>" + repeated("<array>", 200)
        + repeated("</array>", 200) + "</dict></plist>";
    const Case cases[] = {
        {"deep nesting is refused", deep, false, 0},
        {"nesting within the bound reads", justDeepEnough, true, 1},
        {"unclosed deep nesting", repeated("<dict>", 50000), false, 0},
        {"trailing key", "<plist><dict><key>a</key><true/><key>b</key></dict></plist>", true, 1},
        {"huge integer saturates", "<plist><dict><key>n</key><integer>99999999999999999999</integer></dict></plist>", true, 1},
        {"nan real", "<plist><dict><key>r</key><real>nan</real></dict></plist>", true, 1},
        {"huge real", "<plist><dict><key>r</key><real>1e99999</real></dict></plist>", true, 1},
        {"truncated", "<plist><dict><key>a</key><integer>1</inte", false, 0},
        {"embedded NUL", QByteArray("<plist><dict><key>a</key><true/></dict></plist>\0<junk", 52), true, 1},
        {"binary junk", QByteArray("\x00\xFF\xFE<<<>>>&&&;", 14), false, 0},
        {"entity soup", "<plist><dict><key>&amp;&lt;&#9999999;&#x;</key><true/></dict></plist>", true, 1},
    };
    for (const Case& c : cases) {
        RefPtr<NSDictionary> d(PropertyList::propertyListFromText(c.text));
        EXPECT_EQ(bool(d), c.readable) << c.name;
        if (d) {
            EXPECT_EQ(d->count(), c.keys) << c.name;
        }
    }
    RefPtr<NSDictionary> numbers(PropertyList::propertyListFromText(
        "<plist><dict><key>n</key><integer>99999999999999999999</integer><key>r</key><real>nan</real>"
        "<key>s</key><real>-1e99999</real></dict></plist>"));
    ASSERT_TRUE(numbers);
    EXPECT_EQ(numbers->intForKey("n"), 2147483647);
    EXPECT_EQ(numbers->floatForKey("r"), 0.0f) << "not a number: the default";
    EXPECT_EQ(numbers->floatForKey("s"), -std::numeric_limits<float>::max());
}

// TinyXML steps over a multi-byte character by the length its first byte
// announces; cut short at the end of the text, that walked past the buffer.
TEST(HostileXml, CutMultiByteCharactersAndInvalidUtf8)
{
    const QByteArray cut[] = {"<plist><dict><k\xF0", "<\xF0\x9F", "<plist a='\xE2\x82", "<p>\xF4", "\xEF\xBB"};
    for (const QByteArray& text : cut) {
        TiXmlDocument document;
        XmlSupport::parseDocument(document, text);
        RefPtr<NSDictionary> d(PropertyList::propertyListFromText(text));
        EXPECT_FALSE(d);
    }
    RefPtr<NSDictionary> d(PropertyList::propertyListFromText("<plist><dict><key>a\xFF" "b</key><true/></dict></plist>"));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->allKeys(), QStringList{QString::fromUtf16(u"a\uFFFDb")}) << "invalid UTF-8 reads as U+FFFD";
}

TEST(HostileXml, ColourAttributesThatAreNotNumbers)
{
    TiXmlDocument document;
    ASSERT_TRUE(XmlSupport::parseDocument(document, "<color r='nan' g='inf' b='-5' a='1e400'/>"));
    EXPECT_EQ(NSObject::colorFromXml(document.FirstChildElement()), packColor(0, 0, 0, 255));
}

TEST(HostileText, CodecsOnGarbage)
{
    const char* garbage[] = {"{", "{{", "{,,,}", "{1e99999, -1e99999}", "{{nan, inf}, {1,2}}", "}{", "{-}"};
    for (const char* text : garbage) {
        const Rect r = rectFromString(QString::fromLatin1(text));
        EXPECT_TRUE(std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width())
                    && std::isfinite(r.height())) << text;
        const Point p = pointFromString(QString::fromLatin1(text));
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << text;
    }
    EXPECT_EQ(fontFromString(u"1e99999 'X' normal normal 'X'").size, 2147483647);
    EXPECT_EQ(fontFromString(u"nan 'X' normal normal 'X'").size, 0);
    EXPECT_EQ(fontFromString(u"'''''''").face, QString());
}

QByteArray archiveOf(const NSObject& value)
{
    ArchiveWriter writer;
    value.writeToArchive(writer);
    return writer.data();
}

TEST(HostileArchive, EveryTruncationFailsCleanly)
{
    RefPtr<NSDictionary> d(new NSDictionary);
    d->setStringForKey("a string value", "s");
    auto* array = new NSArray;
    array->addInt(1);
    array->addColor(0xFF00FF00);
    d->setArrayForKey(array, "list");
    d->setFontForKey(PAFont::defaultFont(), "font");
    const QByteArray full = archiveOf(NSObject(d.get()));
    for (qsizetype length = 0; length < full.size(); ++length) {
        ArchiveReader reader(full.left(length));
        NSObject value;
        value.readFromArchive(reader);
        EXPECT_TRUE(reader.failed()) << length;
        EXPECT_TRUE(value.isEmpty()) << length;
    }
}

TEST(HostileArchive, BadCodesTagsAndCounts)
{
    auto le = [](std::uint32_t v) {
        const char bytes[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
        return QByteArray(bytes, 4);
    };
    auto str = [&](const char* latin) {
        QByteArray out = le(std::uint32_t(std::strlen(latin)));
        for (const char* p = latin; *p; ++p)
            out += QByteArray(1, *p) + QByteArray(1, 0);
        return out;
    };
    struct Case { const char* name; QByteArray bytes; };
    const Case cases[] = {
        {"unknown kind code", le(10) + le(0)},
        {"negative kind code", le(0xFFFFFFFF)},
        {"boolean byte other than 0 or 1", le(3) + QByteArray(1, 7)},
        {"string longer than the stream", le(4) + le(0x7FFFFFFF) + "ab"},
        {"unknown class tag", le(8) + str("CSNoSuchClass")},
        {"dictionary slot holding an array", le(7) + str("NSArray") + le(0)},
        {"array count beyond the stream", le(6) + str("NSArray") + le(0x40000000)},
        {"dictionary count beyond the stream", le(7) + str("NSDictionary") + le(0xFFFFFFFF)},
    };
    for (const Case& c : cases) {
        ArchiveReader reader(c.bytes);
        NSObject value;
        value.readFromArchive(reader);
        EXPECT_TRUE(reader.failed()) << c.name;
        EXPECT_TRUE(value.isEmpty()) << c.name;
    }
}

TEST(HostileArchive, DeepNestingIsRefused)
{
    QByteArray bytes;
    auto le = [](std::uint32_t v) {
        const char bytes[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
        return QByteArray(bytes, 4);
    };
    QByteArray tag = le(7);
    for (char c : QByteArray("NSArray"))
        tag += QByteArray(1, c) + QByteArray(1, 0);
    for (int i = 0; i < 5000; ++i)
        bytes += le(6) + tag + le(1);
    ArchiveReader reader(bytes);
    NSObject value;
    value.readFromArchive(reader);
    EXPECT_TRUE(reader.failed());
}

} // namespace
