// Lettering: letters built from glyph outlines, the envelope and its
// editing, the warp, the layout operations, and the XML and archive forms.

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CSSFXChar.h"
#include "CSSFXElement.h"
#include "ElementTestKinds.h"
#include "GraphicsArchiveClasses.h"
#include "LetteringTestSupport.h"
#include "ModelArchiveClasses.h"
#include "PAFontRendering.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTolerance = 1e-3f;

void expectNear(Point actual, Point expected, float tolerance = kTolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

TreePtr<CSElement> readBack(const QByteArray& xml)
{
    TiXmlDocument document;
    if (!XmlSupport::parseDocument(document, xml))
        return nullptr;
    return TreePtr<CSElement>(CSElement::elementFromXml(document.RootElement()));
}

CSSFXElement* asLettering(const TreePtr<CSElement>& element)
{
    return dynamic_cast<CSSFXElement*>(element.get());
}

// --- Building the letters ----------------------------------------------------------

TEST(LetteringLetters, OneLetterPerCodeUnitInReverseOrder)
{
    auto lettering = makeLettering(QStringLiteral("AB"));
    ASSERT_EQ(lettering->childCount(), 2);
    // The last character is child 0, at the back; "B" stands right of "A".
    const Rect b = lettering->letterAt(0)->frame();
    const Rect a = lettering->letterAt(1)->frame();
    EXPECT_GT(b.minX(), a.minX());
    const GlyphOutline& glyphA = PAFontRendering::glyphFor(letteringFont(), U'A');
    EXPECT_NEAR(b.minX() - a.minX(), glyphA.advance.x + PAFontRendering::glyphFor(letteringFont(), U'B').path.bounds().minX()
                                         - glyphA.path.bounds().minX(), 0.01);
    // Layout space: y down, the letters above the baseline at y = 0.
    EXPECT_LT(a.minY(), -20.0f);
    EXPECT_NEAR(a.maxY(), 1.0f, 1.0f);
}

// The letter is the glyph outline flipped into layout space: TrueType
// curves stay quadratic, PostScript curves cubic, and the bounds match.
TEST(LetteringLetters, LettersAreTheGlyphOutlinesFlipped)
{
    auto hasCommand = [](const NSBezierPath& path, std::uint32_t command) {
        for (int i = 0; i < path.vertexCount(); ++i)
            if (path.vertexAt(i).command == command)
                return true;
        return false;
    };
    const PAFont* trueType = PAFont::fontWithFamily(QStringLiteral("DejaVu Sans"), 40);
    TreePtr<CSSFXElement> quadratic(new CSSFXElement(QStringLiteral("O"), trueType));
    EXPECT_TRUE(hasCommand(quadratic->letterAt(0)->outline(), kPathCurve3));
    EXPECT_FALSE(hasCommand(quadratic->letterAt(0)->outline(), kPathCurve4));
    auto cubic = makeLettering(QStringLiteral("O"));
    EXPECT_TRUE(hasCommand(cubic->letterAt(0)->outline(), kPathCurve4));

    const Rect glyph = PAFontRendering::glyphFor(trueType, U'O').path.bounds();
    const Rect letter = quadratic->letterAt(0)->outline().bounds();
    EXPECT_FLOAT_EQ(letter.minY(), -glyph.maxY());
    EXPECT_FLOAT_EQ(letter.maxY(), -glyph.minY());
    EXPECT_FLOAT_EQ(letter.minX(), glyph.minX());
}

TEST(LetteringLetters, SpacesAndTheSecondHalfOfASurrogatePairAreBlankLetters)
{
    const QString text = QStringLiteral("a b") + QString::fromUcs4(U"\U0001D400");
    auto lettering = makeLettering(text);
    ASSERT_EQ(lettering->childCount(), text.size());
    // Child order is reversed: the low surrogate is child 0, the pair's
    // first unit child 1, the space child 3.
    EXPECT_TRUE(lettering->letterAt(0)->isBlank());
    EXPECT_FALSE(lettering->letterAt(1)->isBlank());
    EXPECT_TRUE(lettering->letterAt(3)->isBlank());
    EXPECT_EQ(lettering->letterAt(3)->frame(), Rect());
}

TEST(LetteringLetters, ANewLetteringsEnvelopeIsTheLetterBoundsUnbent)
{
    auto lettering = makeLettering(QStringLiteral("KA-BOOM!"));
    const Rect b = lettering->letterBounds();
    const CSSFXElement::Envelope& e = lettering->envelope();
    EXPECT_EQ(e[0], (Point{b.minX(), b.minY()}));
    EXPECT_EQ(e[2], (Point{b.maxX(), b.maxY()}));
    EXPECT_EQ(e[4], (Point{b.midX(), b.minY()}));
    EXPECT_EQ(e[5], (Point{b.midX(), b.maxY()}));
    EXPECT_EQ(lettering->frame(), b);
    // Blank letters (frames at the origin) do not stretch the bounds.
    auto spaced = makeLettering(QStringLiteral("  O  "));
    EXPECT_EQ(spaced->letterBounds(), spaced->letterAt(2)->frame());
}

TEST(LetteringLetters, TextIsCutAtTheLongestKept)
{
    auto lettering = makeLettering(QString(1000, QChar(u'x')), 12);
    EXPECT_EQ(lettering->letteringText().size(), CSSFXElement::kMaxTextLength);
    EXPECT_EQ(lettering->childCount(), CSSFXElement::kMaxTextLength);
}

// --- Warp ---------------------------------------------------------------------------

TEST(LetteringWarp, TheCornersOfTheLetterBoundsLandOnTheirPoints)
{
    auto lettering = makeLettering(QStringLiteral("WARP"));
    const Point moved[4] = {{-30, -70}, {260, -90}, {240, 40}, {-10, 20}};
    for (int i = 0; i < 4; ++i)
        lettering->movePoint(moved[i], i);
    const Rect b = lettering->letterBounds();
    const Point corners[4] = {{b.minX(), b.minY()}, {b.maxX(), b.minY()}, {b.maxX(), b.maxY()}, {b.minX(), b.maxY()}};
    for (int i = 0; i < 4; ++i)
        expectNear(lettering->warpPoint(corners[i]), moved[i]);
}

TEST(LetteringWarp, RaisingTheTopBulgeArchesTheTopRowOnly)
{
    auto lettering = makeLettering(QStringLiteral("ARCH"));
    const Rect b = lettering->letterBounds();
    auto straight = makeLettering(QStringLiteral("ARCH"));
    const Point p4 = lettering->envelope()[4];
    lettering->movePoint(Point{p4.x, p4.y - 20}, 4);

    const Point topMiddle{b.midX(), b.minY()};
    EXPECT_NEAR(lettering->warpPoint(topMiddle).y, straight->warpPoint(topMiddle).y - 15.0f, kTolerance);
    for (float u : {0.0f, 0.25f, 0.5f, 0.8f, 1.0f}) {
        const Point bottom{b.minX() + u * b.width(), b.maxY()};
        EXPECT_NEAR(lettering->warpPoint(bottom).y, b.maxY(), kTolerance) << u;
        expectNear(lettering->warpPoint(bottom), straight->warpPoint(bottom));
    }
}

TEST(LetteringWarp, StraightEdgesBendWithTheEnvelope)
{
    auto lettering = makeLettering(QStringLiteral("TT"));
    const Rect b = lettering->letterBounds();
    const Point p4 = lettering->envelope()[4];
    lettering->movePoint(Point{p4.x, p4.y - 20}, 4);
    // One straight line along the top row: warped, its middle rises.
    NSBezierPath line;
    line.moveTo(Point{b.minX(), b.minY()});
    line.lineTo(Point{b.maxX(), b.minY()});
    const NSBezierPath warped = lettering->warpPath(line);
    float highest = 1e9f;
    for (int i = 0; i < warped.vertexCount(); ++i) {
        const PathVertex v = warped.vertexAt(i);
        EXPECT_NE(v.command, std::uint32_t(kPathCurve3));
        EXPECT_NE(v.command, std::uint32_t(kPathCurve4));
        if (isPathPointCommand(v.command))
            highest = std::min(highest, float(v.y));
    }
    EXPECT_NEAR(highest, b.minY() - 15.0f, 0.2f);
}

TEST(LetteringWarp, ACollapsedEnvelopeCollapsesTheWordWithoutFailing)
{
    auto lettering = makeLettering(QStringLiteral("OK"));
    for (int i = 0; i < CSSFXElement::kEnvelopePointCount; ++i)
        lettering->movePoint(Point{}, i);
    EXPECT_EQ(lettering->frame(), Rect());
    const NSBezierPath shape = *lettering->shapePath(nullptr);
    EXPECT_EQ(shape.bounds(), Rect());
}

// --- Envelope editing ------------------------------------------------------------------

TEST(LetteringEnvelope, AMovedCornerCarriesItsEdgesBulge)
{
    auto lettering = makeLettering(QStringLiteral("BULGE"));
    const CSSFXElement::Envelope before = lettering->envelope();
    lettering->movePoint(Point{before[4].x + 3, before[4].y - 12}, 4);
    lettering->movePoint(Point{before[0].x - 10, before[0].y - 6}, 0);
    const CSSFXElement::Envelope& e = lettering->envelope();
    expectNear(e[4], Point{before[4].x + 3 - 5, before[4].y - 12 - 3});
    EXPECT_EQ(e[5], before[5]);
    lettering->movePoint(Point{before[2].x + 8, before[2].y}, 2);
    expectNear(lettering->envelope()[5], Point{before[5].x + 4, before[5].y});
}

TEST(LetteringEnvelope, EditingARotatedEnvelopeKeepsACornerOnThePage)
{
    auto lettering = makeLettering(QStringLiteral("TURN"));
    lettering->setAngle(30);
    const Rect f = lettering->frame();
    const Point topLeftOnPage = lettering->handlePosition(0);
    // Dragging the bottom-right corner out leaves the top-left corner in place.
    const Point p2 = lettering->envelope()[2];
    lettering->movePoint(Point{p2.x + 30, p2.y + 20}, 2);
    EXPECT_NE(lettering->frame().size, f.size);
    expectNear(lettering->handlePosition(0), topLeftOnPage, 0.01f);
}

TEST(LetteringEnvelope, MovingResizingAndTransformingChangeOnlyTheEnvelope)
{
    auto lettering = makeLettering(QStringLiteral("MOVE"));
    const CSSFXElement::Layout before = lettering->layout();
    const Rect f = lettering->frame();
    lettering->moveBy(Size{10, -4});
    EXPECT_EQ(lettering->frame().origin, (Point{f.x() + 10, f.y() - 4}));
    lettering->resizeByHandle(Size{20, 10}, 7);
    EXPECT_NEAR(lettering->frame().width(), f.width() + 20, kTolerance);
    EXPECT_NEAR(lettering->frame().height(), f.height() + 10, kTolerance);
    lettering->applyTransform(AffineTransform::scaling(2, 2));
    EXPECT_NEAR(lettering->frame().width(), 2 * (f.width() + 20), 0.01);
    for (int i = 0; i < lettering->childCount(); ++i)
        EXPECT_EQ(lettering->letterAt(i)->outline().path().vertexAt(0), before.outlines[std::size_t(i)].path().vertexAt(0));
    // A resize below the minimum side keeps that side.
    lettering->resizeByHandle(Size{-10000, 0}, 4);
    EXPECT_NEAR(lettering->frame().width(), 2 * (f.width() + 20), 0.01);
}

TEST(LetteringEnvelope, HitTestIsTheEnvelopePolygon)
{
    auto lettering = emptyLettering();
    const Point points[6] = {{0, 0}, {100, 0}, {100, 50}, {0, 50}, {50, -30}, {50, 50}};
    for (int i = 0; i < 6; ++i)
        lettering->movePoint(points[i], i);
    EXPECT_TRUE(lettering->hitTest(Point{50, -20}));   // inside the bulge, no letters at all
    EXPECT_TRUE(lettering->hitTest(Point{10, 40}));
    EXPECT_FALSE(lettering->hitTest(Point{5, -20}));   // above the top edge, beside the bulge
    EXPECT_FALSE(lettering->hitTest(Point{120, 20}));
    EXPECT_EQ(lettering->frame(), Rect(0, -30, 100, 80));
}

// --- Layout operations and locking ---------------------------------------------------------

TEST(LetteringLayout, StaggerMovesEvenLettersByTheOffsetAndOddOnesBack)
{
    auto lettering = makeLettering(QStringLiteral("ZAP"));
    const Rect first = lettering->letterAt(0)->frame();
    const Rect second = lettering->letterAt(1)->frame();
    const CSSFXElement::Envelope envelope = lettering->envelope();
    lettering->stagger(Size{0, 1});
    EXPECT_EQ(lettering->letterAt(0)->frame().y(), first.y() + 1);   // the "P", at the back
    EXPECT_EQ(lettering->letterAt(1)->frame().y(), second.y() - 1);
    EXPECT_EQ(lettering->envelope(), envelope);
}

TEST(LetteringLayout, SpreadScalesTheLettersPlacesNotTheirShapes)
{
    auto lettering = makeLettering(QStringLiteral("WIDE"));
    const Point c = lettering->center();
    std::vector<Rect> before;
    for (int i = 0; i < lettering->childCount(); ++i)
        before.push_back(lettering->letterAt(i)->frame());
    lettering->spreadHorizontal(1.5f);
    for (int i = 0; i < lettering->childCount(); ++i) {
        const Rect after = lettering->letterAt(i)->frame();
        EXPECT_NEAR(after.x(), c.x + 1.5f * (before[std::size_t(i)].x() - c.x), 0.01);
        EXPECT_NEAR(after.width(), before[std::size_t(i)].width(), 0.01);
        EXPECT_EQ(after.y(), before[std::size_t(i)].y());
    }
    EXPECT_NEAR(lettering->center().x, c.x, 0.01);
}

TEST(LetteringLayout, TurningMovesLettersAboutTheCentreAndKeepsThemUpright)
{
    auto lettering = makeLettering(QStringLiteral("AB"));
    const Rect a = lettering->letterAt(1)->frame();
    const Point c = lettering->center();
    lettering->rotateLetters(90);
    const Rect turned = lettering->letterAt(1)->frame();
    expectNear(turned.origin, AffineTransform::rotationAbout(c, 90).transformPoint(a.origin), 0.01f);
    EXPECT_NEAR(turned.width(), a.width(), 0.01);
}

TEST(LetteringLayout, SpreadsByFactorsAtOrBelowZeroAreRefused)
{
    auto lettering = makeLettering(QStringLiteral("NO"));
    const QByteArray before = xmlOf(*lettering);
    for (float f : {0.0f, -1.0f, std::nanf(""), INFINITY, 1.0f}) {
        lettering->spreadHorizontal(f);
        lettering->spreadVertical(f);
    }
    EXPECT_EQ(xmlOf(*lettering), before);
}

TEST(LetteringLayout, ALockedLetteringRefusesLayoutAndEnvelopeEditsButTakesNewText)
{
    auto lettering = makeLettering(QStringLiteral("LOCK"));
    lettering->setLocked(true);
    const QByteArray before = xmlOf(*lettering);
    lettering->spreadHorizontal(1.1f);
    lettering->spreadVertical(0.9f);
    lettering->rotateLetters(10);
    lettering->stagger(Size{1, 0});
    lettering->moveBy(Size{5, 5});
    lettering->movePoint(Point{1, 2}, 0);
    lettering->resizeByHandle(Size{10, 10}, 7);
    lettering->applyTransform(AffineTransform::scaling(2, 2));
    EXPECT_EQ(xmlOf(*lettering), before);

    const CSSFXElement::Envelope envelope = lettering->envelope();
    lettering->setTextAndFont(QStringLiteral("OPEN!"), letteringFont(30));
    EXPECT_EQ(lettering->letteringText(), QStringLiteral("OPEN!"));
    EXPECT_EQ(lettering->childCount(), 5);
    EXPECT_EQ(lettering->envelope(), envelope);
}

// --- XML -------------------------------------------------------------------------------------

TreePtr<CSSFXElement> sampleLettering()
{
    auto lettering = makeLettering(QStringLiteral("KA-BOOM!"));
    lettering->setStyleName(QStringLiteral("Loud"));
    lettering->stagger(Size{0, 2});
    lettering->spreadHorizontal(1.1f);
    lettering->movePoint(Point{120, -80}, 4);
    lettering->setAngle(12);
    lettering->setFloatAttribute(4, QStringLiteral("FrameWidth"));
    return lettering;
}

TEST(LetteringXml, RoundTripsByteForByte)
{
    auto lettering = sampleLettering();
    const QByteArray xml = xmlOf(*lettering);
    auto read = readBack(xml);
    ASSERT_NE(asLettering(read), nullptr);
    EXPECT_EQ(xmlOf(*read), xml);
    EXPECT_EQ(asLettering(read)->childCount(), 8);
    EXPECT_EQ(asLettering(read)->letteringFont(), letteringFont());
}

TEST(LetteringXml, TheFormHasPointsAndCharsAndNoElements)
{
    auto lettering = makeLettering(QStringLiteral("HI"));
    TiXmlDocument document;
    const TiXmlElement* element = lettering->toXml(&document);
    EXPECT_STREQ(element->Attribute("type"), "lettering");
    EXPECT_EQ(element->FirstChildElement("elements"), nullptr);
    int points = 0;
    for (const TiXmlElement* p = element->FirstChildElement("points")->FirstChildElement("point"); p;
         p = p->NextSiblingElement("point"))
        ++points;
    EXPECT_EQ(points, 6);
    // The "char" with index 0 holds the second character's place.
    const TiXmlElement* first = element->FirstChildElement("chars")->FirstChildElement("char");
    EXPECT_STREQ(first->Attribute("index"), "0");
    EXPECT_NEAR(XmlSupport::realAttribute(first, "x"), lettering->letterAt(0)->outline().bounds().x(), 1e-5);
    EXPECT_GT(XmlSupport::realAttribute(first, "x"), lettering->letterAt(1)->outline().bounds().x());
}

class LetteringTextIsVerbatim : public ::testing::TestWithParam<const char*>
{
};

TEST_P(LetteringTextIsVerbatim, InTheRoundTrip)
{
    const QString text = QString::fromUtf8(GetParam());
    auto lettering = makeLettering(text, 20);
    auto read = readBack(xmlOf(*lettering));
    ASSERT_NE(asLettering(read), nullptr);
    EXPECT_EQ(asLettering(read)->letteringText(), text);
    EXPECT_EQ(asLettering(read)->childCount(), text.size());
}

INSTANTIATE_TEST_SUITE_P(Texts, LetteringTextIsVerbatim,
                         ::testing::Values("...", "007", "text", "a  b", " pow ", "1e5", "-", "true", "<&]]>\"'"));

QByteArray letteringXml(const char* attributes, const char* rest = "")
{
    return QByteArray("<element type=\"lettering\" x=\"0\" y=\"0\" w=\"10\" h=\"10\" angle=\"0\"><attributes>")
        + attributes + "</attributes>" + rest + "</element>";
}

struct FontCase
{
    const char* name;
    const char* attributes;
    const char* family;
    int size;
    bool bold;
};

class LetteringFontSettings : public ::testing::TestWithParam<FontCase>
{
};

TEST_P(LetteringFontSettings, GiveTheFontInTheReadersOrder)
{
    const FontCase& c = GetParam();
    auto read = readBack(letteringXml(c.attributes));
    ASSERT_NE(asLettering(read), nullptr);
    const PAFont* font = asLettering(read)->letteringFont();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->family(), QString::fromLatin1(c.family));
    EXPECT_EQ(font->size(), c.size);
    EXPECT_EQ(font->isBold(), c.bold);
    EXPECT_EQ(asLettering(read)->childCount(), 3);
}

