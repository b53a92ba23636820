// A panel's stored forms: the XML of the comic data file, the dictionary of
// page templates and the archive of the clipboard, read back and checked
// against hostile input.

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CSCell.h"
#include "ElementTestKinds.h"
#include "ModelArchiveClasses.h"
#include "NSArray.h"
#include "TextCodecs.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TreeDeleter
{
    void operator()(CSElement* element) const { CSElement::destroyTree(element); }
};
using Tree = std::unique_ptr<CSElement, TreeDeleter>;

Tree readXml(const QByteArray& xml)
{
    TiXmlDocument document;
    if (!XmlSupport::parseDocument(document, xml))
        return nullptr;
    return Tree(CSElement::elementFromXml(document.RootElement()));
}

CSCell* asPanel(const Tree& tree)
{
    return dynamic_cast<CSCell*>(tree.get());
}

// An irregular panel of six points with edited points, one of them unused.
Tree sampleIrregular()
{
    auto* panel = new CSCell(Rect(10, 20, 100, 50));
    panel->setStyleName(QStringLiteral("Borderless"));
    panel->setColorAttribute(0xFF112233u, QStringLiteral("FrameColor"));
    panel->setTag(4);
    panel->setIrregular(true);
    panel->setPointCount(8);
    panel->movePoint(Point{150.25f, 96.5f}, 7); // P7, unused once the count is 6
    panel->setPointCount(6);
    panel->movePoint(Point{-4, 80}, 0);
    panel->movePoint(Point{70, 5.75f}, 5); // P6
    // Turned after the edits, which would otherwise shift the polygon.
    panel->setAngle(12.5f);
    return Tree(panel);
}

TEST(PanelXml, ARegularPanelRoundTripsByteForByte)
{
    CSCell panel(Rect(12.5f, 40, 180, 64));
    panel.setTag(3);
    panel.setIntAttribute(2, QStringLiteral("FrameStyle"));
    panel.setLocked(true);
    const QByteArray written = xmlOf(panel);
    const QString text = QString::fromUtf8(written);
    EXPECT_TRUE(text.startsWith(QStringLiteral("<element type=\"panel\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("<setting name=\"irregular\">0</setting>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<setting name=\"tag\">3</setting>")));
    EXPECT_FALSE(text.contains(QStringLiteral("<points")));

    Tree read = readXml(written);
    ASSERT_NE(asPanel(read), nullptr);
    EXPECT_EQ(xmlOf(*read), written);
    EXPECT_EQ(asPanel(read)->frame(), Rect(12.5f, 40, 180, 64));
    EXPECT_EQ(asPanel(read)->tag(), 3);
    EXPECT_TRUE(read->isLocked());
}

TEST(PanelXml, AnIrregularPanelKeepsItsPointsInUseAndAllEightStored)
{
    Tree panel = sampleIrregular();
    const QByteArray written = xmlOf(*panel);
    const QString text = QString::fromUtf8(written);
    EXPECT_TRUE(text.contains(QStringLiteral("<points count=\"6\">"))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("<point ")), 8);
    EXPECT_TRUE(text.contains(QStringLiteral("<point x=\"150.250000\" y=\"96.500000\"")));

    Tree read = readXml(written);
    CSCell* readPanel = asPanel(read);
    ASSERT_NE(readPanel, nullptr);
    EXPECT_EQ(xmlOf(*read), written);
    EXPECT_TRUE(readPanel->isIrregular());
    EXPECT_EQ(readPanel->pointCount(), 6);
    EXPECT_EQ(readPanel->storedPoints(), asPanel(panel)->storedPoints());
    EXPECT_EQ(readPanel->editablePoints(), asPanel(panel)->editablePoints());
    EXPECT_EQ(readPanel->angle(), 12.5f);
    EXPECT_EQ(readPanel->styleName(), QStringLiteral("Borderless"));
}

QByteArray panelXml(const char* irregular, const char* points)
{
    return QByteArray("<element type=\"panel\" x=\"10\" y=\"20\" w=\"100\" h=\"50\">"
                      "<attributes><setting name=\"irregular\">")
           + irregular + "</setting></attributes>" + points + "</element>";
}

// Reading "irregular" 0 must not collapse a regular panel to the bounds of
// its never-set points.
TEST(PanelXml, AFileSayingRegularKeepsTheFrame)
{
    Tree read = readXml(panelXml("0", ""));
    ASSERT_NE(asPanel(read), nullptr);
    EXPECT_FALSE(asPanel(read)->isIrregular());
    EXPECT_EQ(read->frame(), Rect(10, 20, 100, 50));
}

struct HostileCase
{
    const char* name;
    const char* points;
    int count;
    std::vector<Point> inUse;
};

