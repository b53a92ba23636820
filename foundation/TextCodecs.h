#pragma once

#include "Geometry.h"
#include "PackedColor.h"

#include <QString>
#include <QStringView>

#include <cstdint>

class PAFont;

// The four properties a font text form carries.
struct FontDescription
{
    QString face;
    std::int32_t size = 0;
    bool italic = false;
    bool bold = false;

    const PAFont* font() const;
    friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

// Text forms of geometry, colours and fonts, written into documents,
// stylesheets and styled text. Numbers always use "." whatever the locale.
//
// "{%g, %g}" for points and sizes, "{{%g, %g}, {%g, %g}}" for rectangles.
// Reading: no "{" gives zero; each field is read as a real (so "1e-05" and
// "1e+06" written by "%g" come back) and a field that does not scan stays 0.
Point pointFromString(QStringView text);
Size sizeFromString(QStringView text);
Rect rectFromString(QStringView text);
QString stringFromPoint(Point p);
QString stringFromSize(Size s);
QString stringFromRect(const Rect& r);

// "%f %f %f %f": red, green, blue, alpha as byte/255. Reading rounds to the
// nearest byte; a missing colour component reads 0, a missing alpha opaque.
PackedColor colorFromString(QStringView text);
QString stringFromColor(PackedColor color);

// "%f '%s' %s %s '%s'": size, face, "italic"/"normal", "bold"/"normal", face.
// Reading also takes the unquoted form "size word style weight face…".
FontDescription fontFromString(QStringView text);
QString stringFromFont(const FontDescription& font);
QString stringFromFont(const PAFont* font);

// The style text of a font in archives: "font: <font text form>; ". A null
// font is the empty text, and the empty text (or one without a font) reads
// as no font.
QString fontStyleText(const PAFont* font);
const PAFont* fontFromStyleText(QStringView text);

// The longest face name the unquoted font form keeps.
constexpr qsizetype kMaxUnquotedFaceLength = 128;
