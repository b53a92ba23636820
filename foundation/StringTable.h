#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The localised string table: key to text, read from "Localizable.strings"
// and then "strings.xml", whose entries replace same-named ones.
class StringTable
{
public:
    // UTF-16 text that begins with a byte-order mark; without one the file
    // counts as empty. Returns the number of entries stored.
    int readLocalizableStrings(const QByteArray& bytes);
    // Every child of the first top-level "document" element with a "name"
    // attribute and text. False when the text is not XML.
    bool readStringsXml(const QByteArray& utf8);

    // The text, or the key itself when absent or empty.
    QString localizedString(const QString& key) const;
    bool contains(const QString& key) const { return m_table.contains(key); }
    void insert(const QString& key, const QString& text) { m_table.insert(key, text); }
    void clear() { m_table.clear(); }
    int count() const { return int(m_table.size()); }

    static QString decodeUtf16WithByteOrderMark(const QByteArray& bytes);

private:
    QHash<QString, QString> m_table;
};
