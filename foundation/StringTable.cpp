#include "StringTable.h"

#include "Utf8.h"
#include "XmlSupport.h"

#include <tinyxml.h>

QString StringTable::decodeUtf16WithByteOrderMark(const QByteArray& bytes)
{
    if (bytes.size() < 2)
        return QString();
    const auto b0 = std::uint8_t(bytes[0]), b1 = std::uint8_t(bytes[1]);
    bool littleEndian;
    if (b0 == 0xFF && b1 == 0xFE)
        littleEndian = true;
    else if (b0 == 0xFE && b1 == 0xFF)
        littleEndian = false;
    else
        return QString();
    const qsizetype units = (bytes.size() - 2) / 2;
    QString text(units, Qt::Uninitialized);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + 2);
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t lo = p[2 * i], hi = p[2 * i + 1];
        text[i] = QChar(littleEndian ? char16_t(lo | (hi << 8)) : char16_t((lo << 8) | hi));
    }
    return text;
}

namespace {

// Scans the "key" = "value"; entries of a strings file.
class StringsScanner
{
public:
    explicit StringsScanner(const QString& text) : m_text(text) {}

    template <class Store>
    void scan(Store store)
    {
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos];
            if (m_inString) {
                scanStringCharacter(c);
            } else if (c == u'"') {
                m_inString = true;
                ++m_pos;
            } else if (c == u';') {
                if (!m_key.isEmpty() && !m_value.isEmpty())
                    store(m_key, m_value);
                m_key.clear();
                m_value.clear();
                m_strings = 0;
                ++m_pos;
            } else if (c == u'/' && peek(1) == u'*') {
                skipBlockComment();
            } else if (c == u'/' && peek(1) == u'/') {
                skipLineComment();
            } else {
                // Blanks, line breaks and the equals sign.
                m_pos += (c == u'\\') ? 2 : 1;
            }
        }
    }

private:
    QChar peek(qsizetype ahead) const
    {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : QChar();
    }

    void append(const QString& piece)
    {
        if (m_strings == 0)
            m_key += piece;
        else if (m_strings == 1)
            m_value += piece;
    }

    void scanStringCharacter(QChar c)
    {
        if (c == u'\\') {
            const QChar next = peek(1);
            if (next == u'"' || next == u'\'' || next == u'\\')
                append(QString(next));
            else if (next == u'n')
                append(QStringLiteral("\r\n"));
            else if (next == u't')
                append(QStringLiteral("\t"));
            m_pos += 2;
        } else if (c == u'"') {
            m_inString = false;
            ++m_strings;
            ++m_pos;
        } else if (c == u'%' && peek(1) == u'@') {
            append(QStringLiteral("%s"));
            m_pos += 2;
        } else if (c == u'\r' && peek(1) == u'\n') {
            // A written line break in a file with CR LF line ends.
            append(QStringLiteral("\r\n"));
            m_pos += 2;
        } else if (c == u'\n') {
            append(QStringLiteral("\r\n"));
            ++m_pos;
        } else {
            append(QString(c));
            ++m_pos;
        }
    }

    void skipBlockComment()
    {
        const qsizetype end = m_text.indexOf(QStringLiteral("*/"), m_pos + 2);
        m_pos = end < 0 ? m_text.size() : end + 2;
    }

    void skipLineComment()
    {
        const qsizetype end = m_text.indexOf(u'\n', m_pos);
        m_pos = end < 0 ? m_text.size() : end + 1;
    }

    const QString& m_text;
    qsizetype m_pos = 0;
    bool m_inString = false;
    int m_strings = 0;
    QString m_key;
    QString m_value;
};

} // namespace

int StringTable::readLocalizableStrings(const QByteArray& bytes)
{
    const QString text = decodeUtf16WithByteOrderMark(bytes);
    int stored = 0;
    StringsScanner(text).scan([&](const QString& key, const QString& value) {
        m_table.insert(key, value);
        ++stored;
    });
    return stored;
}

bool StringTable::readStringsXml(const QByteArray& utf8)
{
    TiXmlDocument document;
    if (!XmlSupport::parseDocument(document, utf8))
        return false;
    const TiXmlElement* root = document.FirstChildElement("document");
    if (!root)
        return true;
    for (const TiXmlElement* entry = root->FirstChildElement(); entry; entry = entry->NextSiblingElement()) {
        const char* name = entry->Attribute("name");
        const QString text = XmlSupport::elementText(entry);
        if (name && *name && !text.isEmpty())
            m_table.insert(fromUtf8(name), text);
    }
    return true;
}

QString StringTable::localizedString(const QString& key) const
{
    const auto found = m_table.constFind(key);
    if (found == m_table.constEnd() || found->isEmpty())
        return key;
    return *found;
}
