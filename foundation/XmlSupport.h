#pragma once

#include <QByteArray>
#include <QString>

class TiXmlDocument;
class TiXmlElement;
class TiXmlNode;

// Safe and locale-independent use of the XML library.
//
// TinyXML parses recursively, so a hostile file nested deep enough overflows
// the stack: every document is checked for its nesting depth before it is
// parsed. TinyXML's numeric attribute helpers go through the C library's
// locale-dependent printf and scanf: numbers are written and read here instead.
namespace XmlSupport {

constexpr int kMaxNesting = 256;

// Largest element nesting in the text, found without building a tree; stops
// counting (and returns more than limit) as soon as limit is exceeded.
int nestingDepth(const char* text, qsizetype length, int limit = kMaxNesting);

// Parses UTF-8 text into document; false when it is too deep or malformed.
bool parseDocument(TiXmlDocument& document, const QByteArray& text);
bool loadDocument(TiXmlDocument& document, const QString& path);
// Writes the document through a temporary file and an atomic rename, so a
// failed save leaves the file that was there untouched.
bool saveDocument(const TiXmlDocument& document, const QString& path);
QByteArray printDocument(const TiXmlDocument& document);

// The element's text (its first text or CDATA child), empty when it has none.
QString elementText(const TiXmlElement* element);
QString attribute(const TiXmlElement* element, const char* name);
bool hasAttribute(const TiXmlElement* element, const char* name);
// A decimal attribute read as strtod would; the fallback when absent or not a number.
double realAttribute(const TiXmlElement* element, const char* name, double fallback = 0.0);
int intAttribute(const TiXmlElement* element, const char* name, int fallback = 0);

void setAttribute(TiXmlElement* element, const char* name, const QString& value);
// "%f".
void setRealAttribute(TiXmlElement* element, const char* name, double value);
void setIntAttribute(TiXmlElement* element, const char* name, int value);

// Appends a child element (optionally with text) and returns it.
TiXmlElement* appendElement(TiXmlNode* parent, const char* name);
TiXmlElement* appendTextElement(TiXmlNode* parent, const char* name, const QString& text);
void appendText(TiXmlNode* parent, const QString& text);

// The text without the characters XML 1.0 cannot hold (control characters,
// lone surrogates, U+FFFE and U+FFFF): a file holding one could not be read.
QString xmlSafe(const QString& text);
// The text (made xmlSafe) as CDATA sections, which keep every space and line
// break as written; a "]]>" in the text is parted between two sections.
void appendCData(TiXmlNode* parent, const QString& text);
// All text and CDATA children of the element joined, so that text split over
// several sections (or a file that mixes them) reads back whole, made
// xmlSafe like the text appendCData writes.
QString joinedText(const TiXmlElement* element);

bool namesEqualIgnoringCase(const char* a, const char* b);

} // namespace XmlSupport