class PanelXmlHostile : public ::testing::TestWithParam<HostileCase>
{
};

TEST_P(PanelXmlHostile, ReadsASoundPolygon)
{
    const HostileCase& c = GetParam();
    Tree read = readXml(panelXml("1", c.points));
    CSCell* panel = asPanel(read);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isIrregular());
    EXPECT_EQ(panel->pointCount(), c.count);
    EXPECT_EQ(panel->editablePoints(), c.inUse);
}

const HostileCase kHostile[] = {
    // No "points": the polygon made from the frame.
    {"no_points", "", 8,
     {{10, 70}, {60, 70}, {110, 70}, {110, 45}, {110, 20}, {60, 20}, {10, 20}, {10, 45}}},
    // No count: the fewest points; missing points keep their place around the frame.
    {"no_count_one_point", "<points><point x=\"0\" y=\"0\"/></points>", 3, {{0, 0}, {110, 70}, {110, 20}}},
    {"count_too_large", "<points count=\"99\"></points>", 8,
     {{10, 70}, {60, 70}, {110, 70}, {110, 45}, {110, 20}, {60, 20}, {10, 20}, {10, 45}}},
    {"count_negative", "<points count=\"-4\"><point x=\"1\" y=\"2\"/></points>", 3, {{1, 2}, {110, 70}, {110, 20}}},
    // Huge coordinates are clamped; coordinates that are no numbers and
    // missing ones keep their place around the frame.
    {"not_numbers", "<points count=\"3\"><point x=\"nan\" y=\"1e40\"/><point x=\"5\"/><point x=\"-inf\" y=\"-1e300\"/></points>", 3,
     {{10, CSElement::kMaxCoordinate}, {110, -CSElement::kMaxCoordinate}, {110, 20}}},
    // More than eight points: the first eight are kept.
    {"nine_points",
     "<points count=\"8\"><point x=\"1\" y=\"1\"/><point x=\"2\" y=\"2\"/><point x=\"3\" y=\"3\"/><point x=\"4\" y=\"4\"/>"
     "<point x=\"5\" y=\"5\"/><point x=\"6\" y=\"6\"/><point x=\"7\" y=\"7\"/><point x=\"8\" y=\"8\"/>"
     "<point x=\"9\" y=\"9\"/></points>",
     8, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}}},
};

