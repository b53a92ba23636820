#pragma once

#include "NSDictionary.h"
#include "NSObject.h"
#include "StyleKeys.h"
#include "UndoableObject.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class PAFont;
class TiXmlElement;
class TiXmlNode;

// The values every page and element is drawn with. One class serves two
// roles:
//  - a comic's root stylesheet: its values are the style named "Default",
//    and under each kind prefix ("Page", "Cell" …) it holds a dictionary from
//    style name to a named style;
//  - a named style: a stylesheet whose values are the keys of its kind.
//
// Lookups never insert anything (they run while pages are drawn); edits
// record their undo action before they change anything and, when
// notifications are enabled, post "StylesheetChangedNotification" with the
// edited stylesheet as sender.
//
// New stylesheets start with a count of 0, like every shared model object.
class CSStylesheet : public UndoableObject
{
public:
    CSStylesheet();
    ~CSStylesheet() override;
    CSStylesheet& operator=(const CSStylesheet&) = delete;

    // A new root with the built-in "Default" values and no named styles.
    static CSStylesheet* defaultStylesheet();
    // A copy of the built-in root, which is built once and never changed.
    static CSStylesheet* newStylesheet();
    // No values at all: the start of a named style.
    static CSStylesheet* emptyStylesheet();
    // Reads a "stylesheet" (or "style") element; null when the element's name
    // does not begin with "style".
    static CSStylesheet* stylesheetFromXml(const TiXmlElement* element);
    // Null when the file cannot be read or parsed or has no root element.
    static CSStylesheet* stylesheetFromFile(const QString& path);
    // The stylesheet for new comics named by "StylesheetPreference"; the
    // built-in root when it is empty or its file cannot be read.
    static CSStylesheet* preferredStylesheet();

    // A new stylesheet with the same values and copies of the named styles;
    // no undo manager.
    CSStylesheet* copy() const;

    const char* className() const override;
    // The values dictionary; named styles travel as objects.
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;

    // --- Values -------------------------------------------------------------
    // A missing key reads as the empty value and the getters' defaults
    // (0, 0.0, false, opaque black, no font, the empty string).
    const NSObject& objectForKey(const QString& key) const;
    // Null when the key has no value.
    const NSObject* valueForKey(const QString& key) const { return m_values.valueForKey(key); }
    bool containsKey(const QString& key) const { return m_values.containsKey(key); }
    std::int32_t intForKey(const QString& key) const { return objectForKey(key).intValue(); }
    float floatForKey(const QString& key) const { return objectForKey(key).floatValue(); }
    bool boolForKey(const QString& key) const { return objectForKey(key).boolValue(); }
    PackedColor colorForKey(const QString& key) const { return objectForKey(key).colorValue(); }
    const PAFont* fontForKey(const QString& key) const { return objectForKey(key).fontValue(); }
    QString stringForKey(const QString& key) const { return objectForKey(key).stringValue(); }
    NSDictionary* dictionaryForKey(const QString& key) const { return objectForKey(key).dictionaryValue(); }
    const NSDictionary& values() const { return m_values; }

    // Stores the value (an empty one removes the key). Nothing happens when
    // the value is unchanged; otherwise CSUndoSetStylesheetObject is recorded
    // with the old value, empty or not, so that undo puts back exactly what
    // was there. Booleans are stored as the integers 0 and 1, reals are kept
    // finite.
    void setObjectForKey(const NSObject& value, const QString& key);
    void setIntForKey(std::int32_t value, const QString& key) { setObjectForKey(NSObject(value), key); }
    void setFloatForKey(float value, const QString& key) { setObjectForKey(NSObject(value), key); }
    void setBoolForKey(bool value, const QString& key) { setObjectForKey(NSObject(std::int32_t(value ? 1 : 0)), key); }
    void setColorForKey(PackedColor value, const QString& key) { setObjectForKey(NSObject::withColor(value), key); }
    void setStringForKey(const QString& value, const QString& key) { setObjectForKey(NSObject(value), key); }
    void setFontForKey(const PAFont* value, const QString& key) { setObjectForKey(NSObject(value), key); }
    void removeObjectForKey(const QString& key) { setObjectForKey(NSObject(), key); }

    // The resolution of the output being drawn ("OutputDPI"). It is not a
    // style value: setting it records no undo, posts nothing, and it is never
    // written, copied or archived. 0 when unset.
    std::int32_t outputDPI() const;
    void setOutputDPI(std::int32_t dpi);

    bool notificationsEnabled() const { return m_notificationsEnabled; }
    void setNotificationsEnabled(bool enabled) { m_notificationsEnabled = enabled; }

    // Gives every catalogue key that has no value its built-in default,
    // recording nothing: for a root read from an older or partial file.
    void addMissingDefaults();

