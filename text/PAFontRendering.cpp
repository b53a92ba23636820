#include "PAFontRendering.h"

#include "FontSubstitution.h"
#include "TextFormats.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace PAFontRendering {

namespace {

// Outlines are looked up at this pixel size and then scaled exactly.
constexpr int kReferencePixelSize = 1000;

class PAFontData : public PAFontAttachment
{
public:
    explicit PAFontData(const PAFont* font)
        : font(makeQtFont(font)), fontMetrics(this->font)
    {
        metrics.ascent = float(fontMetrics.ascent());
        metrics.descent = float(fontMetrics.descent());
        metrics.leading = float(fontMetrics.leading());
        metrics.lineSpacing = float(fontMetrics.lineSpacing());
        metrics.xHeight = float(fontMetrics.xHeight());
        metrics.capHeight = float(fontMetrics.capHeight());
        metrics.averageCharWidth = float(fontMetrics.averageCharWidth());

        outlineFont = this->font;
        outlineFont.setUnderline(false);
        outlineFont.setStrikeOut(false);
        outlineFont.setHintingPreference(QFont::PreferNoHinting);
        outlineFont.setPixelSize(kReferencePixelSize);
        primaryRaw = QRawFont::fromFont(outlineFont);
        // The size is the cell height: ascent plus descent of the face.
        const qreal cell = primaryRaw.isValid() ? primaryRaw.ascent() + primaryRaw.descent() : 0.0;
        const qreal size = std::clamp<qreal>(font->size(), 0, kMaxFontSize);
        outlinePixelSize = cell > 0 ? size * kReferencePixelSize / cell : size;
    }

    static QFont makeQtFont(const PAFont* font)
    {
        FontSubstitution::install();
        const QString family = font->family().isEmpty() ? QString::fromUtf16(PAFont::DefaultTextFamily) : font->family();
        QFont qt(family);
        const QString substitute = FontSubstitution::substituteFor(family);
        if (!substitute.isEmpty() && substitute != family)
            qt.setFamilies({family, substitute});
        qt.setPixelSize(std::clamp(font->size(), kMinFontSize, kMaxFontSize));
        const std::uint32_t style = font->style();
        qt.setWeight(style & PAFont::FontStyleBold ? QFont::Bold : QFont::Normal);
        qt.setItalic(style & PAFont::FontStyleItalic);
        qt.setUnderline(style & PAFont::FontStyleUnderline);
        qt.setStrikeOut(style & PAFont::FontStyleStrikeOut);
        if (style & PAFont::FontStyleNoClearType)
            qt.setStyleStrategy(QFont::NoSubpixelAntialias);
        return qt;
    }

    // The face and glyph that draw the character: the font's own face, or
    // the face Qt falls back to for characters it lacks.
    bool findGlyph(char32_t character, QRawFont& raw, quint32& index) const
    {
        const QString text = QString::fromUcs4(&character, 1);
        if (primaryRaw.isValid() && primaryRaw.supportsCharacter(character)) {
            const QList<quint32> indexes = primaryRaw.glyphIndexesForString(text);
            if (indexes.size() == 1 && indexes[0] != 0) {
                raw = primaryRaw;
                index = indexes[0];
                return true;
            }
        }
        QTextLayout layout(text, outlineFont);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns()) {
            const QList<quint32> indexes = run.glyphIndexes();
            if (!indexes.isEmpty() && indexes[0] != 0) {
                raw = run.rawFont();
                index = indexes[0];
                return true;
            }
        }
        return false;
    }

    GlyphOutline buildGlyph(char32_t character) const
    {
        GlyphOutline glyph;
        glyph.character = character;
        QRawFont raw;
        quint32 index = 0;
        if (!findGlyph(character, raw, index))
            return glyph;
        raw.setPixelSize(outlinePixelSize);
        glyph.path = outlineFromQtPath(raw.pathForGlyph(index));
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(QList<quint32>{index}, QRawFont::UseDesignMetrics);
        if (!advances.isEmpty())
            glyph.advance = Point{float(advances[0].x()), float(-advances[0].y())};
        return glyph;
    }

    QFont font;
    QFontMetricsF fontMetrics;
    FontMetrics metrics;
    QFont outlineFont;
    QRawFont primaryRaw;
    qreal outlinePixelSize = 0;
    std::map<char32_t, GlyphOutline> glyphs;
};

