#include "CSStylesheet.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "ModelArchiveClasses.h"
#include "NotificationTally.h"
#include "PAFont.h"
#include "Resources.h"
#include "XmlSupport.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include <algorithm>

namespace {

RefPtr<CSStylesheet> fromText(const QByteArray& text)
{
    TiXmlDocument document;
    if (!XmlSupport::parseDocument(document, text))
        return {};
    return RefPtr<CSStylesheet>(CSStylesheet::stylesheetFromXml(document.RootElement()));
}

// A root with edits, named styles in three kinds, a key and a kind this
// program does not know.
RefPtr<CSStylesheet> richStylesheet()
{
    RefPtr<CSStylesheet> root(CSStylesheet::defaultStylesheet());
    root->setColorForKey(0xFF102030, QStringLiteral("Page.BackgroundColor"));
    root->setFontForKey(PAFont::fontWithFamily(QStringLiteral("Comic Neue"), 11, true, true), QStringLiteral("Bubble.Font"));
    root->setStringForKey(QStringLiteral("Comicify!"), QStringLiteral("Image.Filter"));
    root->setFloatForKey(0.125f, QStringLiteral("Cell.ShadowYOffset"));
    root->setIntForKey(7, QStringLiteral("Future.Setting"));

    CSStylesheet* shout = CSStylesheet::emptyStylesheet();
    root->copyKindValues(StyleKind::Bubble, shout);
    shout->setFloatForKey(9.5f, QStringLiteral("Bubble.FrameWidth"));
    root->addStyle(shout, QStringLiteral("Bubble"), QStringLiteral("Shout"));
    CSStylesheet* whisper = CSStylesheet::emptyStylesheet();
    root->copyKindValues(StyleKind::Bubble, whisper);
    whisper->removeObjectForKey(QStringLiteral("Bubble.DrawShadow"));
    root->addStyle(whisper, QStringLiteral("Bubble"), QStringLiteral("Whisper"));
    CSStylesheet* location = CSStylesheet::emptyStylesheet();
    root->copyKindValues(StyleKind::Caption, location);
    location->setStringForKey(QStringLiteral("1970"), QStringLiteral("Image.Filter"));
    root->addStyle(location, QStringLiteral("Caption"), QStringLiteral("Location"));
    CSStylesheet* comet = CSStylesheet::emptyStylesheet();
    comet->setIntForKey(2, QStringLiteral("Comet.Tails"));
    root->addStyle(comet, QStringLiteral("Comet"), QStringLiteral("Halley"));
    return root;
}

TEST(StylesheetXml, WrittenAndReadBackIsIdenticalKeyOrderAndAll)
{
    RefPtr<CSStylesheet> root = richStylesheet();
    const QByteArray written = root->xmlText();
    RefPtr<CSStylesheet> read = fromText(written);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->xmlText(), written);
    for (const StyleKey& entry : StyleKeys::catalogue())
        EXPECT_TRUE(read->objectForKey(entry.key).isEqual(root->objectForKey(entry.key))) << entry.key.toStdString();
    EXPECT_EQ(read->intForKey(QStringLiteral("Future.Setting")), 7);
    EXPECT_EQ(read->styleKinds(), root->styleKinds());
    for (const QString& kind : root->styleKinds()) {
        ASSERT_EQ(read->styleNames(kind), root->styleNames(kind));
        for (const QString& name : root->styleNames(kind))
            EXPECT_TRUE(read->namedStyle(kind, name)->values().isEqual(root->namedStyle(kind, name)->values()))
                << kind.toStdString() << "/" << name.toStdString();
    }
    EXPECT_EQ(read->namedStyle(u"Caption", QStringLiteral("Location"))->objectForKey(QStringLiteral("Image.Filter")).kind(),
              NSObject::String) << "a text key that looks like a number stays text";
}

TEST(StylesheetXml, LayoutOfTheElement)
{
    RefPtr<CSStylesheet> root = richStylesheet();
    root->setOutputDPI(300);
    TiXmlDocument document;
    TiXmlElement* element = root->writeXml(&document);
    ASSERT_STREQ(element->Value(), "stylesheet");

    QStringList settings;
    QStringList kinds;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (std::strcmp(child->Value(), "setting") == 0) {
            EXPECT_TRUE(kinds.isEmpty()) << "settings come before the style lists";
            settings.append(XmlSupport::attribute(child, "name"));
        } else {
            ASSERT_STREQ(child->Value(), "styles");
            kinds.append(XmlSupport::attribute(child, "name"));
        }
    }
    QStringList expected;
    for (const StyleKey& entry : StyleKeys::catalogue())
        expected.append(entry.key);
    expected.append(QStringLiteral("Future.Setting"));
    EXPECT_EQ(settings, expected) << "catalogue order, then unknown keys; no OutputDPI";
    EXPECT_EQ(kinds, QStringList({"Page", "SFX", "Image", "Bubble", "Caption", "Cell", "Comet"}))
        << "every known kind is listed even when empty";

    // Setting forms: reals "%f", integers "%d", colours and fonts as elements.
    const QByteArray text = root->xmlText();
    EXPECT_TRUE(text.contains("<setting name=\"Page.GradientAngle\">90.000000</setting>"));
    EXPECT_TRUE(text.contains("<setting name=\"Page.NumberLocation\">2</setting>"));
    EXPECT_TRUE(text.contains("<setting name=\"Page.DrawGradient\">0</setting>"));
    EXPECT_TRUE(text.contains("<setting name=\"Image.Filter\">Comicify!</setting>"));
    EXPECT_TRUE(text.contains("<color r=\"0.062745\" g=\"0.125490\" b=\"0.188235\" a=\"1.000000\" />"));
    EXPECT_TRUE(text.contains("<font name=\"Comic Neue\" family=\"Comic Neue\" style=\"italic\" weight=\"bold\" size=\"11.000000\" />"));
    EXPECT_FALSE(text.startsWith("<?xml")) << "no XML declaration";
}

