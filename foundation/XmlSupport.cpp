#include "XmlSupport.h"

#include "NumberText.h"
#include "Utf8.h"

#include <QFile>
#include <QSaveFile>

#include <tinyxml.h>

#include <cstring>

#include <sys/stat.h>

namespace XmlSupport {

namespace {

bool startsWith(const char* p, const char* end, const char* prefix)
{
    const std::size_t n = std::strlen(prefix);
    return std::size_t(end - p) >= n && std::memcmp(p, prefix, n) == 0;
}

// Skips past the terminator; returns end when it is missing.
const char* skipPast(const char* p, const char* end, const char* terminator)
{
    const std::size_t n = std::strlen(terminator);
    for (; p + n <= end; ++p) {
        if (std::memcmp(p, terminator, n) == 0)
            return p + n;
    }
    return end;
}

// Skips a start or end tag, honouring quoted attribute values; sets
// selfClosing when the tag ends in "/>".
const char* skipTag(const char* p, const char* end, bool& selfClosing)
{
    char quote = 0;
    char previous = 0;
    for (; p < end; ++p) {
        const char c = *p;
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            selfClosing = previous == '/';
            return p + 1;
        }
        previous = c;
    }
    return end;
}

} // namespace

int nestingDepth(const char* text, qsizetype length, int limit)
{
    const char* p = text;
    const char* end = text + length;
    int depth = 0;
    int deepest = 0;
    while (p < end) {
        const char* open = static_cast<const char*>(std::memchr(p, '<', std::size_t(end - p)));
        if (!open)
            break;
        p = open;
        if (startsWith(p, end, "<!--")) {
            p = skipPast(p + 4, end, "-->");
        } else if (startsWith(p, end, "<![CDATA[")) {
            p = skipPast(p + 9, end, "]]>");
        } else if (startsWith(p, end, "<?")) {
            p = skipPast(p + 2, end, "?>");
        } else if (startsWith(p, end, "<!")) {
            bool ignored = false;
            p = skipTag(p + 2, end, ignored);
        } else if (startsWith(p, end, "</")) {
            bool ignored = false;
            p = skipTag(p + 2, end, ignored);
            if (depth > 0)
                --depth;
        } else {
            bool selfClosing = false;
            p = skipTag(p + 1, end, selfClosing);
            if (!selfClosing) {
                ++depth;
                if (depth > deepest) {
                    deepest = depth;
                    if (deepest > limit)
                        return deepest;
                }
            }
        }
    }
    return deepest;
}

bool parseDocument(TiXmlDocument& document, const QByteArray& text)
{
    const qsizetype nul = text.indexOf('\0');
    // TinyXML steps over a multi-byte character by the length its first byte
    // announces, so a sequence cut short at the end of the text walks it past
    // the terminator. Valid UTF-8 (bad sequences become U+FFFD) cannot be cut
    // short, and the padding keeps any remaining look-ahead inside the buffer.
    QByteArray valid = QString::fromUtf8(nul < 0 ? text : text.left(nul)).toUtf8();
    if (nestingDepth(valid.constData(), valid.size()) > kMaxNesting)
        return false;
    const qsizetype length = valid.size();
    valid.append(QByteArray(8, '\0'));
    valid.truncate(length + 8);
    // Texts keep their spaces and line breaks exactly as stored (styled text
    // and names depend on it). The switch is process-wide, so it is set on
    // every parse rather than left to whichever reader ran first.
    TiXmlBase::SetCondenseWhiteSpace(false);
    document.Parse(valid.constData(), nullptr, TIXML_ENCODING_UTF8);
    return !document.Error();
}

bool loadDocument(TiXmlDocument& document, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return parseDocument(document, file.readAll());
}

QByteArray printDocument(const TiXmlDocument& document)
{
    TiXmlPrinter printer;
    printer.SetIndent("\t");
    document.Accept(&printer);
    return QByteArray(printer.CStr(), qsizetype(printer.Size()));
}

namespace {

bool holdsExactly(QSaveFile& file, qint64 size)
{
    struct stat status {};
    return fstat(file.handle(), &status) == 0 && status.st_size == size;
}

} // namespace

