// Styled text: the declaration lists of runs, the font style text, and the
// XML and archive forms of attributed strings.
#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CAttributedString.h"
#include "PAFont.h"
#include "StyleDeclarations.h"
#include "TextCodecs.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>

namespace {

void declarationsRoundTrip(const QString& text)
{
    CharacterFormat character;
    ParagraphFormat paragraph;
    parseStyleDeclarations(text, character, paragraph);
    CharacterFormat characterAgain;
    ParagraphFormat paragraphAgain;
    parseStyleDeclarations(styleDeclarations(character, paragraph), characterAgain, paragraphAgain);
}

void fontStyleTextRoundTrip(const QString& text)
{
    if (const PAFont* font = fontFromStyleText(text)) {
        if (!fontFromStyleText(fontStyleText(font)))
            __builtin_trap();
    }
}

void xmlRoundTrip(const QByteArray& bytes)
{
    TiXmlDocument document;
    if (!XmlSupport::parseDocument(document, bytes))
        return;
    const CAttributedString read = CAttributedString::fromXmlElement(document.RootElement());
    TiXmlDocument written;
    read.writeXml(&written);
    if (CAttributedString::fromXmlElement(written.RootElement()).string() != read.string())
        __builtin_trap();
}

void archiveRoundTrip(const QByteArray& bytes)
{
    ArchiveReader reader(bytes);
    const CAttributedString read = CAttributedString::readArchive(reader);
    ArchiveWriter writer;
    read.writeArchive(writer);
    ArchiveReader again(writer.data());
    CAttributedString::readArchive(again);
    if (again.failed())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    declarationsRoundTrip(text);
    fontStyleTextRoundTrip(text);
    xmlRoundTrip(bytes);
    archiveRoundTrip(bytes);
    return 0;
}