    // --- Named styles (on the root) -----------------------------------------
    // The stylesheet to read from: this one when the name is empty or the
    // localised "Default", or when no such style exists; else the named style.
    const CSStylesheet* styleFor(QStringView kind, const QString& name) const;
    CSStylesheet* styleFor(QStringView kind, const QString& name);
    const CSStylesheet* styleFor(StyleKind kind, const QString& name) const { return styleFor(StyleKeys::prefix(kind), name); }
    CSStylesheet* styleFor(StyleKind kind, const QString& name) { return styleFor(StyleKeys::prefix(kind), name); }
    // An element's lookup: the qualified key in styleFor(kind, name); null when
    // empty. There is no fall-back from a named style to the root.
    const NSObject* styleValue(QStringView kind, const QString& name, const QString& qualifiedKey) const;

    // The named style itself, null when it does not exist.
    CSStylesheet* namedStyle(QStringView kind, const QString& name) const;
    bool styleExists(QStringView kind, const QString& name) const;
    // In dictionary order; callers sort them for display.
    QStringList styleNames(QStringView kind) const;
    // Every kind that holds named styles: the six known ones in their order,
    // then any other read from a file, in dictionary order.
    QStringList styleKinds() const;

    // Stores the style under the name, replacing any style of that name, and
    // gives it this stylesheet's undo manager. Records CSUndoRemoveStyle, or
    // CSUndoAddStyle with the replaced style so that undo brings that one
    // back. Posts "StylesheetChangedNotification" and
    // "StylesheetSubNotification". Refused for a null style, an empty kind or
    // name, a kind with a ".", and a style that holds this stylesheet (that
    // would be a cycle); a refused style is left to its caller.
    void addStyle(CSStylesheet* style, const QString& kind, const QString& name);
    // Records CSUndoAddStyle, which keeps the style alive while the undo
    // history holds it; nothing when there is no such style.
    void removeStyle(const QString& kind, const QString& name);
    // Whether the object is this stylesheet or one of its named styles.
    bool containsStyle(const void* object) const;

    // Sets every key of the kind's list on the target, in order, to this
    // stylesheet's value (empty values included), through the target's
    // undoable setter.
    void copyKindValues(StyleKind kind, CSStylesheet* target) const;

    // On this stylesheet and every named style it holds.
    void setUndoManager(CUndoManager* manager) override;

    // --- XML and files ------------------------------------------------------
    // Appends the "stylesheet" element: the values in catalogue order, other
    // keys read from a file after them, then one "styles" element per kind.
    TiXmlElement* writeXml(TiXmlNode* parent) const;
    // The XML document text without a declaration, as saveToFile writes it.
    QByteArray xmlText() const;
    // Writes through a temporary file; false, with the old file untouched,
    // when it cannot be written.
    bool saveToFile(const QString& path) const;

    // The built-in stylesheet folder of the resource root, and the user's.
    static QString builtInStylesheetFolder();
    static QString userStylesheetFolder();
    // "%s: %s" of the localised "BuiltIn" and the name: how the preferences
    // list a built-in stylesheet.
    static QString builtInDisplayName(const QString& name);
    // The names (file names without ".comicstl") of a folder's stylesheets, sorted.
    static QStringList stylesheetNames(const QString& folder);
    // The file a "StylesheetPreference" value names; empty when it names none.
    static QString pathForPreference(const QString& preference);

    static constexpr const char* kFileExtension = "comicstl";

private:
    // Named styles may hold named styles of their own; nesting deeper than
    // this comes from a hostile file, not from a design.
    static constexpr int kMaxStyleNesting = 32;

    CSStylesheet(const CSStylesheet& other);

    // The named style a table entry holds, null for anything else.
    static CSStylesheet* styleIn(const NSObject& value);
    // Booleans as the integers 0 and 1, reals finite: the forms the XML
    // writer and reader agree on.
    static NSObject storedForm(const NSObject& value);
    // Looked up each time: tests and tools may load another string table.
    static QString localizedDefaultName();

    // The kind's table of named styles, null when there is none.
    NSDictionary* styleTable(QStringView kind) const;
    // Whether the entry is a table of named styles rather than a value.
    static bool isStyleTable(const QString& key, const NSObject& value);
    bool holds(const CSStylesheet* style, int depth = 0) const;
    void post(QStringView name) const;

    static CSStylesheet* read(const TiXmlElement* element, int depth);
    void writeSettings(TiXmlElement* element) const;
    // depth 0 is the root, which lists every known kind even when empty.
    void writeStyleTables(TiXmlElement* element, const CSStylesheet* root, int depth) const;

    NSDictionary m_values;
    bool m_notificationsEnabled = true;
};
