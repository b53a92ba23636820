#include "CAttributedString.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "PAFont.h"
#include "StyleDeclarations.h"
#include "Utf8.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <algorithm>

namespace {

QString fontDeclarations(const PAFont* font)
{
    return styleDeclarations(characterFormatOfFont(font), ParagraphFormat::withAlignment(TextAlignment::Left));
}

void writeParagraph(ArchiveWriter& archive, const ParagraphFormat& paragraph)
{
    archive.writeUInt32(paragraph.mask);
    archive.writeInt32(std::int32_t(paragraph.alignment));
    archive.writeInt32(std::int32_t(paragraph.tabStops.size()));
    for (const TabStop& stop : paragraph.tabStops)
        archive.writeUInt32(stop.packed());
    archive.writeInt32(paragraph.lineSpacingRule);
    archive.writeInt32(paragraph.lineSpacing);
}

bool readParagraph(ArchiveReader& archive, ParagraphFormat& paragraph)
{
    paragraph = ParagraphFormat();
    paragraph.mask = archive.readUInt32()
        & (ParagraphFormat::Alignment | ParagraphFormat::TabStops | ParagraphFormat::LineSpacing);
    const std::int32_t alignment = archive.readInt32();
    paragraph.alignment = alignment >= 1 && alignment <= 4 ? TextAlignment(alignment) : TextAlignment::Left;
    const std::int32_t tabCount = archive.readInt32();
    if (tabCount < 0 || tabCount > kMaxTabStops)
        return false;
    for (std::int32_t i = 0; i < tabCount; ++i)
        paragraph.tabStops.push_back(TabStop::fromPacked(archive.readUInt32()));
    const std::int32_t rule = archive.readInt32();
    paragraph.lineSpacingRule = rule >= ParagraphFormat::Single && rule <= ParagraphFormat::Multiple
        ? ParagraphFormat::SpacingRule(rule)
        : ParagraphFormat::Single;
    paragraph.lineSpacing = archive.readInt32();
    return !archive.failed();
}

// Bytes a run takes at the least: start, length, an empty string, colour and
// a paragraph without tab stops.
constexpr std::uint32_t kMinRunBytes = 4 * 9;

} // namespace

CAttributedString::CAttributedString(const QString& text)
    : CAttributedString(text, PAFont::defaultFont(), kOpaqueBlack, TextAlignment::Left)
{
}

CAttributedString::CAttributedString(const QString& text, const PAFont* font, PackedColor color,
                                     TextAlignment alignment)
{
    appendString(text, font, color, alignment);
}

void CAttributedString::appendString(const QString& text, const PAFont* font, PackedColor color,
                                     TextAlignment alignment)
{
    TextRun run = defaultRun(length(), std::int32_t(text.size()));
    if (font)
        run.font = font;
    run.color = color;
    run.paragraph.alignment = alignment;
    m_runs.push_back(run);
    m_string += text;
}

void CAttributedString::appendString(const QString& text, const CharacterFormat& character,
                                     const ParagraphFormat& paragraph)
{
    TextRun run = defaultRun(length(), std::int32_t(text.size()));
    run.font = fontFromCharacterFormat(character);
    run.color = character.has(CharacterFormat::TextColor) ? (character.textColor | 0xFF000000u) : kOpaqueBlack;
    run.paragraph = paragraph;
    m_runs.push_back(run);
    m_string += text;
}

QString CAttributedString::runText(int index) const
{
    const TextRun& r = run(index);
    return m_string.mid(r.start, r.length);
}

TextRun CAttributedString::defaultRun(std::int32_t start, std::int32_t length) const
{
    TextRun run;
    run.start = start;
    run.length = length;
    run.font = PAFont::defaultFont();
    return run;
}

void CAttributedString::splitAt(std::int32_t offset)
{
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        TextRun& r = m_runs[i];
        if (r.start < offset && offset < r.end()) {
            TextRun tail = r;
            tail.start = offset;
            tail.length = r.end() - offset;
            r.length = offset - r.start;
            m_runs.insert(m_runs.begin() + std::ptrdiff_t(i) + 1, tail);
            return;
        }
    }
}

void CAttributedString::applyAttributes(std::int32_t start, std::int32_t length, const PAFont* font,
                                        std::optional<PackedColor> color, const ParagraphFormat* paragraph)
{
    const std::int32_t from = std::clamp(start, 0, this->length());
    const std::int32_t to = std::int32_t(std::clamp<std::int64_t>(std::int64_t(start) + length, from, this->length()));
    if (from < to) {
        splitAt(from);
        splitAt(to);
        // An empty run strictly inside the range has no character to carry
        // the new attributes and would keep its neighbours apart.
        std::erase_if(m_runs, [&](const TextRun& r) { return r.length == 0 && r.start > from && r.start < to; });
        for (TextRun& r : m_runs) {
            if (r.length == 0 || r.start < from || r.end() > to)
                continue;
            if (font)
                r.font = font;
            if (color)
                r.color = *color;
            if (paragraph)
                r.paragraph = *paragraph;
        }
    }
    mergeRuns();
}

void CAttributedString::mergeRuns()
{
    if (m_runs.size() < 2)
        return;
    std::vector<TextRun> merged;
    merged.reserve(m_runs.size());
    for (const TextRun& r : m_runs) {
        if (!merged.empty() && merged.back().hasSameAttributes(r))
            merged.back().length += r.length;
        else
            merged.push_back(r);
    }
    m_runs = std::move(merged);
}

