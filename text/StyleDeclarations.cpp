#include "StyleDeclarations.h"

#include "NumberText.h"
#include "TextCodecs.h"

#include <QList>

#include <cmath>

namespace {

// Every declaration ends in this two-character separator; the name and the
// value are parted by ": ".
constexpr QStringView kSeparator = u"; ";
constexpr QStringView kNameSeparator = u": ";

void appendDeclaration(QString& out, QStringView name, const QString& value)
{
    out += name;
    out += kNameSeparator;
    out += value;
    out += kSeparator;
}

QString tabKindLetter(TabStop::Kind kind)
{
    switch (kind) {
    case TabStop::Center: return QStringLiteral("C");
    case TabStop::Right: return QStringLiteral("R");
    case TabStop::Decimal: return QStringLiteral("D");
    case TabStop::Left: break;
    }
    return QStringLiteral("L");
}

TabStop::Kind tabKindFromLetter(QStringView letter)
{
    if (letter == u"C")
        return TabStop::Center;
    if (letter == u"D")
        return TabStop::Decimal;
    if (letter == u"R")
        return TabStop::Right;
    return TabStop::Left;
}

// A real truncated to a whole number that fits the arithmetic done on it.
std::int64_t truncated(double value)
{
    constexpr double kLimit = 1e15;
    if (!(value > -kLimit))
        return std::int64_t(-kLimit);
    if (value > kLimit)
        return std::int64_t(kLimit);
    return std::int64_t(std::trunc(value));
}

// A colour value needs at least red, green and blue; "red" or "1 0" is malformed.
bool isColorValue(QStringView value)
{
    const QList<QStringView> parts = value.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        bool found = false;
        NumberText::leadingReal(parts[i], &found);
        if (!found)
            return false;
    }
    return true;
}

void readFont(QStringView value, CharacterFormat& character)
{
    const FontDescription font = fontFromString(value);
    const std::int32_t size = saneFontSize(font.size);
    // Neither a face nor a size: nothing to take (older files wrote
    // "0.000000 '' normal normal ''" for a run that had no font).
    if (font.face.isEmpty() && size == 0)
        return;
    if (!font.face.isEmpty()) {
        character.mask |= CharacterFormat::Face;
        character.face = font.face;
    }
    if (size > 0) {
        character.mask |= CharacterFormat::Size;
        character.height = size * kTwipsPerUnit;
    }
    character.setEffect(CharacterFormat::Bold, font.bold);
    character.setEffect(CharacterFormat::Italic, font.italic);
}

void readAlignment(QStringView value, ParagraphFormat& paragraph)
{
    paragraph.mask |= ParagraphFormat::Alignment;
    if (value == u"right")
        paragraph.alignment = TextAlignment::Right;
    else if (value == u"center")
        paragraph.alignment = TextAlignment::Center;
    else
        paragraph.alignment = TextAlignment::Left;
}

void readSuperscript(QStringView value, CharacterFormat& character)
{
    bool found = false;
    const double shift = NumberText::leadingReal(value, &found);
    if (!found || shift == 0.0)
        return;
    character.mask |= CharacterFormat::Subscript | CharacterFormat::Superscript;
    character.effects &= ~std::uint32_t(CharacterFormat::Subscript | CharacterFormat::Superscript);
    character.effects |= shift > 0 ? CharacterFormat::Superscript : CharacterFormat::Subscript;
}

void readDecoration(QStringView value, CharacterFormat& character)
{
    if (value == u"underline")
        character.setEffect(CharacterFormat::Underline, true);
    else if (value == u"line-through")
        character.setEffect(CharacterFormat::StrikeOut, true);
}

void readTabStops(QStringView value, ParagraphFormat& paragraph)
{
    for (QStringView entry : value.split(u' ', Qt::SkipEmptyParts)) {
        const QList<QStringView> parts = entry.split(u'-');
        if (parts.size() != 2)
            continue;
        bool found = false;
        const double position = NumberText::leadingReal(parts[0], &found);
        if (!found)
            continue;
        const TabStop stop{TabStop::clampedPosition(truncated(position) * kTwipsPerUnit), tabKindFromLetter(parts[1])};
        if (!paragraph.addTabStop(stop))
            break;
    }
}

} // namespace

QString styleDeclarations(const CharacterFormat& character, const ParagraphFormat& paragraph)
{
    QString out;
    out.reserve(128);
    if (character.has(CharacterFormat::Face)) {
        const FontDescription font{character.face, character.height / kTwipsPerUnit,
                                   character.isOn(CharacterFormat::Italic), character.isOn(CharacterFormat::Bold)};
        appendDeclaration(out, u"font", stringFromFont(font));
    }
    if (character.has(CharacterFormat::TextColor))
        appendDeclaration(out, u"color", stringFromColor(character.textColor | 0xFF000000u));
    if (character.has(CharacterFormat::BackgroundColor))
        appendDeclaration(out, u"background-color", stringFromColor(character.backgroundColor | 0xFF000000u));

    QString alignment = QStringLiteral("left");
    if (paragraph.alignment == TextAlignment::Right)
        alignment = QStringLiteral("right");
    else if (paragraph.alignment == TextAlignment::Center)
        alignment = QStringLiteral("center");
    appendDeclaration(out, u"text-align", alignment);

    if (paragraph.has(ParagraphFormat::TabStops) && !paragraph.tabStops.empty()) {
        out += QStringLiteral("tab-stops:");
        for (const TabStop& stop : paragraph.tabStops) {
            out += u' ';
            out += NumberText::formatF(stop.position / kTwipsPerUnit);
            out += u'-';
            out += tabKindLetter(stop.kind);
        }
        out += kSeparator;
    }
    if (character.isOn(CharacterFormat::Underline))
        appendDeclaration(out, u"text-decoration", QStringLiteral("underline"));
    if (character.isOn(CharacterFormat::StrikeOut))
        appendDeclaration(out, u"text-decoration", QStringLiteral("line-through"));
    if (character.effects & CharacterFormat::Superscript)
        appendDeclaration(out, u"text-superscript", NumberText::formatF(1.0));
    else if (character.effects & CharacterFormat::Subscript)
        appendDeclaration(out, u"text-superscript", NumberText::formatF(-1.0));
    return out;
}

void parseStyleDeclarations(QStringView text, CharacterFormat& character, ParagraphFormat& paragraph)
{
    character = CharacterFormat();
    paragraph.mask |= ParagraphFormat::Alignment;
    paragraph.alignment = TextAlignment::Left;

    for (QStringView item : text.split(kSeparator, Qt::SkipEmptyParts)) {
        const QList<QStringView> parts = item.split(kNameSeparator);
        if (parts.size() != 2)
            continue;
        const QStringView name = parts[0];
        const QStringView value = parts[1];
        if (name == u"font") {
            readFont(value, character);
        } else if (name == u"text-align") {
            readAlignment(value, paragraph);
        } else if (name == u"text-superscript") {
            readSuperscript(value, character);
        } else if (name == u"text-decoration") {
            readDecoration(value, character);
        } else if (name == u"color") {
            if (isColorValue(value))
                character.setTextColor(colorFromString(value));
        } else if (name == u"background-color") {
            if (isColorValue(value))
                character.setBackgroundColor(colorFromString(value));
        } else if (name == u"tab-stops") {
            readTabStops(value, paragraph);
        }
        // letter-spacing, baseline-offset, text-indent and the text-shadow
        // declarations are known but carry nothing the text engine uses;
        // every other name is skipped too.
    }
}