TEST(StylesheetXml, AStyleNamedDefaultIsWrittenWithTheRootsValues)
{
    RefPtr<CSStylesheet> root(CSStylesheet::defaultStylesheet());
    CSStylesheet* odd = CSStylesheet::emptyStylesheet();
    odd->setFloatForKey(99, QStringLiteral("Cell.FrameWidth"));
    root->addStyle(odd, QStringLiteral("Cell"), localizedString(QStringLiteral("Default")));
    RefPtr<CSStylesheet> read = fromText(root->xmlText());
    ASSERT_TRUE(read);
    CSStylesheet* style = read->namedStyle(u"Cell", localizedString(QStringLiteral("Default")));
    ASSERT_NE(style, nullptr);
    EXPECT_FLOAT_EQ(style->floatForKey(QStringLiteral("Cell.FrameWidth")), 2);
    EXPECT_EQ(style->values().count(), int(StyleKeys::catalogue().size()));
}

TEST(StylesheetXml, ReadingAnEmptyKnownKindMakesNoTable)
{
    RefPtr<CSStylesheet> read = fromText("<stylesheet><styles name=\"Bubble\"/><styles name=\"Nebula\"/></stylesheet>");
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->containsKey(QStringLiteral("Bubble")));
    EXPECT_EQ(read->styleKinds(), QStringList{QStringLiteral("Nebula")}) << "an unknown kind is kept, empty or not";
    EXPECT_TRUE(read->xmlText().contains("<styles name=\"Nebula\" />"));
}

TEST(StylesheetXml, ReadingPostsNothingAndEndsWithNotificationsOn)
{
    const QByteArray text = richStylesheet()->xmlText();
    NotificationTally tally;
    RefPtr<CSStylesheet> read = fromText(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(tally.total(), 0);
    EXPECT_TRUE(read->notificationsEnabled());
    EXPECT_TRUE(read->namedStyle(u"Bubble", QStringLiteral("Shout"))->notificationsEnabled());
}

TEST(StylesheetXml, OnlyElementsNamedStyleSomethingAreRead)
{
    EXPECT_FALSE(fromText("<comic/>"));
    EXPECT_TRUE(fromText("<style/>"));
    EXPECT_FALSE(CSStylesheet::stylesheetFromXml(nullptr));
}

struct HostileCase
{
    const char* name;
    QByteArray text;
};

TEST(StylesheetXml, HostileInputLoadsWithoutHarm)
{
    QByteArray deepStyles = "<stylesheet>";
    for (int i = 0; i < 120; ++i)
        deepStyles += "<styles name=\"Cell\"><style name=\"s\">";
    for (int i = 0; i < 120; ++i)
        deepStyles += "</style></styles>";
    deepStyles += "</stylesheet>";
    const QByteArray tooDeep = QByteArray("<stylesheet>") + QByteArray("<a>").repeated(5000);

    const HostileCase cases[] = {
        {"styles nested far", deepStyles},
        {"nesting past the parser's bound", tooDeep},
        {"absurd numbers",
         "<stylesheet><setting name=\"Cell.FrameWidth\">1e999999.0</setting>"
         "<setting name=\"SFX.MultiStroke\">99999999999999999999</setting>"
         "<setting name=\"Cell.GradientAngle\">-.e-.</setting>"
         "<setting name=\"Page.BackgroundColor\"><color r=\"1e300\" g=\"-5\" b=\"nan\" a=\"inf\"/></setting>"
         "<setting name=\"Bubble.Font\"><font family=\"Comic Neue\" size=\"1e40\"/></setting>"
         "<setting name=\"Caption.Font\"><font family=\"\" size=\"-3\"/></setting></stylesheet>"},
        {"unknown kinds and odd names",
         "<stylesheet><styles name=\"Warp.Drive\"><style name=\"x\"/></styles><styles><style name=\"y\"/></styles>"
         "<styles name=\"Zeta\"><style/><style name=\"\"/><style name=\"z\"><setting>5</setting></style></styles>"
         "<setting name=\"Bubble\"><dict><key>Shout</key><integer>3</integer></dict></setting>"
         "<setting name=\"OutputDPI\">300</setting><setting>nameless</setting><nonsense/></stylesheet>"},
        {"a setting holding a kind's name", "<stylesheet><setting name=\"Cell\">12</setting></stylesheet>"},
        {"not XML", "<stylesheet><setting name=\"a\">"},
    };
    for (const HostileCase& c : cases) {
        RefPtr<CSStylesheet> sheet = fromText(c.text);
        if (!sheet)
            continue; // refused by the parser
        // Whatever was read can be looked up, written and read again.
        for (const QString& kind : sheet->styleKinds())
            for (const QString& name : sheet->styleNames(kind))
                sheet->styleFor(kind, name)->floatForKey(QStringLiteral("Cell.FrameWidth"));
        const QByteArray written = sheet->xmlText();
        RefPtr<CSStylesheet> again = fromText(written);
        ASSERT_TRUE(again) << c.name;
        EXPECT_EQ(again->xmlText(), written) << c.name;
    }

    RefPtr<CSStylesheet> numbers = fromText(cases[2].text);
    ASSERT_TRUE(numbers);
    EXPECT_EQ(numbers->floatForKey(QStringLiteral("Cell.FrameWidth")), std::numeric_limits<float>::max());
    EXPECT_EQ(numbers->intForKey(QStringLiteral("SFX.MultiStroke")), INT32_MAX);
    EXPECT_EQ(numbers->fontForKey(QStringLiteral("Bubble.Font"))->size(), 1000) << "font sizes are clamped";
    EXPECT_EQ(numbers->fontForKey(QStringLiteral("Caption.Font"))->size(), 1);

    RefPtr<CSStylesheet> odd = fromText(cases[3].text);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->outputDPI(), 0) << "a file cannot set the output resolution";
    EXPECT_EQ(odd->styleNames(u"Bubble"), QStringList()) << "a setting cannot pose as a style table";
    EXPECT_EQ(odd->styleNames(u"Zeta"), QStringList{QStringLiteral("z")});
    EXPECT_FALSE(odd->containsKey(QStringLiteral("Warp.Drive")));

    RefPtr<CSStylesheet> deep = fromText(deepStyles);
    ASSERT_TRUE(deep);
    int levels = 0;
    for (const CSStylesheet* at = deep.get(); (at = at->namedStyle(u"Cell", QStringLiteral("s"))); )
        ++levels;
    EXPECT_GT(levels, 0);
    EXPECT_LE(levels, 33) << "nesting of styles is bounded";
}