const FontCase kFontCases[] = {
    {"element", "<setting name=\"text\">POW</setting><setting name=\"font\"><font family=\"Comic Neue\" size=\"30\" weight=\"bold\"/></setting>",
     "Comic Neue", 30, true},
    {"faceAndSize", "<setting name=\"text\">POW</setting><setting name=\"font\">Comic Neue</setting><setting name=\"fontSize\">40</setting>",
     "Comic Neue", 40, false},
    {"description", "<setting name=\"text\">POW</setting><setting name=\"font\">24.000000 'Comic Neue' normal bold 'Comic Neue'</setting>",
     "Comic Neue", 24, true},
    {"hugeSize", "<setting name=\"text\">POW</setting><setting name=\"font\">Comic Neue</setting><setting name=\"fontSize\">1e30</setting>",
     "Comic Neue", 2000, false},
    {"hugeElementSize", "<setting name=\"text\">POW</setting><setting name=\"font\"><font family=\"Comic Neue\" size=\"-5\"/></setting>",
     "Comic Neue", 1, false},
};

INSTANTIATE_TEST_SUITE_P(Forms, LetteringFontSettings, ::testing::ValuesIn(kFontCases),
                         [](const ::testing::TestParamInfo<FontCase>& info) { return std::string(info.param.name); });

