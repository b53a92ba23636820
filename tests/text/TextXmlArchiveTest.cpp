#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CAttributedString.h"
#include "PAFont.h"
#include "XmlSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace {

QByteArray xmlOf(const CAttributedString& text)
{
    TiXmlDocument document;
    text.writeXml(&document);
    return XmlSupport::printDocument(document);
}

CAttributedString readXml(const QByteArray& xml)
{
    TiXmlDocument document;
    EXPECT_TRUE(XmlSupport::parseDocument(document, xml)) << xml.constData();
    return CAttributedString::fromXmlElement(document.FirstChildElement());
}

CAttributedString sample()
{
    CAttributedString text(QStringLiteral("Plain "));
    text.appendString(QStringLiteral("BOLD\n  spaced"),
                      PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 18, PAFont::FontStyleBold),
                      packColor(255, 0, 0), TextAlignment::Center);
    ParagraphFormat tabbed = ParagraphFormat::withAlignment(TextAlignment::Right);
    tabbed.addTabStop(TabStop{36 * kTwipsPerUnit, TabStop::Decimal});
    CharacterFormat character;
    character.mask = CharacterFormat::Face | CharacterFormat::Size;
    character.face = QStringLiteral("Tahoma");
    character.height = 9 * kTwipsPerUnit;
    character.setEffect(CharacterFormat::Subscript, true);
    character.setEffect(CharacterFormat::Underline, true);
    text.appendString(QStringLiteral("\tÜber ☃ \U0001F600"), character, tabbed);
    return text;
}

TEST(TextXml, RoundTripsEveryRun)
{
    const CAttributedString text = sample();
    const CAttributedString back = readXml(xmlOf(text));
    EXPECT_EQ(back, text) << xmlOf(text).constData();
}

TEST(TextXml, TheFormIsTextWithOneTspanPerRunInCData)
{
    const QByteArray xml = xmlOf(CAttributedString(QStringLiteral("Hi <you> & me")));
    EXPECT_EQ(xml,
              "<text>\n"
              "\t<tspan style=\"font: 12.000000 &apos;Verdana&apos; normal normal &apos;Verdana&apos;; "
              "color: 0.000000 0.000000 0.000000 1.000000; text-align: left; \">\n"
              "\t\t<![CDATA[Hi <you> & me]]>\n"
              "\t</tspan>\n"
              "</text>\n");
}

TEST(TextXml, CDataTerminatorInsideTheTextSplitsTheSection)
{
    const QString words = QStringLiteral("a]]>b]]]]>>c]]>");
    const QByteArray xml = xmlOf(CAttributedString(words));
    EXPECT_EQ(xml.count("<![CDATA["), 4) << xml.constData();
    const CAttributedString back = readXml(xml);
    EXPECT_EQ(back.string(), words) << xml.constData();
    EXPECT_EQ(back.runCount(), 1);
}

TEST(TextXml, TspanTextIsAllOfItsTextChildren)
{
    const CAttributedString back = readXml(
        "<text><tspan>one<![CDATA[ two ]]><!-- note -->three<b>skipped</b><![CDATA[ four]]></tspan>"
        "<tspan/><other>x</other><tspan><![CDATA[  ]]></tspan></text>");
    ASSERT_EQ(back.runCount(), 3);
    EXPECT_EQ(back.runText(0), u"one two three four");
    EXPECT_EQ(back.run(1).length, 0) << "a tspan without text gives an empty run";
    EXPECT_EQ(back.runText(2), u"  ");
    EXPECT_EQ(back.run(0).font, PAFont::defaultFont()) << "no style: the default font";
}

TEST(TextXml, CharactersXmlForbidsAreDroppedOnWrite)
{
    QString words = QStringLiteral("a");
    words += QChar(0x01);
    words += QChar(0xFFFE);
    words += QChar(0xD800); // lone high surrogate
    words += QStringLiteral("b\t\r\nc");
    words += QChar(0xDC00); // lone low surrogate
    words += QStringLiteral("\U0001F600");
    const QByteArray xml = xmlOf(CAttributedString(words));
    const CAttributedString back = readXml(xml);
    EXPECT_EQ(back.string(), QStringLiteral("ab\t\r\nc\U0001F600"));
    EXPECT_EQ(back.run(0).length, back.length());
}

TEST(TextXml, CharactersXmlForbidsAreDroppedOnReadToo)
{
    // The parser lets a control character through in plain text; had the
    // reader kept it, the text would change between a save and the next open.
    const CAttributedString read = readXml("<text><tspan>Hello</tspan><tspan>\n\t\x06!</tspan></text>");
    EXPECT_EQ(read.string(), QStringLiteral("Hello\n\t!"));
    ASSERT_EQ(read.runCount(), 2);
    EXPECT_EQ(read.run(1).length, 3);
    EXPECT_EQ(readXml(xmlOf(read)), read);
}

