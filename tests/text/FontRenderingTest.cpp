#include "PAFontRendering.h"
#include "FontSubstitution.h"
#include "TextFormats.h"

#include <QFontInfo>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace PAFontRendering;

const PAFont* font(const char* family, std::int32_t size, std::uint32_t style = 0)
{
    return PAFont::fontWithFamily(QString::fromLatin1(family), size, style);
}

std::multiset<std::uint32_t> commandsOf(const NSBezierPath& path)
{
    std::multiset<std::uint32_t> commands;
    for (int i = 0; i < path.vertexCount(); ++i)
        commands.insert(path.vertexAt(i).command);
    return commands;
}

TEST(Glyphs, LetterAIsAnOutlineAboveTheBaseline)
{
    const PAFont* verdana = font("Verdana", 40);
    const GlyphOutline& a = glyphFor(verdana, U'A');
    EXPECT_EQ(a.character, U'A');
    ASSERT_FALSE(a.path.isEmpty());
    const Rect bounds = a.path.bounds();
    EXPECT_GE(bounds.minY(), -0.01f) << "y grows upwards from the baseline";
    EXPECT_GT(bounds.maxY(), 20.0f);
    EXPECT_LT(bounds.maxY(), 40.0f);
    EXPECT_GT(a.advance.x, 10.0f);
    EXPECT_EQ(a.advance.y, 0.0f);
    EXPECT_TRUE(commandsOf(a.path).count(kPathEndPolyClosed) >= 2) << "outer and inner contour, both closed";
}

TEST(Glyphs, SpaceHasNoOutlineButAnAdvance)
{
    const GlyphOutline& space = glyphFor(font("Verdana", 40), U' ');
    EXPECT_TRUE(space.path.isEmpty());
    EXPECT_GT(space.advance.x, 0.0f);
}

TEST(Glyphs, RepeatedRequestsReturnTheCachedOutline)
{
    const PAFont* verdana = font("Verdana", 41);
    const GlyphOutline& first = glyphFor(verdana, U'A');
    const int vertices = first.path.vertexCount();
    const GlyphOutline& second = glyphFor(verdana, U'A');
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second.path.vertexCount(), vertices);
    EXPECT_NE(&glyphFor(font("Verdana", 42), U'A'), &first) << "each font has its own outlines";
}

// The size is the height of the font's cell, ascent plus descent, so the
// tallest accented capital and the deepest descender fit into it together.
TEST(Glyphs, SizeIsTheCellHeight)
{
    for (const char* family : {"Verdana", "Arial", "DigitalStrip"}) {
        SCOPED_TRACE(family);
        const PAFont* f = font(family, 100);
        float top = 0, bottom = 0;
        for (char32_t c : std::u32string(U"ÉÅÇgjpqy|")) {
            const Rect r = glyphFor(f, c).path.bounds();
            top = std::max(top, r.maxY());
            bottom = std::min(bottom, r.minY());
        }
        EXPECT_LE(top - bottom, 102.0f);
        EXPECT_GE(top - bottom, 80.0f);
    }
}

TEST(Glyphs, TrueTypeCurvesStayQuadraticAndPostScriptCurvesCubic)
{
    // Verdana draws with a TrueType face, the comic faces with Comic Neue's
    // PostScript outlines.
    const auto trueType = commandsOf(glyphFor(font("Verdana", 50), U'O').path);
    EXPECT_GT(trueType.count(kPathCurve3), 0u);
    EXPECT_EQ(trueType.count(kPathCurve4), 0u);
    const auto postScript = commandsOf(glyphFor(font("DigitalStrip", 50), U'O').path);
    EXPECT_GT(postScript.count(kPathCurve4), 0u);
}