bool saveDocument(const TiXmlDocument& document, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = printDocument(document);
    // The buffered write may report success for bytes the disk refused (a
    // full disk, a file size limit): the temporary file must hold all of them
    // before it replaces the old one.
    if (file.write(bytes) != bytes.size() || !file.flush() || !holdsExactly(file, bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString elementText(const TiXmlElement* element)
{
    if (!element)
        return QString();
    for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling()) {
        if (const TiXmlText* text = child->ToText())
            return fromUtf8(text->Value());
        if (child->ToElement())
            break;
    }
    return QString();
}

QString attribute(const TiXmlElement* element, const char* name)
{
    return element ? fromUtf8(element->Attribute(name)) : QString();
}

bool hasAttribute(const TiXmlElement* element, const char* name)
{
    return element && element->Attribute(name) != nullptr;
}

double realAttribute(const TiXmlElement* element, const char* name, double fallback)
{
    if (!hasAttribute(element, name))
        return fallback;
    bool found = false;
    const double value = NumberText::leadingReal(attribute(element, name), &found);
    return found ? value : fallback;
}

int intAttribute(const TiXmlElement* element, const char* name, int fallback)
{
    if (!hasAttribute(element, name))
        return fallback;
    bool found = false;
    const int value = NumberText::leadingInt(attribute(element, name), &found);
    return found ? value : fallback;
}

void setAttribute(TiXmlElement* element, const char* name, const QString& value)
{
    element->SetAttribute(name, toUtf8(value));
}

void setRealAttribute(TiXmlElement* element, const char* name, double value)
{
    element->SetAttribute(name, NumberText::formatFAscii(value));
}

void setIntAttribute(TiXmlElement* element, const char* name, int value)
{
    element->SetAttribute(name, std::to_string(value));
}

TiXmlElement* appendElement(TiXmlNode* parent, const char* name)
{
    return parent->LinkEndChild(new TiXmlElement(name))->ToElement();
}

TiXmlElement* appendTextElement(TiXmlNode* parent, const char* name, const QString& text)
{
    TiXmlElement* element = appendElement(parent, name);
    appendText(element, text);
    return element;
}

void appendText(TiXmlNode* parent, const QString& text)
{
    if (!text.isEmpty())
        parent->LinkEndChild(new TiXmlText(toUtf8(text)));
}

bool namesEqualIgnoringCase(const char* a, const char* b)
{
    if (!a || !b)
        return false;
    for (; *a && *b; ++a, ++b) {
        char ca = *a, cb = *b;
        if (ca >= 'A' && ca <= 'Z')
            ca = char(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z')
            cb = char(cb - 'A' + 'a');
        if (ca != cb)
            return false;
    }
    return *a == *b;
}

// XML 1.0 allows tab, line feed, carriage return and the code points from
// U+0020 on, except the surrogates and U+FFFE/U+FFFF. A lone surrogate or a
// control character in the text would make the file unreadable: such
// characters are dropped.
static bool isXmlCharacter(char32_t c)
{
    if (c == 0x9 || c == 0xA || c == 0xD)
        return true;
    if (c < 0x20)
        return false;
    if (c >= 0xD800 && c <= 0xDFFF)
        return false;
    return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

QString xmlSafe(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            safe += c;
            safe += text[++i];
            continue;
        }
        if (isXmlCharacter(c.unicode()))
            safe += c;
    }
    return safe;
}

// A CDATA section ends at the first "]]>", so text holding one is written as
// several sections, each "]]>" parted between two of them.
void appendCData(TiXmlNode* parent, const QString& text)
{
    const std::string utf8 = toUtf8(xmlSafe(text));
    std::size_t from = 0;
    while (from < utf8.size()) {
        const std::size_t end = utf8.find("]]>", from);
        const std::size_t cut = end == std::string::npos ? utf8.size() : end + 2;
        auto* section = new TiXmlText(utf8.substr(from, cut - from));
        section->SetCDATA(true);
        parent->LinkEndChild(section);
        from = cut;
    }
}

// All text and CDATA children joined: a run split over several sections (or
// a file that mixes them) reads back whole.
QString joinedText(const TiXmlElement* element)
{
    std::string utf8;
    for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling()) {
        if (const TiXmlText* text = child->ToText())
            utf8 += text->ValueStr();
    }
    // The parser lets control characters through; dropping them here keeps
    // what was read equal to what appendCData writes back.
    return xmlSafe(fromUtf8(utf8));
}

} // namespace XmlSupport