TEST(LetteringXml, ALockedRotatedLetteringKeepsItsAngle)
{
    auto lettering = makeLettering(QStringLiteral("STILL"));
    lettering->setAngle(25);
    lettering->setLocked(true);
    auto read = readBack(xmlOf(*lettering));
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->isLocked());
    EXPECT_EQ(read->angle(), 25.0f);
}

TEST(LetteringXml, ExtraPointsAndCharsNamingNoLetterAreIgnored)
{
    const QByteArray xml = letteringXml(
        "<setting name=\"text\">AB</setting><setting name=\"font\">Comic Neue</setting><setting name=\"fontSize\">30</setting>",
        "<points><point x=\"1\" y=\"2\"/><point x=\"3\" y=\"4\"/><point x=\"5\" y=\"6\"/><point x=\"7\" y=\"8\"/>"
        "<point x=\"9\" y=\"10\"/><point x=\"11\" y=\"12\"/><point x=\"99\" y=\"99\"/><point x=\"nan\" y=\"1e40\"/></points>"
        "<chars><char x=\"500\" y=\"500\" index=\"2\"/><char x=\"7\" y=\"-9\" index=\"-1\"/><char x=\"100\" y=\"-50\" index=\"1\"/></chars>");
    auto read = readBack(xml);
    CSSFXElement* lettering = asLettering(read);
    ASSERT_NE(lettering, nullptr);
    EXPECT_EQ(lettering->envelope()[5], (Point{11, 12}));
    ASSERT_EQ(lettering->childCount(), 2);
    EXPECT_EQ(lettering->letterAt(1)->outline().bounds().origin, (Point{100, -50}));
    EXPECT_LT(lettering->letterAt(0)->outline().bounds().x(), 100.0f);
}

