#include "CSStylesheet.h"

#include "CSUndoAddStyle.h"
#include "CSUndoRemoveStyle.h"
#include "CSUndoSetStylesheetObject.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "NumberText.h"
#include "Resources.h"

namespace {

const NSObject& emptyValue()
{
    static const NSObject* empty = new NSObject;
    return *empty;
}

} // namespace

CSStylesheet* CSStylesheet::styleIn(const NSObject& value)
{
    return dynamic_cast<CSStylesheet*>(value.objectValue());
}

NSObject CSStylesheet::storedForm(const NSObject& value)
{
    switch (value.kind()) {
    case NSObject::Boolean: return NSObject(std::int32_t(value.boolValue() ? 1 : 0));
    case NSObject::Real: return NSObject(NumberText::saturatedFloat(value.floatValue()));
    default: return value;
    }
}

QString CSStylesheet::localizedDefaultName()
{
    return localizedString(QStringLiteral("Default"));
}

CSStylesheet::CSStylesheet() = default;

CSStylesheet::~CSStylesheet() = default;

CSStylesheet::CSStylesheet(const CSStylesheet& other)
    : UndoableObject(other), m_notificationsEnabled(other.m_notificationsEnabled)
{
    for (const auto& [key, value] : other.m_values.entries()) {
        if (value.isEmpty() || key == StyleKeys::outputDPIKey())
            continue;
        if (!isStyleTable(key, value)) {
            m_values.setObjectForKey(value, key);
            continue;
        }
        // Each named style is copied, so that editing the copy's styles leaves
        // the original alone.
        auto* table = new NSDictionary;
        m_values.setDictionaryForKey(table, key);
        for (const auto& [name, entry] : value.dictionaryValue()->entries()) {
            if (CSStylesheet* style = styleIn(entry))
                table->setObjectValueForKey(style->copy(), name);
        }
    }
}

CSStylesheet* CSStylesheet::copy() const
{
    return new CSStylesheet(*this);
}

CSStylesheet* CSStylesheet::defaultStylesheet()
{
    // Filled directly: building records and posts nothing.
    auto* sheet = new CSStylesheet;
    sheet->addMissingDefaults();
    return sheet;
}

CSStylesheet* CSStylesheet::newStylesheet()
{
    static CSStylesheet* builtIn = [] {
        CSStylesheet* sheet = defaultStylesheet();
        sheet->retain();
        return sheet;
    }();
    return builtIn->copy();
}

CSStylesheet* CSStylesheet::emptyStylesheet()
{
    return new CSStylesheet;
}

const char* CSStylesheet::className() const
{
    return "CSStylesheet";
}

void CSStylesheet::addMissingDefaults()
{
    for (const StyleKey& entry : StyleKeys::catalogue()) {
        if (!m_values.containsKey(entry.key))
            m_values.setObjectForKey(StyleKeys::defaultValue(entry), entry.key);
    }
}

// --- Values -----------------------------------------------------------------

const NSObject& CSStylesheet::objectForKey(const QString& key) const
{
    const NSObject* value = m_values.valueForKey(key);
    return value ? *value : emptyValue();
}

void CSStylesheet::setObjectForKey(const NSObject& value, const QString& key)
{
    if (key.isEmpty())
        return;
    if (key == StyleKeys::outputDPIKey()) {
        setOutputDPI(value.intValue());
        return;
    }
    NSObject stored = storedForm(value);
    const NSObject* old = m_values.valueForKey(key);
    if (old ? old->isEqual(stored) : stored.isEmpty())
        return;
    registerUndo(new CSUndoSetStylesheetObject(this, old ? *old : NSObject(), key));
    if (stored.isEmpty())
        m_values.removeObjectForKey(key);
    else
        m_values.setObjectForKey(stored, key);
    post(NotificationNames::StylesheetChangedNotification);
}

std::int32_t CSStylesheet::outputDPI() const
{
    return objectForKey(StyleKeys::outputDPIKey()).intValue();
}

void CSStylesheet::setOutputDPI(std::int32_t dpi)
{
    if (dpi == 0)
        m_values.removeObjectForKey(StyleKeys::outputDPIKey());
    else
        m_values.setIntForKey(dpi, StyleKeys::outputDPIKey());
}

void CSStylesheet::post(QStringView name) const
{
    if (m_notificationsEnabled)
        NotificationCenter::defaultCenter().postNotification(name, this);
}

// --- Named styles -----------------------------------------------------------

bool CSStylesheet::isStyleTable(const QString& key, const NSObject& value)
{
    NSDictionary* table = value.dictionaryValue();
    if (!table || key.contains(u'.') || key.isEmpty())
        return false;
    if (StyleKeys::isKindPrefix(key))
        return true;
    // A kind this program does not know, read from a newer file: a table
    // holding named styles only.
    for (const auto& [name, entry] : table->entries()) {
        if (!entry.isEmpty() && !styleIn(entry))
            return false;
    }
    return true;
}