TEST(TextXml, InvalidUtf8ReadsAsReplacementCharacters)
{
    const CAttributedString back = readXml("<text><tspan><![CDATA[a\xC3(b\xFF\xFE" "c\xE2\x82]]></tspan></text>");
    ASSERT_EQ(back.runCount(), 1);
    const QString text = back.string();
    EXPECT_TRUE(text.startsWith(QStringLiteral("a\uFFFD(b\uFFFD\uFFFDc\uFFFD"))) << text.toStdString();
    EXPECT_TRUE(text.isValidUtf16());
    EXPECT_EQ(text.count(QChar(0xFFFD)) + 4, text.size()) << "every bad byte became U+FFFD, nothing else was lost";
}

// Plain (not CDATA) text with a cut multi-byte sequence, in the middle and at
// the very end of the document: read without running past the text.
TEST(TextXml, TruncatedUtf8InPlainTextIsReadSafely)
{
    for (const char* xml : {"<text><tspan>ab\xF0</tspan><tspan>c</tspan></text>", "<text><tspan>ab\xF0"}) {
        TiXmlDocument document;
        if (XmlSupport::parseDocument(document, QByteArray(xml))) {
            const CAttributedString back = CAttributedString::fromXmlElement(document.FirstChildElement());
            EXPECT_TRUE(back.string().isValidUtf16());
        }
    }
}

TEST(TextXml, StyleWithoutFontGetsTheDefaultFont)
{
    const CAttributedString back = readXml(
        "<text><tspan style=\"color: 0 0 1 1; text-align: center; \"><![CDATA[x]]></tspan>"
        "<tspan style=\"font: 0.000000 '' normal normal ''; text-align: left; \"><![CDATA[y]]></tspan></text>");
    ASSERT_EQ(back.runCount(), 2);
    EXPECT_EQ(back.run(0).font, PAFont::defaultFont());
    EXPECT_EQ(back.run(0).color, packColor(0, 0, 255));
    EXPECT_EQ(back.run(0).paragraph.alignment, TextAlignment::Center);
    EXPECT_EQ(back.run(1).font, PAFont::defaultFont());
}

TEST(TextXml, OnlyATextElementIsRead)
{
    EXPECT_EQ(readXml("<Text><tspan>x</tspan></Text>").runCount(), 0);
    EXPECT_EQ(readXml("<tspan>x</tspan>").runCount(), 0);
    EXPECT_EQ(CAttributedString::fromXmlElement(nullptr).runCount(), 0);
}

TEST(TextXml, FaceIsKeptAsWritten)
{
    const CAttributedString back = readXml(
        "<text><tspan style=\"font: 24.000000 'DigitalStrip' normal normal 'DigitalStrip'; text-align: left; \">"
        "<![CDATA[POW]]></tspan></text>");
    EXPECT_EQ(back.run(0).font->family(), u"DigitalStrip");
    EXPECT_TRUE(xmlOf(back).contains("DigitalStrip"));
}

TEST(TextArchive, RoundTripsEveryRun)
{
    const CAttributedString text = sample();
    ArchiveWriter writer;
    text.writeArchive(writer);
    writer.writeInt32(77);
    ArchiveReader reader(writer.data());
    EXPECT_EQ(CAttributedString::readArchive(reader), text);
    EXPECT_EQ(reader.readInt32(), 77);
    EXPECT_FALSE(reader.failed());
}

TEST(TextArchive, MalformedRunsFailTheReaderAndKeepTheText)
{
    struct Case {
        const char* name;
        std::int32_t start;
        std::int32_t length;
        std::int32_t tabCount;
    };
    const Case cases[] = {
        {"gap before the run", 1, 3, 0},
        {"past the end", 0, 5, 0},
        {"negative length", 0, -1, 0},
        {"too many tab stops", 0, 4, 33},
        {"negative tab count", 0, 4, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ArchiveWriter writer;
        writer.writeString(QStringLiteral("text"));
        writer.writeInt32(1);
        writer.writeInt32(c.start);
        writer.writeInt32(c.length);
        writer.writeString(QStringLiteral("font: 12.000000 'Verdana' normal normal 'Verdana'; "));
        writer.writeUInt32(kOpaqueBlack);
        writer.writeUInt32(ParagraphFormat::Alignment);
        writer.writeInt32(1);
        writer.writeInt32(c.tabCount);
        for (int i = 0; i < 40; ++i)
            writer.writeInt32(0);
        ArchiveReader reader(writer.data());
        const CAttributedString back = CAttributedString::readArchive(reader);
        EXPECT_TRUE(reader.failed());
        EXPECT_EQ(back.string(), u"text");
        EXPECT_EQ(back.runCount(), 1);
    }
}

TEST(TextArchive, HugeRunCountFailsWithoutAllocating)
{
    ArchiveWriter writer;
    writer.writeString(QStringLiteral("x"));
    writer.writeInt32(0x7FFFFFFF);
    ArchiveReader reader(writer.data());
    CAttributedString::readArchive(reader);
    EXPECT_TRUE(reader.failed());
}

} // namespace
