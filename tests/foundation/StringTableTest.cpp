#include "StringTable.h"

#include <gtest/gtest.h>

namespace {

QByteArray utf16(const QString& text, bool littleEndian = true)
{
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
    for (QChar c : text) {
        const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
        bytes.append(littleEndian ? lo : hi);
        bytes.append(littleEndian ? hi : lo);
    }
    return bytes;
}

TEST(StringTable, LocalizableStringsEntries)
{
    StringTable table;
    const QString text = QString::fromUtf16(
        u"/* Menu \"texts\" */\n"
        u"\"Plain\" = \"Text\";\n"
        u"\"Escapes\" = \"a\\\"b\\'c\\\\d\\te\\qf\";\n"
        u"\"Format\" = \"Saved %@\\n\";\n"
        u"\"Written\" = \"two\nlines\";\n"
        u"// a \"line\" comment\n"
        u"\"EmptyValue\" = \"\";\n"
        u"\"Extra\" = \"first\" \"ignored\";\n"
        u"\"Sch\u00f6n\" = \"\u00fcber\";\n"
        u"\"Last\" = \"no semicolon\"");
    EXPECT_EQ(table.readLocalizableStrings(utf16(text)), 6);
    EXPECT_EQ(table.localizedString("Plain"), u"Text");
    EXPECT_EQ(table.localizedString("Escapes"), u"a\"b'c\\d\tef");
    EXPECT_EQ(table.localizedString("Format"), u"Saved %s\r\n");
    EXPECT_EQ(table.localizedString("Written"), u"two\r\nlines");
    EXPECT_EQ(table.localizedString("Extra"), u"first");
    EXPECT_EQ(table.localizedString(QString::fromUtf16(u"Sch\u00f6n")), QString::fromUtf16(u"\u00fcber"));
    EXPECT_FALSE(table.contains("EmptyValue"));
    EXPECT_FALSE(table.contains("Last")) << "an entry after the last semicolon is not stored";
    EXPECT_EQ(table.localizedString("Missing"), u"Missing");
}

TEST(StringTable, ByteOrderMarkDecidesTheEncoding)
{
    StringTable big, none;
    EXPECT_EQ(big.readLocalizableStrings(utf16("\"k\" = \"v\";", false)), 1);
    EXPECT_EQ(big.localizedString("k"), u"v");
    EXPECT_EQ(none.readLocalizableStrings(QByteArray("\"k\" = \"v\";")), 0) << "no mark: empty";
    EXPECT_EQ(none.readLocalizableStrings(QByteArray("\xFF", 1)), 0);
}

TEST(StringTable, StringsXmlReplacesSameNamedEntries)
{
    StringTable table;
    table.readLocalizableStrings(utf16("\"Both\" = \"from strings\"; \"Only\" = \"kept\";"));
    EXPECT_TRUE(table.readStringsXml(
        "<?xml version=\"1.0\"?><document><string name=\"Both\">from xml</string>"
        "<string>no name</string><string name=\"NoText\"/><other name=\"Other\">\xC3\xBC</other></document>"));
    EXPECT_EQ(table.localizedString("Both"), u"from xml");
    EXPECT_EQ(table.localizedString("Only"), u"kept");
    EXPECT_EQ(table.localizedString("Other"), QString::fromUtf16(u"\u00fc"));
    EXPECT_FALSE(table.contains("NoText"));
    EXPECT_TRUE(table.readStringsXml("<root/>")) << "no document element adds nothing but counts as read";
    EXPECT_FALSE(table.readStringsXml("<document"));
}

} // namespace
