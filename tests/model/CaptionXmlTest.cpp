#include "CSCaptionElement.h"
#include "CSStylesheet.h"
#include "ElementTestKinds.h"
#include "PAFont.h"

#include <gtest/gtest.h>

namespace {

CSCaptionElement* sampleCaption()
{
    auto* caption = new CSCaptionElement(Rect(12.5f, 40, 180, 64));
    caption->setStyleName(QStringLiteral("Narration"));
    caption->setAngle(30);
    caption->setMargin(Size{4, 6.25f});
    caption->setColorAttribute(0x80336699u, QStringLiteral("BackgroundColor"));
    caption->setIntAttribute(2, QStringLiteral("FrameStyle"));
    caption->setFloatAttribute(1.5f, QStringLiteral("FrameWidth"));
    caption->setFontAttribute(PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 11, true, false),
                              QStringLiteral("Font"));
    caption->setStringAttribute(QStringLiteral("1970"), QStringLiteral("Caption.Note"));
    caption->setLocked(true);
    CAttributedString text(QStringLiteral("Meanwhile, "), PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 10, true, false),
                           kOpaqueBlack, TextAlignment::Center);
    text.appendString(QStringLiteral("across <town> & \"beyond\""),
                      PAFont::fontWithFamily(QStringLiteral("Verdana"), 12, false, true), 0xFFCC2200u,
                      TextAlignment::Center);
    caption->setText(text);
    return caption;
}

CSElement* readBack(const QByteArray& xml)
{
    TiXmlDocument document;
    if (!XmlSupport::parseDocument(document, xml))
        return nullptr;
    return CSElement::elementFromXml(document.RootElement());
}

TEST(CaptionXml, RoundTripsByteForByte)
{
    CSCaptionElement* caption = sampleCaption();
    const QByteArray written = xmlOf(*caption);
    CSElement* read = readBack(written);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(xmlOf(*read), written);

    auto* readCaption = dynamic_cast<CSCaptionElement*>(read);
    ASSERT_NE(readCaption, nullptr);
    EXPECT_EQ(readCaption->angle(), 30.0f);
    EXPECT_EQ(readCaption->margin(), (Size{4, 6.25f}));
    EXPECT_EQ(readCaption->styleName(), QStringLiteral("Narration"));
    EXPECT_EQ(readCaption->text(), caption->text());
    EXPECT_TRUE(readCaption->isLocked());
    EXPECT_EQ(readCaption->identifier(), caption->identifier());
    EXPECT_EQ(readCaption->stringAttribute(QStringLiteral("Caption.Note"), nullptr), QStringLiteral("1970"));
    CSElement::destroyTree(read);
    CSElement::destroyTree(caption);
}

TEST(CaptionXml, WritesTheCommonFormInOrder)
{
    CSCaptionElement caption(Rect(0, 0, 100, 40));
    const QString xml = QString::fromUtf8(xmlOf(caption));
    EXPECT_TRUE(xml.startsWith(QStringLiteral("<element type=\"caption\" oid=\"oid: "))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("x=\"0.000000\" y=\"0.000000\" w=\"100.000000\" h=\"40.000000\" angle=\"0.000000\"")));
    const qsizetype style = xml.indexOf(QStringLiteral("<style name=\"\""));
    const qsizetype elements = xml.indexOf(QStringLiteral("<elements"));
    const qsizetype attributes = xml.indexOf(QStringLiteral("<attributes>"));
    const qsizetype text = xml.indexOf(QStringLiteral("<text"));
    EXPECT_TRUE(style > 0 && style < elements && elements < attributes && attributes < text) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<setting name=\"clip\">1</setting>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<setting name=\"hmargin\">2.000000</setting>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<setting name=\"vmargin\">5.000000</setting>")));
    EXPECT_FALSE(xml.contains(QStringLiteral("\"lock\"")));
}

TEST(CaptionXml, AnEmptyTextWritesAnEmptyTextElementAndReadsBackEmpty)
{
    CSCaptionElement caption(Rect(0, 0, 100, 40));
    const QByteArray written = xmlOf(caption);
    EXPECT_TRUE(written.contains("<text />"));
    CSElement* read = readBack(written);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->text().isEmpty());
    EXPECT_EQ(xmlOf(*read), written);
    CSElement::destroyTree(read);
}

TEST(CaptionXml, MarginsDefaultToTwoAndFiveWhenTheFileHasNone)
{
    CSElement* read = readBack("<element type=\"caption\" x=\"1\" y=\"2\" w=\"50\" h=\"30\"/>");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->margin(), (Size{2, 5}));
    EXPECT_EQ(read->frame(), Rect(1, 2, 50, 30));
    EXPECT_EQ(read->textRect(), Rect(3, 7, 46, 20));
    CSElement::destroyTree(read);
}