INSTANTIATE_TEST_SUITE_P(Files, PanelXmlHostile, ::testing::ValuesIn(kHostile),
                         [](const ::testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

TEST(PanelXml, KindsThatAreNoPicturesAreNotTakenAsChildren)
{
    CSCell panel(Rect(0, 0, 100, 100));
    TiXmlDocument document;
    TiXmlElement* element = panel.toXml(&document);
    // A caption is not a child a panel takes: it is dropped, not adopted.
    TiXmlElement* elements = element->FirstChildElement("elements");
    XmlSupport::appendElement(elements, "element")->SetAttribute("type", "caption");
    Tree read = readXml(XmlSupport::printDocument(document));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->childCount(), 0);
}

// --- Template dictionary -------------------------------------------------------------

TEST(PanelTemplate, ARegularPanelRoundTrips)
{
    CSCell panel(Rect(10, 20, 300, 400.5f));
    panel.setTag(2);
    panel.setAngle(-15);
    panel.setStyleName(QStringLiteral("Thin"));
    RefPtr<NSDictionary> dictionary(panel.templateDictionary());
    EXPECT_FALSE(dictionary->boolForKey(QStringLiteral("Irregular")));
    EXPECT_EQ(dictionary->stringForKey(QStringLiteral("Frame")), QStringLiteral("{{10, 20}, {300, 400.5}}"));
    EXPECT_FALSE(dictionary->containsKey(QStringLiteral("NumPoints")));
    EXPECT_FALSE(dictionary->containsKey(QStringLiteral("Points")));

    Tree read(CSCell::fromTemplateDictionary(dictionary.get()));
    CSCell* readPanel = asPanel(read);
    ASSERT_NE(readPanel, nullptr);
    EXPECT_EQ(readPanel->frame(), panel.frame());
    EXPECT_EQ(readPanel->tag(), 2);
    EXPECT_EQ(readPanel->angle(), -15.0f);
    EXPECT_EQ(readPanel->styleName(), QStringLiteral("Thin"));
    EXPECT_EQ(readPanel->pointCount(), 8);
    RefPtr<NSDictionary> again(readPanel->templateDictionary());
    EXPECT_TRUE(again->isEqual(*dictionary));
}

TEST(PanelTemplate, AnIrregularPanelRoundTripsItsPoints)
{
    Tree panel = sampleIrregular();
    panel->setStyleName(QString());
    RefPtr<NSDictionary> dictionary(asPanel(panel)->templateDictionary());
    EXPECT_TRUE(dictionary->boolForKey(QStringLiteral("Irregular")));
    EXPECT_FALSE(dictionary->containsKey(QStringLiteral("Frame")));
    EXPECT_FALSE(dictionary->containsKey(QStringLiteral("Style")));
    EXPECT_EQ(dictionary->intForKey(QStringLiteral("NumPoints")), 6);
    ASSERT_NE(dictionary->arrayForKey(QStringLiteral("Points")), nullptr);
    EXPECT_EQ(dictionary->arrayForKey(QStringLiteral("Points"))->count(), 8);
    EXPECT_EQ(dictionary->arrayForKey(QStringLiteral("Points"))->stringAtIndex(7), QStringLiteral("{150.25, 96.5}"));

    Tree read(CSCell::fromTemplateDictionary(dictionary.get()));
    CSCell* readPanel = asPanel(read);
    ASSERT_NE(readPanel, nullptr);
    EXPECT_TRUE(readPanel->isIrregular());
    EXPECT_EQ(readPanel->storedPoints(), asPanel(panel)->storedPoints());
    EXPECT_EQ(readPanel->pointCount(), 6);
    EXPECT_EQ(readPanel->tag(), 4);
    EXPECT_EQ(readPanel->frame(), asPanel(panel)->frame()); // from the points
    EXPECT_TRUE(readPanel->styleName().isEmpty());
}

TEST(PanelTemplate, MissingPointsKeepASoundShape)
{
    NSDictionary dictionary;
    dictionary.setBoolForKey(true, QStringLiteral("Irregular"));
    auto* points = new NSArray;
    points->addString(stringFromPoint(Point{0, 100}));
    points->addString(stringFromPoint(Point{50, 100}));
    points->addString(stringFromPoint(Point{100, 0}));
    dictionary.setArrayForKey(points, QStringLiteral("Points"));
    dictionary.setIntForKey(40, QStringLiteral("NumPoints"));
    Tree read(CSCell::fromTemplateDictionary(&dictionary));
    CSCell* panel = asPanel(read);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->pointCount(), 8);
    // P3 … P7 lie around the bounds of the three given points.
    EXPECT_EQ(panel->storedPoints()[4], (Point{100, 0}));
    EXPECT_EQ(panel->storedPoints()[6], (Point{0, 0}));
    EXPECT_EQ(panel->frame(), Rect(0, 0, 100, 100));

    EXPECT_EQ(CSCell::fromTemplateDictionary(nullptr), nullptr);
    NSDictionary nothing;
    Tree plain(CSCell::fromTemplateDictionary(&nothing));
    ASSERT_NE(asPanel(plain), nullptr);
    EXPECT_FALSE(asPanel(plain)->isIrregular());
    EXPECT_EQ(plain->frame(), Rect());
}

// --- Archive --------------------------------------------------------------------------

TEST(PanelArchive, RoundTripsThePanelsOwnFields)
{
    registerModelArchiveClasses();
    Tree panel = sampleIrregular();
    ArchiveWriter writer;
    writer.writeObject(panel.get());
    ArchiveReader reader(writer.data());
    Tree read(dynamic_cast<CSElement*>(reader.readObject()));
    EXPECT_FALSE(reader.failed());
    CSCell* readPanel = asPanel(read);
    ASSERT_NE(readPanel, nullptr);
    EXPECT_TRUE(readPanel->isIrregular());
    EXPECT_EQ(readPanel->storedPoints(), asPanel(panel)->storedPoints());
    EXPECT_EQ(readPanel->pointCount(), 6);
    EXPECT_EQ(readPanel->tag(), 4);
    EXPECT_EQ(readPanel->angle(), 12.5f);
    EXPECT_EQ(readPanel->colorAttribute(QStringLiteral("FrameColor"), nullptr), 0xFF112233u);

    // Cut short anywhere: no crash, and what is read is sane.
    for (int size = 0; size < writer.data().size(); size += 5) {
        ArchiveReader cut(writer.data().left(size));
        CRefCountObject* object = cut.readObject();
        if (auto* element = dynamic_cast<CSElement*>(object)) {
            if (auto* cell = dynamic_cast<CSCell*>(element)) {
                EXPECT_GE(cell->pointCount(), CSCell::kMinPoints);
                EXPECT_LE(cell->pointCount(), CSCell::kMaxPoints);
            }
            CSElement::destroyTree(element);
        } else {
            delete object;
        }
    }
    UndoableObject::clearDestructionRecord();
}

} // namespace