TEST(StylesheetXml, DeepChainsOfStylesAreWrittenSoTheyReadBack)
{
    RefPtr<CSStylesheet> root(CSStylesheet::defaultStylesheet());
    CSStylesheet* innermost = CSStylesheet::emptyStylesheet();
    RefPtr<CSStylesheet> chain(innermost);
    for (int i = 0; i < 60; ++i) {
        CSStylesheet* outer = CSStylesheet::emptyStylesheet();
        outer->addStyle(chain.get(), QStringLiteral("Cell"), QStringLiteral("s"));
        chain = RefPtr<CSStylesheet>(outer);
    }
    root->addStyle(chain.get(), QStringLiteral("Cell"), QStringLiteral("s"));
    const QByteArray written = root->xmlText();
    RefPtr<CSStylesheet> read = fromText(written);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->xmlText(), written);
}

TEST(StylesheetArchive, RoundTripsValuesAndNamedStyles)
{
    registerModelArchiveClasses();
    RefPtr<CSStylesheet> root = richStylesheet();
    root->setOutputDPI(300);
    ArchiveWriter writer;
    writer.writeObject(root.get());

    ArchiveReader reader(writer.data());
    RefPtr<CSStylesheet> read(dynamic_cast<CSStylesheet*>(reader.readObjectOfClass("CSStylesheet")));
    ASSERT_TRUE(read);
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(read->outputDPI(), 0);
    EXPECT_EQ(read->xmlText(), root->xmlText());

    // A cut-off archive reads as nothing, never as half a stylesheet.
    ArchiveReader truncated(writer.data().left(writer.data().size() / 2));
    RefPtr<CSStylesheet> partial(dynamic_cast<CSStylesheet*>(truncated.readObjectOfClass("CSStylesheet")));
    EXPECT_TRUE(truncated.failed());
    if (partial) {
        EXPECT_EQ(partial->values().count(), 0);
    }

    // Damaged bytes anywhere read as something or nothing, never as a crash.
    const qsizetype step = std::max<qsizetype>(1, writer.data().size() / 300);
    for (qsizetype at = 0; at < writer.data().size(); at += step) {
        QByteArray damaged = writer.data();
        damaged[at] = char(damaged[at] ^ 0x5A);
        ArchiveReader reader(damaged);
        RefPtr<CSStylesheet> sheet(dynamic_cast<CSStylesheet*>(reader.readObjectOfClass("CSStylesheet")));
        if (sheet)
            sheet->xmlText();
    }
}

} // namespace
