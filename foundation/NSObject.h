#pragma once

#include "PackedColor.h"

#include <QString>

#include <cstdint>

class ArchiveReader;
class ArchiveWriter;
class CRefCountObject;
class NSArray;
class NSDictionary;
class PAFont;
class TiXmlElement;
class TiXmlNode;

// The tagged value: a kind code and one payload. Copies duplicate strings and
// share containers (retained); fonts are interned and never owned.
class NSObject
{
public:
    // Stable codes: they are written into archive streams.
    enum Kind : std::int32_t {
        Empty = 0,
        Integer = 1,
        Real = 2,
        Boolean = 3,
        String = 4,
        Color = 5,
        Array = 6,
        Dictionary = 7,
        Object = 8,
        Font = 9,
    };

    NSObject() = default;
    explicit NSObject(std::int32_t value);
    explicit NSObject(float value);
    explicit NSObject(double value);
    explicit NSObject(bool value);
    explicit NSObject(const QString& value);
    explicit NSObject(NSArray* array);
    explicit NSObject(NSDictionary* dictionary);
    explicit NSObject(CRefCountObject* object);
    explicit NSObject(const PAFont* font);
    // Any other pointer would silently become a boolean.
    explicit NSObject(const void*) = delete;
    explicit NSObject(const char*) = delete;
    static NSObject withColor(PackedColor color);

    NSObject(const NSObject& other);
    NSObject& operator=(const NSObject& other);
    NSObject(NSObject&& other) noexcept;
    NSObject& operator=(NSObject&& other) noexcept;
    virtual ~NSObject();

    virtual const char* className() const;
    virtual void writeToArchive(ArchiveWriter& archive) const;
    // Replaces the value with the one read; a malformed stream leaves it empty
    // and fails the reader.
    virtual void readFromArchive(ArchiveReader& archive);
    // Reads the value of a "setting" element (its first child node).
    virtual void readSetting(const TiXmlElement* setting);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Empty; }
    void clear();

    std::int32_t intValue() const;
    float floatValue() const;
    bool boolValue() const;
    QString stringValue() const;
    PackedColor colorValue() const;
    NSArray* arrayValue() const;
    NSDictionary* dictionaryValue() const;
    CRefCountObject* objectValue() const;
    const PAFont* fontValue() const;

    // Same kind and payload; strings by text, containers member by member,
    // objects and fonts by identity.
    bool isEqual(const NSObject& other) const;
    friend bool operator==(const NSObject& a, const NSObject& b) { return a.isEqual(b); }

    // Whether the value leaves anything in an XML form (empty and object do not).
    bool writesXml() const;
    // The typed form ("integer", "real", "string", …) as a child of parent.
    void writeTypedXml(TiXmlNode* parent) const;
    // The setting form: scalars as bare text, the rest as elements.
    void writeSettingXml(TiXmlNode* parent) const;

    // A value of the typed form from one element; empty when the element is
    // not a value element.
    static NSObject fromTypedXml(const TiXmlElement* element, int depth = 0);
    static bool isTypedValueElement(const TiXmlElement* element);
    // A value by the general setting rule, from one node.
    static NSObject fromSettingNode(const TiXmlNode* node, int depth = 0);
    // The colour of a "color" element; components missing read 0 (alpha: opaque).
    static PackedColor colorFromXml(const TiXmlElement* element);
    static const PAFont* fontFromXml(const TiXmlElement* element);

protected:
    void destroyPayload();
    void copyPayload(const NSObject& other);

    Kind m_kind = Empty;
    union {
        std::int32_t m_int;
        float m_real;
        bool m_bool;
        QString* m_string;
        PackedColor m_color;
        NSArray* m_array;
        NSDictionary* m_dictionary;
        CRefCountObject* m_object;
        const PAFont* m_font;
    };
};

// Starts as the empty string; reads any setting as text, never as a number,
// so a page named "1997" stays a string.
class NSString : public NSObject
{
public:
    NSString() : NSObject(QString()) {}
    explicit NSString(const QString& value) : NSObject(value) {}
    const char* className() const override;
    void readSetting(const TiXmlElement* setting) override;
};

// Starts as the integer 0; reads a real when the text has ".", else an integer.
class NSNumber : public NSObject
{
public:
    NSNumber() : NSObject(std::int32_t(0)) {}
    const char* className() const override;
    void readSetting(const TiXmlElement* setting) override;
};

// Starts as opaque black; reads only a "color" element.
class NSColor : public NSObject
{
public:
    NSColor() { *static_cast<NSObject*>(this) = NSObject::withColor(kOpaqueBlack); }
    const char* className() const override;
    void readSetting(const TiXmlElement* setting) override;
};
