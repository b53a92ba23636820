#pragma once

#include "TextFormats.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class ArchiveReader;
class ArchiveWriter;
class PAFont;
class TiXmlElement;
class TiXmlNode;

// One stretch of characters sharing a font, a colour and a paragraph format.
struct TextRun
{
    // Offset and count in UTF-16 code units.
    std::int32_t start = 0;
    std::int32_t length = 0;
    // Never null: an interned font, compared by identity.
    const PAFont* font = nullptr;
    // 0xAARRGGBB.
    PackedColor color = kOpaqueBlack;
    ParagraphFormat paragraph;

    std::int32_t end() const { return start + length; }
    bool hasSameAttributes(const TextRun& other) const
    {
        return font == other.font && color == other.color && paragraph == other.paragraph;
    }

    friend bool operator==(const TextRun&, const TextRun&) = default;
};

// Styled text: one string and the attribute runs over it, kept in order of
// start. A plain value; copies share the interned fonts.
class CAttributedString
{
public:
    // No text and no runs.
    CAttributedString() = default;
    // One run over the whole text: the default font, opaque black, left.
    explicit CAttributedString(const QString& text);
    CAttributedString(const QString& text, const PAFont* font, PackedColor color,
                      TextAlignment alignment = TextAlignment::Left);

    const QString& string() const { return m_string; }
    std::int32_t length() const { return std::int32_t(m_string.size()); }
    bool isEmpty() const { return m_string.isEmpty(); }

    // Adds a run with the given attributes (a null font is the default font)
    // at the current end and then the text.
    void appendString(const QString& text, const PAFont* font, PackedColor color, TextAlignment alignment);
    // The same with the attributes of a parsed declaration list: the font the
    // character format names, its text colour made opaque (opaque black when
    // it has none) and a copy of the paragraph.
    void appendString(const QString& text, const CharacterFormat& character, const ParagraphFormat& paragraph);

    int runCount() const { return int(m_runs.size()); }
    const TextRun& run(int index) const { return m_runs[std::size_t(index)]; }
    const std::vector<TextRun>& runs() const { return m_runs; }
    QString runText(int index) const;

    // Sets each given attribute on the characters in [start, start + length)
    // and merges equal neighbours. The range is limited to the text.
    void applyAttributes(std::int32_t start, std::int32_t length, const PAFont* font,
                         std::optional<PackedColor> color, const ParagraphFormat* paragraph);
    // Joins every run into its predecessor when both have the same font,
    // colour and paragraph format.
    void mergeRuns();

    // A run with exactly this range takes the font (colour) in place, without
    // merging; any other range goes through applyAttributes. A string without
    // runs first gets a default run over the range.
    void setFont(std::int32_t start, std::int32_t length, const PAFont* font);
    void setColor(std::int32_t start, std::int32_t length, PackedColor color);

    // Whole-text edits used by the text commands; each merges afterwards.
    void setAlignment(TextAlignment alignment);
    void changeFontSize(bool up);
    void setFontStyle(std::uint32_t flag, bool on);
    bool hasFontStyle(std::uint32_t flag) const;

    // The first run's alignment, left without runs.
    TextAlignment alignment() const;
    // The first colour that is not opaque black, else opaque black.
    PackedColor textColor() const;

    // The attributes of a run as declarations: its font's character format
    // with the run colour as text colour, and its paragraph.
    static QString runDeclarations(const TextRun& run);

    // The "text" element with one "tspan" per run, its text in CDATA.
    void writeXml(TiXmlNode* parent) const;
    // Reads a "text" element; any other element (or none) is empty text.
    static CAttributedString fromXmlElement(const TiXmlElement* element);

    void writeArchive(ArchiveWriter& archive) const;
    // Malformed runs fail the reader; the text read so far is kept with one
    // default run over it.
    static CAttributedString readArchive(ArchiveReader& archive);

    friend bool operator==(const CAttributedString&, const CAttributedString&) = default;

private:
    TextRun defaultRun(std::int32_t start, std::int32_t length) const;
    // setFont and setColor: in place on an exact run, else applyAttributes.
    void setOnRange(std::int32_t start, std::int32_t length, const PAFont* font, std::optional<PackedColor> color);
    // Splits the run containing offset (strictly inside it) in two.
    void splitAt(std::int32_t offset);

    QString m_string;
    std::vector<TextRun> m_runs;
};