TEST(LetteringXml, NoAttributesNoLettersAndNoPointsAZeroEnvelope)
{
    auto read = readBack("<element type=\"lettering\" x=\"5\" y=\"5\" w=\"50\" h=\"20\"/>");
    CSSFXElement* lettering = asLettering(read);
    ASSERT_NE(lettering, nullptr);
    EXPECT_EQ(lettering->childCount(), 0);
    EXPECT_EQ(lettering->envelope(), CSSFXElement::Envelope{});
    EXPECT_EQ(lettering->letterBounds(), Rect());
}

// --- Copy and archive --------------------------------------------------------------------------

TEST(LetteringCopies, CloneAndArchiveKeepEverything)
{
    registerGraphicsArchiveClasses();
    registerModelArchiveClasses();
    auto lettering = sampleLettering();
    const QByteArray xml = xmlOf(*lettering);

    TreePtr<CSElement> copy(lettering->clone());
    EXPECT_EQ(xmlOf(*copy), xml);

    ArchiveWriter writer;
    writer.writeObject(lettering.get());
    ArchiveReader reader(writer.data());
    TreePtr<CSSFXElement> object(dynamic_cast<CSSFXElement*>(reader.readObject()));
    ASSERT_FALSE(reader.failed());
    EXPECT_TRUE(reader.atEnd());
    CSSFXElement* read = object.get();
    ASSERT_NE(read, nullptr);
    // The archive form carries no identifier: the copy gets its own.
    auto withoutIdentifier = [](QByteArray text) {
        const qsizetype from = text.indexOf(" oid=\"");
        return text.remove(from, text.indexOf('"', from + 6) - from + 1);
    };
    EXPECT_EQ(withoutIdentifier(xmlOf(*read)), withoutIdentifier(xml));
    EXPECT_EQ(read->letteringFont(), lettering->letteringFont());
}

