#include "NSArray.h"
#include "NSDictionary.h"
#include "NSObject.h"
#include "PAFont.h"
#include "XmlSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <clocale>

namespace {

// A value read back from a "setting" element written with the given XML.
template <class Reader = NSObject>
NSObject readSetting(const char* inner)
{
    Reader reader;
    const QByteArray text = QByteArray("<setting name=\"x\">") + inner + "</setting>";
    TiXmlDocument document;
    EXPECT_TRUE(XmlSupport::parseDocument(document, text)) << text.constData();
    reader.readSetting(document.FirstChildElement("setting"));
    return reader;
}

QByteArray settingXml(const NSObject& value)
{
    TiXmlDocument document;
    TiXmlElement* setting = XmlSupport::appendElement(&document, "setting");
    value.writeSettingXml(setting);
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    document.Accept(&printer);
    return QByteArray(printer.CStr());
}

TEST(SettingReader, GeneralRule)
{
    struct Case { const char* xml; NSObject::Kind kind; QString text; };
    const Case cases[] = {
        {"", NSObject::String, " "},
        {"007", NSObject::Integer, "7"},
        {"12", NSObject::Integer, "12"},
        {"12.5", NSObject::Real, "12.5"},
        {"1.2.3", NSObject::Real, "1.2"},
        {"-", NSObject::Integer, "0"},
        {"1e5", NSObject::Integer, "1"},
        {"12 pt", NSObject::String, "12 pt"},
        {"Arial", NSObject::String, "Arial"},
        {"text", NSObject::Empty, ""},
        {"<text/>", NSObject::Empty, ""},
        {"<other/>", NSObject::String, "other"},
    };
    for (const Case& c : cases) {
        const NSObject value = readSetting(c.xml);
        EXPECT_EQ(value.kind(), c.kind) << c.xml;
        EXPECT_EQ(value.stringValue(), c.text) << c.xml;
    }
}

TEST(SettingReader, FontAndColourElements)
{
    const NSObject font = readSetting(R"(<font name="Other" family="Comic Neue" size="14.9" style="ITALIC" weight="bold"/>)");
    ASSERT_EQ(font.kind(), NSObject::Font);
    EXPECT_EQ(font.fontValue(), PAFont::fontWithFamily(QStringLiteral("Comic Neue"), 14, true, true));

    const NSObject byName = readSetting(R"(<font name="Tahoma" size="9"/>)");
    EXPECT_EQ(byName.fontValue(), PAFont::fontWithFamily(QStringLiteral("Tahoma"), 9, false, false));

    const NSObject colour = readSetting(R"(<color r="0.498039" g="1.000000" b="0.000000" a="1.000000"/>)");
    EXPECT_EQ(colour.colorValue(), packColor(127, 255, 0)) << "rounded, not truncated";

    const NSObject partial = readSetting(R"(<color r="1"/>)");
    EXPECT_EQ(partial.colorValue(), packColor(255, 0, 0, 255));
}

TEST(SettingReader, TypedReadersKeepTheirKind)
{
    EXPECT_EQ(readSetting<NSString>("1997").kind(), NSObject::String) << "a page named 1997 stays a string";
    EXPECT_EQ(readSetting<NSString>("1997").stringValue(), u"1997");
    EXPECT_EQ(readSetting<NSString>("").stringValue(), u"");
    EXPECT_EQ(readSetting<NSNumber>("3.5").kind(), NSObject::Real);
    EXPECT_EQ(readSetting<NSNumber>("abc").intValue(), 0);
    EXPECT_EQ(readSetting<NSColor>("1 0 0 1").colorValue(), kOpaqueBlack) << "a colour as text is ignored";
    EXPECT_EQ(readSetting<NSColor>(R"(<color r="0" g="0" b="1" a="1"/>)").colorValue(), packColor(0, 0, 255));
}

TEST(SettingWriter, ScalarsAreBareTextAndRoundTrip)
{
    EXPECT_EQ(settingXml(NSObject(12.5f)), "<setting>12.500000</setting>");
    EXPECT_EQ(settingXml(NSObject(true)), "<setting>true</setting>");
    EXPECT_EQ(settingXml(NSObject(-3)), "<setting>-3</setting>");

    const NSObject values[] = {NSObject(42), NSObject(0.25f), NSObject(QStringLiteral("Hello")),
                               NSObject::withColor(0x7F102030), NSObject(PAFont::fontWithFamily("Verdana", 11, false, true))};
    for (const NSObject& value : values) {
        QByteArray xml = settingXml(value);
        xml = xml.mid(xml.indexOf('>') + 1);
        xml.chop(int(std::strlen("</setting>")));
        EXPECT_TRUE(readSetting(xml.constData()).isEqual(value)) << xml.constData();
    }
}

TEST(SettingWriter, ContainersRoundTripThroughTheSettingForm)
{
    RefPtr<NSArray> array(new NSArray);
    array->addInt(1);
    array->addInt(2);
    array->addString(QStringLiteral("three"));
    const QByteArray xml = settingXml(NSObject(array.get()));
    QByteArray inner = xml.mid(xml.indexOf('>') + 1);
    inner.chop(int(std::strlen("</setting>")));
    const NSObject back = readSetting(inner.constData());
    ASSERT_EQ(back.kind(), NSObject::Array);
    EXPECT_TRUE(back.arrayValue()->isEqual(*array)) << xml.constData();
}

TEST(SettingWriter, RealsIgnoreTheGermanLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps generates de_DE.UTF-8";
    EXPECT_EQ(settingXml(NSObject(12.5f)), "<setting>12.500000</setting>");
    EXPECT_EQ(readSetting("12.5").floatValue(), 12.5f);
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(TypedReader, ArraysStopAtTheFirstUnknownElement)
{
    TiXmlDocument document;
    ASSERT_TRUE(XmlSupport::parseDocument(document,
        "<array><INTEGER>4</INTEGER>text<!-- c --><real>1.5</real><true/><color r='1' g='0' b='0' a='1'/>"
        "<string/><bogus/><integer>9</integer></array>"));
    RefPtr<NSArray> array(new NSArray);
    array->readXml(document.FirstChildElement());
    ASSERT_EQ(array->count(), 5);
    EXPECT_EQ(array->at(0).intValue(), 4);
    EXPECT_EQ(array->at(1).floatValue(), 1.5f);
    EXPECT_TRUE(array->at(2).boolValue());
    EXPECT_EQ(array->at(3).colorValue(), packColor(255, 0, 0));
    EXPECT_EQ(array->at(4).kind(), NSObject::String);
}

TEST(TypedReader, DictionariesStopAtTheFirstMalformedPair)
{
    struct Case { const char* xml; QStringList keys; };
    const Case cases[] = {
        {"<dict><key>a</key><integer>1</integer><key>b</key></dict>", {"a"}},
        {"<dict><key>a</key><integer>1</integer><key></key><integer>2</integer></dict>", {"a"}},
        {"<dict><key>a</key><integer>1</integer><name>b</name><integer>2</integer></dict>", {"a"}},
        {"<dict><key>a</key><bogus/><key>b</key><integer>2</integer></dict>", {}},
        {"<dict><KEY>b</KEY><False/><key>a</key><dict><key>x</key><true/></dict></dict>", {"a", "b"}},
    };
    for (const Case& c : cases) {
        TiXmlDocument document;
        ASSERT_TRUE(XmlSupport::parseDocument(document, c.xml));
        RefPtr<NSDictionary> d(new NSDictionary);
        d->readXml(document.FirstChildElement());
        EXPECT_EQ(d->allKeys(), c.keys) << c.xml;
    }
}

} // namespace

TEST(XmlText, JoinedTextReadsWhatAppendCDataWrites)
{
    // Plain text and CDATA mixed, with control characters the parser lets
    // through but no XML file can hold.
    TiXmlDocument document;
    ASSERT_TRUE(XmlSupport::parseDocument(document, "<t>a\x01 b<![CDATA[\x1F c]]>\t\x7F</t>"));
    const QString read = XmlSupport::joinedText(document.RootElement());
    EXPECT_EQ(read, QStringLiteral("a b c\t\x7F"));

    TiXmlDocument written;
    XmlSupport::appendCData(XmlSupport::appendElement(&written, "t"), read);
    TiXmlDocument reread;
    ASSERT_TRUE(XmlSupport::parseDocument(reread, XmlSupport::printDocument(written)));
    EXPECT_EQ(XmlSupport::joinedText(reread.RootElement()), read);
}
