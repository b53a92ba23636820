#pragma once

#include "CRefCountObject.h"
#include "NSObject.h"

#include <vector>

class NSDictionary;

// An ordered, growable sequence of values held by value.
class NSArray : public CRefCountObject
{
public:
    NSArray() = default;
    NSArray(const NSArray& other) = default;

    const char* className() const override;
    // Count, then each member's archive form.
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;

    int count() const { return int(m_values.size()); }
    bool isEmpty() const { return m_values.empty(); }
    // Indexing outside 0..count-1 is the caller's error.
    NSObject objectAtIndex(int index) const { return m_values[std::size_t(index)]; }
    const NSObject& at(int index) const { return m_values[std::size_t(index)]; }
    QString stringAtIndex(int index) const { return at(index).stringValue(); }
    PackedColor colorAtIndex(int index) const { return at(index).colorValue(); }
    NSDictionary* dictionaryAtIndex(int index) const { return at(index).dictionaryValue(); }

    void addObject(const NSObject& value) { m_values.push_back(value); }
    void addInt(std::int32_t value) { m_values.emplace_back(value); }
    void addFloat(float value) { m_values.emplace_back(value); }
    void addBool(bool value) { m_values.emplace_back(value); }
    void addString(const QString& value) { m_values.emplace_back(value); }
    void addColor(PackedColor value) { m_values.push_back(NSObject::withColor(value)); }
    void addArray(NSArray* value) { m_values.emplace_back(value); }
    void addDictionary(NSDictionary* value) { m_values.emplace_back(value); }
    void removeObjectAtIndex(int index) { m_values.erase(m_values.begin() + index); }
    void removeAllObjects() { m_values.clear(); }
    // Kind 8 members are compared by identity.
    bool containsObject(const CRefCountObject* object) const;

    bool isEqual(const NSArray& other) const;

    auto begin() const { return m_values.begin(); }
    auto end() const { return m_values.end(); }

    // Element "array" with the members in the typed form.
    void writeXml(TiXmlNode* parent) const;
    // Reads child elements in order; the first one that is not a value ends the array.
    void readXml(const TiXmlElement* arrayElement, int depth = 0);

private:
    std::vector<NSObject> m_values;
};
