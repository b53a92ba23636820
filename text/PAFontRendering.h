#pragma once

#include "Geometry.h"
#include "NSBezierPath.h"
#include "PAFont.h"

#include <QFont>
#include <QStringView>

class QPainterPath;

// What drawing and lettering need from an interned font: the Qt font, its
// metrics, text widths and the vector outline of each character. The data is
// made on first use and hangs on the font for the rest of the run; every
// function here needs a QGuiApplication.

// One character's outline in the font's own coordinates: the origin on the
// baseline at the pen position, y growing upwards, sized so that the font's
// cell (ascent plus descent) is the font size.
struct GlyphOutline
{
    char32_t character = 0;
    // The pen moves by advance.x to the right and advance.y upwards.
    Point advance;
    NSBezierPath path;
};

struct FontMetrics
{
    // Page units, for the Qt font (pixel size = font size).
    float ascent = 0;
    float descent = 0;
    float leading = 0;
    float lineSpacing = 0;
    float xHeight = 0;
    float capHeight = 0;
    float averageCharWidth = 0;
};

namespace PAFontRendering {

// The font to draw text with: the family as stored (a missing face resolves
// through FontSubstitution), pixel size = font size in page units, weight,
// italic, underline and strike-out from the style flags. Subscript and
// superscript are left to the text layout.
QFont qtFont(const PAFont* font);

// The face drawing really uses ("DejaVu Sans" for a missing "Verdana").
QString resolvedFamily(const PAFont* font);

const FontMetrics& metrics(const PAFont* font);

// Width of the text on one line in page units; italic text is measured with
// ".." appended so that its slant has room.
float widthOfString(const PAFont* font, QStringView text);

// The cached outline of a character, built on first request. A character
// the face lacks comes from the font Qt falls back to; one no font has (and
// a control character) has an empty path. The reference stays valid for the
// whole run.
const GlyphOutline& glyphFor(const PAFont* font, char32_t character);

// The character at index of text: a surrogate pair is one character, a lone
// surrogate reads as U+FFFD. units (when given) receives how many code units
// it took (0 past the end).
char32_t characterAt(QStringView text, qsizetype index, int* units = nullptr);

// A Qt outline (y down) as a path with y up. Cubic segments that are
// elevated quadratics, as Qt hands TrueType curves over, become quadratic
// curves again; true cubics stay cubic. Each contour is closed.
NSBezierPath outlineFromQtPath(const QPainterPath& qtPath);

inline const GlyphOutline& glyphFor(const PAFont* font, QStringView text, qsizetype index)
{
    return glyphFor(font, characterAt(text, index));
}

} // namespace PAFontRendering
