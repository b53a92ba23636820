#include "TextCodecs.h"

#include "NumberText.h"
#include "PAFont.h"

#include <cmath>

namespace {

// Reads text the way sscanf reads a format of literal characters and "%f":
// a number skips leading blanks, a blank in the format matches any run of
// blanks, any other literal must match the next character.
class FormatScanner
{
public:
    explicit FormatScanner(QStringView text) : m_text(text) {}

    bool literal(QChar expected)
    {
        if (m_failed)
            return false;
        if (expected == u' ') {
            skipBlanks();
            return true;
        }
        if (m_pos < m_text.size() && m_text[m_pos] == expected) {
            ++m_pos;
            return true;
        }
        m_failed = true;
        return false;
    }

    bool real(float& value)
    {
        if (m_failed)
            return false;
        skipBlanks();
        const QStringView rest = m_text.mid(m_pos);
        bool found = false;
        const double parsed = NumberText::leadingReal(rest, &found);
        if (!found) {
            m_failed = true;
            return false;
        }
        value = NumberText::saturatedFloat(parsed);
        m_pos += numberLength(rest);
        return true;
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    static qsizetype numberLength(QStringView text)
    {
        qsizetype i = 0;
        auto digits = [&] {
            while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
                ++i;
        };
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        digits();
        if (i < text.size() && text[i] == u'.') {
            ++i;
            digits();
        }
        if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
            qsizetype j = i + 1;
            if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
                ++j;
            if (j < text.size() && text[j] >= u'0' && text[j] <= u'9') {
                i = j;
                digits();
            }
        }
        return i;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

QStringView fromFirstBrace(QStringView text)
{
    const qsizetype brace = text.indexOf(u'{');
    return brace < 0 ? QStringView() : text.mid(brace);
}

// Removes and returns the text before the separator; a missing separator
// yields the empty string and consumes nothing.
QString splitOff(QStringView& rest, QStringView separator)
{
    const qsizetype at = rest.indexOf(separator);
    if (at < 0)
        return QString();
    QString before = rest.left(at).toString();
    rest = rest.mid(at + separator.size());
    return before;
}

std::int32_t wholeSize(double size)
{
    if (!(size > -2147483648.0))
        return size < 0 ? INT32_MIN : 0;
    if (size >= 2147483647.0)
        return INT32_MAX;
    return std::int32_t(std::trunc(size));
}

FontDescription quotedFont(QStringView text)
{
    QStringView rest = text;
    const QString size = splitOff(rest, u" '");
    const QString firstFace = splitOff(rest, u"' ");
    const QString style = splitOff(rest, u" ");
    const QString weight = splitOff(rest, u" '");
    const QString secondFace = splitOff(rest, u"'");
    FontDescription font;
    font.face = secondFace.isEmpty() ? firstFace : secondFace;
    font.size = wholeSize(NumberText::leadingReal(size));
    font.italic = style.compare(u"italic", Qt::CaseInsensitive) == 0;
    font.bold = weight.compare(u"bold", Qt::CaseInsensitive) == 0;
    return font;
}

// "%f %s %s %s %128c": size, a word, style word, weight word, the rest.
FontDescription unquotedFont(QStringView text)
{
    FontDescription font;
    qsizetype pos = 0;
    auto skipBlanks = [&] {
        while (pos < text.size() && text[pos].isSpace())
            ++pos;
    };
    auto word = [&]() -> QString {
        skipBlanks();
        const qsizetype start = pos;
        while (pos < text.size() && !text[pos].isSpace())
            ++pos;
        return text.mid(start, pos - start).toString();
    };
    const QString sizeWord = word();
    bool found = false;
    const double size = NumberText::leadingReal(sizeWord, &found);
    if (!found)
        return font;
    font.size = wholeSize(size);
    const QString single = word();
    const QString style = word();
    const QString weight = word();
    skipBlanks();
    const QString rest = text.mid(pos, kMaxUnquotedFaceLength).toString();
    font.face = rest.isEmpty() ? single : rest;
    font.italic = style == u"italic";
    font.bold = weight == u"bold";
    return font;
}

} // namespace

const PAFont* FontDescription::font() const
{
    return PAFont::fontWithFamily(face, size, italic, bold);
}

Point pointFromString(QStringView text)
{
    Point p;
    FormatScanner scan(fromFirstBrace(text));
    scan.literal(u'{') && scan.real(p.x) && scan.literal(u',') && scan.literal(u' ') && scan.real(p.y);
    return p;
}

Size sizeFromString(QStringView text)
{
    return sizeFromPoint(pointFromString(text));
}

Rect rectFromString(QStringView text)
{
    Rect r;
    FormatScanner scan(fromFirstBrace(text));
    scan.literal(u'{') && scan.literal(u'{') && scan.real(r.origin.x) && scan.literal(u',')
        && scan.literal(u' ') && scan.real(r.origin.y) && scan.literal(u'}') && scan.literal(u',')
        && scan.literal(u' ') && scan.literal(u'{') && scan.real(r.size.width) && scan.literal(u',')
        && scan.literal(u' ') && scan.real(r.size.height);
    return r;
}

QString stringFromPoint(Point p)
{
    return u'{' + NumberText::formatG(p.x) + QStringLiteral(", ") + NumberText::formatG(p.y) + u'}';
}

QString stringFromSize(Size s)
{
    return stringFromPoint(pointFromSize(s));
}

QString stringFromRect(const Rect& r)
{
    return QStringLiteral("{{") + NumberText::formatG(r.origin.x) + QStringLiteral(", ") + NumberText::formatG(r.origin.y) + QStringLiteral("}, {")
        + NumberText::formatG(r.size.width) + QStringLiteral(", ") + NumberText::formatG(r.size.height) + QStringLiteral("}}");
}

PackedColor colorFromString(QStringView text)
{
    float components[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    FormatScanner scan(text);
    for (float& component : components) {
        if (!scan.real(component))
            break;
    }
    return packColor(colorByteFromUnit(components[0]), colorByteFromUnit(components[1]),
                     colorByteFromUnit(components[2]), colorByteFromUnit(components[3]));
}

QString stringFromColor(PackedColor color)
{
    return NumberText::formatF(colorRed(color) / 255.0) + u' ' + NumberText::formatF(colorGreen(color) / 255.0)
        + u' ' + NumberText::formatF(colorBlue(color) / 255.0) + u' '
        + NumberText::formatF(colorAlpha(color) / 255.0);
}

FontDescription fontFromString(QStringView text)
{
    if (text.indexOf(u'\'') >= 1)
        return quotedFont(text);
    return unquotedFont(text);
}

QString stringFromFont(const FontDescription& font)
{
    return NumberText::formatF(font.size) + QStringLiteral(" '") + font.face + QStringLiteral("' ") + (font.italic ? QStringLiteral("italic") : QStringLiteral("normal"))
        + u' ' + (font.bold ? QStringLiteral("bold") : QStringLiteral("normal")) + QStringLiteral(" '") + font.face + u'\'';
}

QString stringFromFont(const PAFont* font)
{
    return font ? font->fontString() : QString();
}

QString fontStyleText(const PAFont* font)
{
    if (!font)
        return QString();
    return QStringLiteral("font: ") + font->fontString() + QStringLiteral("; ");
}

const PAFont* fontFromStyleText(QStringView text)
{
    QStringView body = text.trimmed();
    if (body.startsWith(u"font:"))
        body = body.mid(5);
    const qsizetype semicolon = body.lastIndexOf(u';');
    if (semicolon >= 0)
        body = body.left(semicolon);
    body = body.trimmed();
    if (body.isEmpty())
        return nullptr;
    return fontFromString(body).font();
}