NSDictionary* CSStylesheet::styleTable(QStringView kind) const
{
    // QStringView keys cannot look up a QString map without a temporary; the
    // six known prefixes are shared strings, so this allocates only for
    // unknown kinds.
    const std::optional<StyleKind> known = StyleKeys::kindForPrefix(kind);
    const NSObject* value = m_values.valueForKey(known ? StyleKeys::prefix(*known) : kind.toString());
    return value ? value->dictionaryValue() : nullptr;
}

CSStylesheet* CSStylesheet::namedStyle(QStringView kind, const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    NSDictionary* table = styleTable(kind);
    const NSObject* value = table ? table->valueForKey(name) : nullptr;
    return value ? styleIn(*value) : nullptr;
}

const CSStylesheet* CSStylesheet::styleFor(QStringView kind, const QString& name) const
{
    const CSStylesheet* style = namedStyle(kind, name);
    if (!style || name == localizedDefaultName())
        return this;
    return style;
}

CSStylesheet* CSStylesheet::styleFor(QStringView kind, const QString& name)
{
    return const_cast<CSStylesheet*>(static_cast<const CSStylesheet*>(this)->styleFor(kind, name));
}

const NSObject* CSStylesheet::styleValue(QStringView kind, const QString& name, const QString& qualifiedKey) const
{
    return styleFor(kind, name)->valueForKey(qualifiedKey);
}

bool CSStylesheet::styleExists(QStringView kind, const QString& name) const
{
    return name.isEmpty() || name == localizedDefaultName() || namedStyle(kind, name);
}

QStringList CSStylesheet::styleNames(QStringView kind) const
{
    QStringList names;
    if (NSDictionary* table = styleTable(kind)) {
        for (const auto& [name, entry] : table->entries()) {
            if (styleIn(entry))
                names.append(name);
        }
    }
    return names;
}

QStringList CSStylesheet::styleKinds() const
{
    QStringList kinds;
    for (StyleKind kind : StyleKeys::kinds()) {
        if (styleTable(StyleKeys::prefix(kind)))
            kinds.append(StyleKeys::prefix(kind));
    }
    for (const auto& [key, value] : m_values.entries()) {
        if (!StyleKeys::isKindPrefix(key) && isStyleTable(key, value))
            kinds.append(key);
    }
    return kinds;
}

bool CSStylesheet::holds(const CSStylesheet* style, int depth) const
{
    if (depth > kMaxStyleNesting)
        return true; // too deep to be sure: treat as a cycle and refuse
    for (const auto& [key, value] : m_values.entries()) {
        if (!isStyleTable(key, value))
            continue;
        for (const auto& [name, entry] : value.dictionaryValue()->entries()) {
            const CSStylesheet* inner = styleIn(entry);
            if (inner && (inner == style || inner->holds(style, depth + 1)))
                return true;
        }
    }
    return false;
}

void CSStylesheet::addStyle(CSStylesheet* style, const QString& kind, const QString& name)
{
    if (!style || kind.isEmpty() || kind.contains(u'.') || name.isEmpty() || style == this || style->holds(this))
        return;
    RefPtr<CSStylesheet> keep(style); // alive even if the caller handed over its only count
    NSDictionary* table = styleTable(kind);
    if (!table) {
        // The table itself is invisible until it holds a style: it is made
        // without an undo action of its own.
        table = new NSDictionary;
        m_values.setDictionaryForKey(table, kind);
    }
    CSStylesheet* replaced = namedStyle(kind, name);
    if (replaced == style) {
        style->setUndoManager(undoManager());
        return;
    }
    if (replaced)
        registerUndo(new CSUndoAddStyle(this, replaced, kind, name));
    else
        registerUndo(new CSUndoRemoveStyle(this, kind, name));
    table->setObjectValueForKey(style, name);
    style->setUndoManager(undoManager());
    post(NotificationNames::StylesheetChangedNotification);
    post(NotificationNames::StylesheetSubNotification);
}

void CSStylesheet::removeStyle(const QString& kind, const QString& name)
{
    CSStylesheet* style = namedStyle(kind, name);
    if (!style)
        return;
    registerUndo(new CSUndoAddStyle(this, style, kind, name));
    styleTable(kind)->removeObjectForKey(name);
    post(NotificationNames::StylesheetChangedNotification);
    post(NotificationNames::StylesheetSubNotification);
}

bool CSStylesheet::containsStyle(const void* object) const
{
    if (!object)
        return false;
    if (object == this)
        return true;
    return holds(static_cast<const CSStylesheet*>(object));
}

void CSStylesheet::copyKindValues(StyleKind kind, CSStylesheet* target) const
{
    if (!target)
        return;
    for (const StyleKey& entry : StyleKeys::keysOf(kind))
        target->setObjectForKey(objectForKey(entry.key), entry.key);
}

void CSStylesheet::setUndoManager(CUndoManager* manager)
{
    UndoableObject::setUndoManager(manager);
    for (const auto& [key, value] : m_values.entries()) {
        if (!isStyleTable(key, value))
            continue;
        for (const auto& [name, entry] : value.dictionaryValue()->entries()) {
            if (CSStylesheet* style = styleIn(entry))
                style->setUndoManager(manager);
        }
    }
}