PAFontData& dataFor(const PAFont* font)
{
    if (auto* data = dynamic_cast<PAFontData*>(font->attachment()))
        return *data;
    auto data = std::make_unique<PAFontData>(font);
    PAFontData& result = *data;
    font->setAttachment(std::move(data));
    return result;
}

const PAFont* orDefault(const PAFont* font)
{
    return font ? font : PAFont::defaultFont();
}

Point flipped(const QPointF& p)
{
    return Point{float(p.x()), float(-p.y())};
}

// A cubic that is an elevated quadratic has both control points on the lines
// to one quadratic control point q: c1 = p0 + 2/3 (q - p0), c2 = p3 + 2/3 (q - p3).
bool elevatedQuadratic(const QPointF& p0, const QPointF& c1, const QPointF& c2, const QPointF& p3, QPointF& q)
{
    const QPointF q1 = (3 * c1 - p0) / 2;
    const QPointF q2 = (3 * c2 - p3) / 2;
    const qreal scale = 1 + std::max({std::abs(q1.x()), std::abs(q1.y()), std::abs(q2.x()), std::abs(q2.y())});
    const qreal tolerance = 1e-6 * scale;
    if (std::abs(q1.x() - q2.x()) > tolerance || std::abs(q1.y() - q2.y()) > tolerance)
        return false;
    q = (q1 + q2) / 2;
    return true;
}

} // namespace

NSBezierPath outlineFromQtPath(const QPainterPath& qtPath)
{
    NSBezierPath path;
    const int count = qtPath.elementCount();
    QPointF start;
    QPointF current;
    bool open = false;
    auto closeContour = [&] {
        if (open)
            path.closePath();
        open = false;
    };
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element e = qtPath.elementAt(i);
        const QPointF p(e.x, e.y);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            closeContour();
            start = current = p;
            path.moveTo(flipped(p));
            open = true;
            break;
        case QPainterPath::LineToElement: {
            // The line back to the start is drawn by closing the contour.
            const bool lastOfContour = i + 1 == count || qtPath.elementAt(i + 1).type == QPainterPath::MoveToElement;
            if (!(lastOfContour && p == start))
                path.lineTo(flipped(p));
            current = p;
            break;
        }
        case QPainterPath::CurveToElement: {
            if (i + 2 >= count)
                break;
            const QPainterPath::Element e2 = qtPath.elementAt(i + 1);
            const QPainterPath::Element e3 = qtPath.elementAt(i + 2);
            i += 2;
            const QPointF c2(e2.x, e2.y);
            const QPointF end(e3.x, e3.y);
            QPointF q;
            if (elevatedQuadratic(current, p, c2, end, q))
                path.quadCurveTo(flipped(end), flipped(q));
            else
                path.curveTo(flipped(end), flipped(p), flipped(c2));
            current = end;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    closeContour();
    return path;
}

QFont qtFont(const PAFont* font)
{
    return dataFor(orDefault(font)).font;
}

QString resolvedFamily(const PAFont* font)
{
    return QFontInfo(dataFor(orDefault(font)).font).family();
}

const FontMetrics& metrics(const PAFont* font)
{
    return dataFor(orDefault(font)).metrics;
}

float widthOfString(const PAFont* font, QStringView text)
{
    font = orDefault(font);
    const PAFontData& data = dataFor(font);
    if (font->isItalic())
        return float(data.fontMetrics.horizontalAdvance(text.toString() + QStringLiteral("..")));
    return float(data.fontMetrics.horizontalAdvance(text.toString()));
}

const GlyphOutline& glyphFor(const PAFont* font, char32_t character)
{
    PAFontData& data = dataFor(orDefault(font));
    auto found = data.glyphs.find(character);
    if (found == data.glyphs.end())
        found = data.glyphs.emplace(character, data.buildGlyph(character)).first;
    return found->second;
}

char32_t characterAt(QStringView text, qsizetype index, int* units)
{
    if (index < 0 || index >= text.size()) {
        if (units)
            *units = 0;
        return 0;
    }
    const QChar c = text[index];
    if (c.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate()) {
        if (units)
            *units = 2;
        return QChar::surrogateToUcs4(c, text[index + 1]);
    }
    if (units)
        *units = 1;
    return c.isSurrogate() ? char32_t(0xFFFD) : char32_t(c.unicode());
}

} // namespace PAFontRendering
