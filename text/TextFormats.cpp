#include "TextFormats.h"

#include "PAFont.h"

#include <algorithm>

void CharacterFormat::setEffect(Attribute effect, bool on)
{
    mask |= effect;
    if (on)
        effects |= effect;
    else
        effects &= ~std::uint32_t(effect);
}

void CharacterFormat::setTextColor(PackedColor color)
{
    mask |= TextColor;
    textColor = color | 0xFF000000u;
}

void CharacterFormat::setBackgroundColor(PackedColor color)
{
    mask |= BackgroundColor;
    backgroundColor = color | 0xFF000000u;
}

std::uint32_t TabStop::packed() const
{
    return std::uint32_t(clampedPosition(position)) | (std::uint32_t(kind & 3) << 24);
}

TabStop TabStop::fromPacked(std::uint32_t packed)
{
    return TabStop{std::int32_t(packed & 0xFFFFFFu), Kind((packed >> 24) & 3u)};
}

std::int32_t TabStop::clampedPosition(std::int64_t twips)
{
    return std::int32_t(std::clamp<std::int64_t>(twips, 0, kMaxTabPositionTwips));
}

ParagraphFormat ParagraphFormat::withAlignment(TextAlignment alignment)
{
    ParagraphFormat format;
    format.alignment = alignment;
    return format;
}

bool ParagraphFormat::addTabStop(TabStop stop)
{
    if (tabStops.size() >= std::size_t(kMaxTabStops))
        return false;
    stop.position = TabStop::clampedPosition(stop.position);
    tabStops.push_back(stop);
    mask |= TabStops;
    return true;
}

CharacterFormat characterFormatOfFont(const PAFont* font)
{
    if (!font)
        font = PAFont::defaultFont();
    CharacterFormat format;
    format.mask = CharacterFormat::Face | CharacterFormat::Size;
    format.face = font->family();
    format.height = std::int32_t(std::clamp<std::int64_t>(std::int64_t(font->size()) * kTwipsPerUnit, 0, INT32_MAX));
    const std::uint32_t style = font->style();
    format.setEffect(CharacterFormat::Bold, style & PAFont::FontStyleBold);
    format.setEffect(CharacterFormat::Italic, style & PAFont::FontStyleItalic);
    format.setEffect(CharacterFormat::Underline, style & PAFont::FontStyleUnderline);
    format.setEffect(CharacterFormat::StrikeOut, style & PAFont::FontStyleStrikeOut);
    // Subscript and superscript exclude each other; both bits always go in
    // the mask so that applying the format clears the one not set.
    format.setEffect(CharacterFormat::Subscript, style & PAFont::FontStyleSubscript);
    format.setEffect(CharacterFormat::Superscript,
                     (style & PAFont::FontStyleSuperscript) && !(style & PAFont::FontStyleSubscript));
    return format;
}

const PAFont* fontFromCharacterFormat(const CharacterFormat& format)
{
    const QString face = format.has(CharacterFormat::Face) && !format.face.isEmpty()
        ? format.face
        : QString::fromUtf16(PAFont::DefaultTextFamily);
    std::int32_t size = format.has(CharacterFormat::Size) ? saneFontSize(format.height / kTwipsPerUnit) : 0;
    if (size == 0)
        size = PAFont::DefaultTextSize;
    std::uint32_t style = 0;
    if (format.isOn(CharacterFormat::Bold))
        style |= PAFont::FontStyleBold;
    if (format.isOn(CharacterFormat::Italic))
        style |= PAFont::FontStyleItalic;
    if (format.isOn(CharacterFormat::Underline))
        style |= PAFont::FontStyleUnderline;
    if (format.isOn(CharacterFormat::StrikeOut))
        style |= PAFont::FontStyleStrikeOut;
    if (format.effects & CharacterFormat::Subscript)
        style |= PAFont::FontStyleSubscript;
    else if (format.effects & CharacterFormat::Superscript)
        style |= PAFont::FontStyleSuperscript;
    return PAFont::fontWithFamily(face, size, style);
}

std::int32_t saneFontSize(std::int64_t size)
{
    if (size < kMinFontSize)
        return 0;
    return std::int32_t(std::min<std::int64_t>(size, kMaxFontSize));
}