TEST(LetteringCopies, TheArchivedEnvelopeIsTwelveLittleEndianFloats)
{
    registerGraphicsArchiveClasses();
    registerModelArchiveClasses();
    auto lettering = emptyLettering();
    const Point points[6] = {{1.5f, -2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}, {11, 12}};
    for (int i = 0; i < 6; ++i)
        lettering->movePoint(points[i], i);
    ArchiveWriter base;
    lettering->CSElement::writeToArchive(base);
    ArchiveWriter whole;
    lettering->writeToArchive(whole);
    const QByteArray envelope = whole.data().mid(base.data().size(), 48);
    ArchiveReader floats(envelope);
    for (const Point& p : points) {
        EXPECT_EQ(floats.readFloat(), p.x);
        EXPECT_EQ(floats.readFloat(), p.y);
    }
    EXPECT_EQ(quint8(envelope[0]), 0x00);  // 1.5f = 0x3FC00000, low byte first
    EXPECT_EQ(quint8(envelope[3]), 0x3F);
}

TEST(LetteringCopies, TruncatedArchivesFailWithoutCrashing)
{
    registerGraphicsArchiveClasses();
    registerModelArchiveClasses();
    auto lettering = sampleLettering();
    ArchiveWriter writer;
    writer.writeObject(lettering.get());
    for (qsizetype size = 0; size < writer.data().size(); size += 97) {
        ArchiveReader reader(writer.data().left(size));
        CRefCountObject* object = reader.readObject();
        EXPECT_TRUE(reader.failed() || !object) << size;
        if (auto* element = dynamic_cast<CSElement*>(object))
            CSElement::destroyTree(element);
        else
            delete object;
    }
}

} // namespace