TEST(Glyphs, QtOutlinesBecomeYUpPathsWithQuadraticsRecovered)
{
    QPainterPath qt;
    qt.moveTo(0, 0);
    qt.lineTo(10, 0);
    qt.quadTo(QPointF(20, -10), QPointF(10, -20)); // Qt stores it as an elevated cubic
    qt.cubicTo(QPointF(5, -25), QPointF(2, -22), QPointF(0, -20));
    qt.closeSubpath();
    qt.moveTo(30, 0);
    qt.lineTo(40, 0);
    qt.lineTo(30, -5);

    const NSBezierPath path = outlineFromQtPath(qt);
    std::vector<PathVertex> expected = {
        {0, 0, kPathMoveTo},      {10, 0, kPathLineTo},   {20, 10, kPathCurve3}, {10, 20, kPathCurve3},
        {5, 25, kPathCurve4},     {2, 22, kPathCurve4},   {0, 20, kPathCurve4},  {0, 0, kPathEndPolyClosed},
        {30, 0, kPathMoveTo},     {40, 0, kPathLineTo},   {30, 5, kPathLineTo},  {0, 0, kPathEndPolyClosed},
    };
    ASSERT_EQ(path.vertexCount(), int(expected.size()));
    for (int i = 0; i < path.vertexCount(); ++i) {
        const PathVertex v = path.vertexAt(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(v.command, expected[i].command);
        if (isPathPointCommand(v.command)) {
            EXPECT_NEAR(v.x, expected[i].x, 1e-4);
            EXPECT_NEAR(v.y, expected[i].y, 1e-4);
        }
    }
}

TEST(Glyphs, SurrogatePairIsOneCharacter)
{
    const QString text = QStringLiteral("x\U0001D400y");
    int units = 0;
    EXPECT_EQ(characterAt(text, 1, &units), U'\U0001D400');
    EXPECT_EQ(units, 2);
    EXPECT_EQ(characterAt(text, 3, &units), U'y');
    EXPECT_EQ(characterAt(QString(QChar(0xD835)), 0, &units), U'\uFFFD');
    EXPECT_EQ(units, 1);
    EXPECT_EQ(characterAt(text, 9, &units), U'\0');
    EXPECT_EQ(units, 0);

    const PAFont* f = font("Verdana", 30);
    const GlyphOutline& math = glyphFor(f, text, 1);
    EXPECT_EQ(math.character, U'\U0001D400');
    EXPECT_EQ(&math, &glyphFor(f, U'\U0001D400'));
    EXPECT_FALSE(math.path.isEmpty()) << "drawn by a fall-back face";
}

TEST(Glyphs, ControlCharactersHaveNoOutline)
{
    EXPECT_TRUE(glyphFor(font("Verdana", 30), U'\n').path.isEmpty());
    EXPECT_TRUE(glyphFor(font("Verdana", 30), U'\0').path.isEmpty());
}

TEST(Glyphs, BoldIsWiderThanRegular)
{
    EXPECT_GT(glyphFor(font("Verdana", 60, PAFont::FontStyleBold), U'H').advance.x,
              glyphFor(font("Verdana", 60), U'H').advance.x);
}

TEST(Fonts, StoredFacesAreKeptAndMissingOnesSubstitutedForDrawing)
{
    struct Case {
        const char* face;
        const char* drawnWith;
    };
    const Case cases[] = {
        {"DigitalStrip", "Comic Neue"},
        {"Comic Sans MS", "Comic Neue"},
        {"Verdana", "DejaVu Sans"},
        {"Tahoma", "DejaVu Sans"},
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Liberation Serif", "Liberation Serif"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face);
        const PAFont* f = font(c.face, 20);
        EXPECT_EQ(f->family(), QString::fromLatin1(c.face));
        EXPECT_EQ(qtFont(f).family(), QString::fromLatin1(c.face)) << "the Qt font names the face as stored";
        EXPECT_EQ(resolvedFamily(f), QString::fromLatin1(c.drawnWith));
    }
    EXPECT_TRUE(FontSubstitution::isComicFace(QStringLiteral("digitalstrip")));
    EXPECT_FALSE(FontSubstitution::isComicFace(QStringLiteral("Comic Neue")));
}

TEST(Fonts, QtFontCarriesSizeAndStyle)
{
    const QFont qt = qtFont(font("Verdana", 18, PAFont::FontStyleBold | PAFont::FontStyleItalic
                                              | PAFont::FontStyleUnderline | PAFont::FontStyleStrikeOut));
    EXPECT_EQ(qt.pixelSize(), 18);
    EXPECT_EQ(qt.weight(), QFont::Bold);
    EXPECT_TRUE(qt.italic());
    EXPECT_TRUE(qt.underline());
    EXPECT_TRUE(qt.strikeOut());
    EXPECT_FALSE(qtFont(font("Verdana", 18)).italic());
}

TEST(Fonts, AbsurdSizesAreDrawnInRange)
{
    EXPECT_EQ(qtFont(font("Verdana", 0)).pixelSize(), kMinFontSize);
    EXPECT_EQ(qtFont(font("Verdana", -40)).pixelSize(), kMinFontSize);
    EXPECT_EQ(qtFont(font("Verdana", 1 << 30)).pixelSize(), kMaxFontSize);
    EXPECT_FALSE(glyphFor(font("Verdana", 1 << 30), U'A').path.isEmpty());
}

TEST(Fonts, MetricsAndWidths)
{
    const PAFont* plain = font("Verdana", 20);
    const FontMetrics& m = metrics(plain);
    EXPECT_GT(m.ascent, 10.0f);
    EXPECT_GT(m.descent, 1.0f);
    EXPECT_GE(m.lineSpacing, m.ascent + m.descent);
    EXPECT_EQ(widthOfString(plain, u""), 0.0f);
    EXPECT_GT(widthOfString(plain, u"WW"), widthOfString(plain, u"ii"));
    EXPECT_NEAR(widthOfString(plain, u"abcabc"), 2 * widthOfString(plain, u"abc"), 1.0f);
    // Italic text is measured with room for its slant.
    EXPECT_GT(widthOfString(font("Verdana", 20, PAFont::FontStyleItalic), u""), 0.0f);
}

} // namespace
