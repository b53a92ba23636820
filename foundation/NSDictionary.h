#pragma once

#include "CRefCountObject.h"
#include "NSObject.h"

#include <QString>
#include <QStringList>

#include <map>

class NSArray;

// Keys in plain UTF-16 code-unit order: case-sensitive, no locale.
struct Utf16KeyLess
{
    bool operator()(const QString& a, const QString& b) const
    {
        return QStringView(a).compare(QStringView(b), Qt::CaseSensitive) < 0;
    }
};

// A map from string key to value, kept in key order. Looking a missing key up
// through objectForKey leaves an empty entry behind; every outward form (keys,
// values, XML, archive) skips empty entries.
class NSDictionary : public CRefCountObject
{
public:
    using Entries = std::map<QString, NSObject, Utf16KeyLess>;

    NSDictionary() = default;
    // Copies every entry by the value rules: nested containers are shared.
    NSDictionary(const NSDictionary& other) = default;

    const char* className() const override;
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;

    NSObject& objectForKey(const QString& key);
    std::int32_t intForKey(const QString& key) { return objectForKey(key).intValue(); }
    float floatForKey(const QString& key) { return objectForKey(key).floatValue(); }
    bool boolForKey(const QString& key) { return objectForKey(key).boolValue(); }
    QString stringForKey(const QString& key) { return objectForKey(key).stringValue(); }
    PackedColor colorForKey(const QString& key) { return objectForKey(key).colorValue(); }
    NSArray* arrayForKey(const QString& key) { return objectForKey(key).arrayValue(); }
    NSDictionary* dictionaryForKey(const QString& key) { return objectForKey(key).dictionaryValue(); }
    CRefCountObject* objectValueForKey(const QString& key) { return objectForKey(key).objectValue(); }
    const PAFont* fontForKey(const QString& key) { return objectForKey(key).fontValue(); }

    // Looks up without inserting: null when absent or empty.
    const NSObject* valueForKey(const QString& key) const;
    bool containsKey(const QString& key) const { return valueForKey(key) != nullptr; }

    void setObjectForKey(const NSObject& value, const QString& key) { objectForKey(key) = value; }
    void setIntForKey(std::int32_t value, const QString& key) { objectForKey(key) = NSObject(value); }
    void setFloatForKey(float value, const QString& key) { objectForKey(key) = NSObject(value); }
    void setBoolForKey(bool value, const QString& key) { objectForKey(key) = NSObject(value); }
    void setStringForKey(const QString& value, const QString& key) { objectForKey(key) = NSObject(value); }
    void setColorForKey(PackedColor value, const QString& key) { objectForKey(key) = NSObject::withColor(value); }
    void setArrayForKey(NSArray* value, const QString& key) { objectForKey(key) = NSObject(value); }
    void setDictionaryForKey(NSDictionary* value, const QString& key) { objectForKey(key) = NSObject(value); }
    void setObjectValueForKey(CRefCountObject* value, const QString& key) { objectForKey(key) = NSObject(value); }
    void setFontForKey(const PAFont* value, const QString& key) { objectForKey(key) = NSObject(value); }
    void removeObjectForKey(const QString& key) { m_entries.erase(key); }
    void removeAllObjects() { m_entries.clear(); }

    // The keys with non-empty values, in key order.
    QStringList allKeys() const;
    // A new array (count 0) of the non-empty values, in key order.
    NSArray* allValues() const;
    // The number of non-empty entries.
    int count() const;

    bool isEqual(const NSDictionary& other) const;
    const Entries& entries() const { return m_entries; }

    // Element "dict": a "key" element, then the value, for each non-empty entry.
    void writeXml(TiXmlNode* parent) const;
    // Reads key/value pairs; stops, keeping what was read, at the first pair
    // that is not a "key" with text followed by a value element.
    void readXml(const TiXmlElement* dictElement, int depth = 0);

private:
    Entries m_entries;
};