void CAttributedString::setFont(std::int32_t start, std::int32_t length, const PAFont* font)
{
    setOnRange(start, length, font ? font : PAFont::defaultFont(), std::nullopt);
}

void CAttributedString::setColor(std::int32_t start, std::int32_t length, PackedColor color)
{
    setOnRange(start, length, nullptr, color);
}

void CAttributedString::setOnRange(std::int32_t start, std::int32_t length, const PAFont* font,
                                   std::optional<PackedColor> color)
{
    const std::int32_t from = std::clamp(start, 0, this->length());
    const std::int32_t count = std::int32_t(std::clamp<std::int64_t>(length, 0, this->length() - from));
    if (m_runs.empty())
        m_runs.push_back(defaultRun(from, count));
    for (TextRun& r : m_runs) {
        if (r.start == from && r.length == count) {
            if (font)
                r.font = font;
            if (color)
                r.color = *color;
            return;
        }
    }
    applyAttributes(from, count, font, color, nullptr);
}

void CAttributedString::setAlignment(TextAlignment alignment)
{
    for (TextRun& r : m_runs)
        r.paragraph.alignment = alignment;
    mergeRuns();
}

void CAttributedString::changeFontSize(bool up)
{
    for (TextRun& r : m_runs) {
        const std::int32_t size = r.font->size();
        r.font = r.font->withSize(up ? (size < kMaxFontSize ? size + 1 : size) : std::max(size - 1, 1));
    }
    mergeRuns();
}

void CAttributedString::setFontStyle(std::uint32_t flag, bool on)
{
    for (TextRun& r : m_runs) {
        const std::uint32_t style = on ? (r.font->style() | flag) : (r.font->style() & ~flag);
        if (style != r.font->style())
            r.font = r.font->withStyle(style);
    }
    mergeRuns();
}

bool CAttributedString::hasFontStyle(std::uint32_t flag) const
{
    return std::any_of(m_runs.begin(), m_runs.end(), [flag](const TextRun& r) { return r.font->style() & flag; });
}

TextAlignment CAttributedString::alignment() const
{
    return m_runs.empty() ? TextAlignment::Left : m_runs.front().paragraph.alignment;
}

PackedColor CAttributedString::textColor() const
{
    for (const TextRun& r : m_runs) {
        if (r.color != kOpaqueBlack)
            return r.color;
    }
    return kOpaqueBlack;
}

QString CAttributedString::runDeclarations(const TextRun& run)
{
    CharacterFormat character = characterFormatOfFont(run.font);
    character.setTextColor(run.color);
    return styleDeclarations(character, run.paragraph);
}

void CAttributedString::writeXml(TiXmlNode* parent) const
{
    TiXmlElement* text = XmlSupport::appendElement(parent, "text");
    for (int i = 0; i < runCount(); ++i) {
        TiXmlElement* span = XmlSupport::appendElement(text, "tspan");
        XmlSupport::setAttribute(span, "style", XmlSupport::xmlSafe(runDeclarations(run(i))));
        XmlSupport::appendCData(span, runText(i));
    }
}

CAttributedString CAttributedString::fromXmlElement(const TiXmlElement* element)
{
    CAttributedString result;
    if (!element || element->ValueStr() != "text")
        return result;
    for (const TiXmlElement* span = element->FirstChildElement("tspan"); span;
         span = span->NextSiblingElement("tspan")) {
        const QString text = XmlSupport::joinedText(span);
        if (XmlSupport::hasAttribute(span, "style")) {
            CharacterFormat character;
            ParagraphFormat paragraph;
            parseStyleDeclarations(XmlSupport::attribute(span, "style"), character, paragraph);
            result.appendString(text, character, paragraph);
        } else {
            result.appendString(text, PAFont::defaultFont(), kOpaqueBlack, TextAlignment::Left);
        }
    }
    return result;
}

void CAttributedString::writeArchive(ArchiveWriter& archive) const
{
    archive.writeString(m_string);
    archive.writeInt32(runCount());
    for (const TextRun& r : m_runs) {
        archive.writeInt32(r.start);
        archive.writeInt32(r.length);
        archive.writeString(fontDeclarations(r.font));
        archive.writeUInt32(r.color);
        writeParagraph(archive, r.paragraph);
    }
}

CAttributedString CAttributedString::readArchive(ArchiveReader& archive)
{
    CAttributedString result;
    result.m_string = archive.readString();
    const std::uint32_t count = archive.readCount(kMinRunBytes);
    std::int32_t expectedStart = 0;
    for (std::uint32_t i = 0; i < count && !archive.failed(); ++i) {
        TextRun r;
        r.start = archive.readInt32();
        r.length = archive.readInt32();
        CharacterFormat character;
        ParagraphFormat ignored;
        parseStyleDeclarations(archive.readString(), character, ignored);
        r.font = fontFromCharacterFormat(character);
        r.color = archive.readUInt32();
        const bool paragraphRead = readParagraph(archive, r.paragraph);
        // Runs follow each other without gaps from the first character and
        // stay inside the text.
        if (!paragraphRead || r.start != expectedStart || r.length < 0 || r.length > result.length() - r.start) {
            archive.fail();
            break;
        }
        expectedStart = r.end();
        result.m_runs.push_back(r);
    }
    if (archive.failed())
        return CAttributedString(result.m_string);
    return result;
}
