#pragma once

#include "PAFont.h"
#include "PackedColor.h"

#include <QString>

#include <cstdint>
#include <vector>

// Text sizes and tab positions are handed to the text engine in twips, a
// twentieth of a page unit, whatever the screen.
constexpr std::int32_t kTwipsPerUnit = PAFont::TwipsPerPageUnit;

// Sizes read from files are kept in this range of page units: below it a
// font is no font at all, above it no page could show a letter.
constexpr std::int32_t kMinFontSize = 1;
constexpr std::int32_t kMaxFontSize = 2000;

// The text engine packs a tab position into 24 bits of twips.
constexpr std::int32_t kMaxTabPositionTwips = 0xFFFFFF;
constexpr int kMaxTabStops = 32;

enum class TextAlignment : std::int32_t {
    Left = 1,
    Right = 2,
    Center = 3,
    // Kept when read from the engine's record, never produced by the program.
    Justify = 4,
};

// What a run of characters looks like: the input and output of a style
// declaration list. Only the attributes named in the mask are meaningful.
struct CharacterFormat
{
    enum Attribute : std::uint32_t {
        Face = 1u << 0,
        Size = 1u << 1,
        Bold = 1u << 2,
        Italic = 1u << 3,
        Underline = 1u << 4,
        StrikeOut = 1u << 5,
        Subscript = 1u << 6,
        Superscript = 1u << 7,
        TextColor = 1u << 8,
        BackgroundColor = 1u << 9,
    };
    static constexpr std::uint32_t kEffects = Bold | Italic | Underline | StrikeOut | Subscript | Superscript;

    std::uint32_t mask = 0;
    QString face;
    // The font size in twips.
    std::int32_t height = 0;
    // Bold, Italic, Underline, StrikeOut, Subscript, Superscript bits.
    std::uint32_t effects = 0;
    // Opaque colours: the engine keeps red, green and blue only.
    PackedColor textColor = kOpaqueBlack;
    PackedColor backgroundColor = kOpaqueWhite;

    bool has(std::uint32_t attributes) const { return (mask & attributes) == attributes; }
    // True when the effect is both in the mask and set.
    bool isOn(Attribute effect) const { return has(effect) && (effects & effect); }
    void setEffect(Attribute effect, bool on);
    void setTextColor(PackedColor color);
    void setBackgroundColor(PackedColor color);

    friend bool operator==(const CharacterFormat&, const CharacterFormat&) = default;
};

struct TabStop
{
    enum Kind : std::int32_t { Left = 0, Center = 1, Right = 2, Decimal = 3 };

    // Twips from the start of the line, 0 to kMaxTabPositionTwips.
    std::int32_t position = 0;
    Kind kind = Left;

    // The engine's packed form: position in bits 0-23, kind in bits 24-25.
    std::uint32_t packed() const;
    static TabStop fromPacked(std::uint32_t packed);
    static std::int32_t clampedPosition(std::int64_t twips);

    friend bool operator==(const TabStop&, const TabStop&) = default;
};

// How a paragraph is laid out. Compared field by field: two runs only merge
// when every field, tab stops and spacing included, is the same.
struct ParagraphFormat
{
    enum Attribute : std::uint32_t {
        Alignment = 1u << 0,
        TabStops = 1u << 1,
        LineSpacing = 1u << 2,
    };

    // The line-spacing rules of the engine; the text host uses Multiple.
    enum SpacingRule : std::int32_t { Single = 0, OneAndHalf = 1, Double = 2, AtLeast = 3, Exactly = 4, Multiple = 5 };

    std::uint32_t mask = Alignment;
    TextAlignment alignment = TextAlignment::Left;
    // At most kMaxTabStops.
    std::vector<TabStop> tabStops;
    SpacingRule lineSpacingRule = Single;
    // In twips for AtLeast and Exactly, in twentieths of a line for Multiple.
    std::int32_t lineSpacing = 0;

    static ParagraphFormat withAlignment(TextAlignment alignment);

    bool has(std::uint32_t attributes) const { return (mask & attributes) == attributes; }
    // Appends a stop unless the list is full; false when it was.
    bool addTabStop(TabStop stop);

    friend bool operator==(const ParagraphFormat&, const ParagraphFormat&) = default;
};

// The character format of a font: face, height in twips and its effects.
CharacterFormat characterFormatOfFont(const PAFont* font);

// The interned font a character format names. A format without a face gets
// the default family and one without a size the default size, so that a run
// never ends up with an empty face at size 0.
const PAFont* fontFromCharacterFormat(const CharacterFormat& format);

// A size in page units read from a file, kept in the sane range; a size
// below kMinFontSize is no size (returns 0).
std::int32_t saneFontSize(std::int64_t size);