TEST(CaptionXml, UnknownOrMissingTypesGiveNoElement)
{
    for (const char* xml : {"<element x=\"1\"/>", "<element type=\"Caption\"/>", "<element type=\"widget\"/>",
                            "<element type=\"\"/>"})
        EXPECT_EQ(readBack(xml), nullptr) << xml;
}

TEST(CaptionXml, HostileFilesLoadClampedWithoutACrash)
{
    const char* cases[] = {
        "<element type=\"caption\" x=\"nan\" y=\"inf\" w=\"1e300\" h=\"-1e300\" angle=\"1e40\"/>",
        "<element type=\"caption\" x=\"1e39\" y=\"-1e39\" w=\"abc\" h=\"\" angle=\"-inf\"/>",
        "<element type=\"caption\" w=\"50\" h=\"50\"><attributes><setting name=\"hmargin\">1e300</setting>"
        "<setting name=\"vmargin\">-1e300</setting><setting name=\"lock\">1e999</setting>"
        "<setting>no name</setting><setting name=\"clip\"><color/></setting></attributes></element>",
        "<element type=\"caption\"><elements><element type=\"caption\"/><element type=\"page\"/></elements>"
        "<style name=\"x\"><setting name=\"\">1</setting><setting name=\"Caption.FrameWidth\">nan</setting>"
        "<setting name=\"FrameStyle\">99999999999</setting></style><text><tspan style=\"font-size: 1e30pt\">"
        "<![CDATA[big]]></tspan></text></element>",
        "<element type=\"caption\"><attributes><setting name=\"master\">oid: 1</setting>"
        "<setting name=\"clipSource\"><dict/></setting></attributes></element>",
    };
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    for (const char* xml : cases) {
        CSElement* read = readBack(xml);
        ASSERT_NE(read, nullptr) << xml;
        const Rect f = read->frame();
        for (float v : {f.x(), f.y(), f.width(), f.height(), read->angle(), read->margin().width, read->margin().height}) {
            EXPECT_TRUE(std::isfinite(v)) << xml;
            EXPECT_LE(std::abs(v), CSElement::kMaxCoordinate) << xml;
        }
        EXPECT_GE(f.width(), CSCaptionElement::kMinSide);
        EXPECT_EQ(read->childCount(), 0) << xml;
        read->visualBounds(sheet.get());
        if (auto* caption = dynamic_cast<CSCaptionElement*>(read)) {
            EXPECT_FALSE(caption->captionPath(sheet.get()).isEmpty());
        }
        const QByteArray again = xmlOf(*read);
        CSElement* twice = readBack(again);
        ASSERT_NE(twice, nullptr);
        EXPECT_EQ(xmlOf(*twice), again) << xml;
        CSElement::destroyTree(twice);
        CSElement::destroyTree(read);
    }
}

class OnlyCaptions : public TestKind
{
public:
    using TestKind::TestKind;
    std::vector<CSElementKind> acceptedChildClasses() const override { return {CSElementKind::Caption}; }
    void readChildren(const TiXmlElement* node, int depth) { readChildrenXml(node, depth); }
};

TEST(ElementXml, ChildrenAreReadOnlyWhenTheContainerMayHoldThem)
{
    TiXmlDocument document;
    ASSERT_TRUE(XmlSupport::parseDocument(document, "<element><elements><element type=\"caption\" w=\"20\"/>"
                                                    "<element type=\"nonsense\"/><element/><other/>"
                                                    "<element type=\"caption\" w=\"30\"/></elements></element>"));
    OnlyCaptions container(Rect(0, 0, 100, 100));
    container.readChildren(document.RootElement(), 0);
    ASSERT_EQ(container.childCount(), 2);
    EXPECT_EQ(container.childAt(1)->frame().width(), 30.0f);

    struct NoChildren : TestKind
    {
        using TestKind::TestKind;
        std::vector<CSElementKind> acceptedChildClasses() const override { return {CSElementKind::Panel}; }
        void readChildren(const TiXmlElement* node) { readChildrenXml(node, 0); }
    } none{Rect{}};
    none.readChildren(document.RootElement());
    EXPECT_EQ(none.childCount(), 0);

    // Too deep: nothing is read.
    OnlyCaptions deep{Rect{}};
    deep.readChildren(document.RootElement(), CSElement::kMaxXmlDepth);
    EXPECT_EQ(deep.childCount(), 0);
}

} // namespace
