// The element's look: attribute resolution against the stylesheet, local
// overrides and the style name.

#include "CSElement.h"

#include "CSStylesheet.h"
#include "CSUndoRemoveObjectForKey.h"
#include "CSUndoSetObject.h"
#include "CSUndoSetStyle.h"
#include "NumberText.h"
#include "StyleKeys.h"

namespace {

const NSObject& emptyValue()
{
    static const NSObject empty{};
    return empty;
}

// Booleans as the integers 0 and 1 (boolAttribute reads integers), reals
// finite: the forms the stylesheet stores too.
NSObject storedForm(const NSObject& value)
{
    switch (value.kind()) {
    case NSObject::Boolean: return NSObject(std::int32_t(value.boolValue() ? 1 : 0));
    case NSObject::Real: return NSObject(NumberText::saturatedFloat(value.floatValue()));
    default: return value;
    }
}

} // namespace

const QString& CSElement::stylePrefix() const
{
    static const QString none;
    return none;
}

QString CSElement::qualifiedKey(const QString& key) const
{
    return StyleKeys::qualified(QStringView(stylePrefix()), key);
}

CSAttributeReader::CSAttributeReader(const CSElement& element, const CSStylesheet* stylesheet)
    : m_local(element.localAttributes()),
      m_style(stylesheet ? stylesheet->styleFor(element.stylePrefix(), element.styleName()) : nullptr)
{
}

const NSObject& CSAttributeReader::value(const QString& qualifiedKey) const
{
    if (const NSObject* local = m_local.valueForKey(qualifiedKey))
        return *local;
    if (m_style) {
        if (const NSObject* styled = m_style->valueForKey(qualifiedKey))
            return *styled;
    }
    return emptyValue();
}

const NSObject& CSElement::attributeForQualifiedKey(const QString& qualified, const CSStylesheet* stylesheet) const
{
    if (const NSObject* local = m_attributes.valueForKey(qualified))
        return *local;
    if (stylesheet) {
        if (const NSObject* styled = stylesheet->styleValue(stylePrefix(), styleName(), qualified))
            return *styled;
    }
    return emptyValue();
}

const NSObject& CSElement::attributeForKey(const QString& key, const CSStylesheet* stylesheet) const
{
    return attributeForQualifiedKey(qualifiedKey(key), stylesheet);
}

QString CSElement::stringAttribute(const QString& key, const CSStylesheet* stylesheet) const
{
    return attributeForKey(key, stylesheet).stringValue();
}

std::int32_t CSElement::intAttribute(const QString& key, const CSStylesheet* stylesheet) const
{
    return attributeForKey(key, stylesheet).intValue();
}

float CSElement::floatAttribute(const QString& key, const CSStylesheet* stylesheet) const
{
    return attributeForKey(key, stylesheet).floatValue();
}

bool CSElement::boolAttribute(const QString& key, const CSStylesheet* stylesheet) const
{
    return intAttribute(key, stylesheet) != 0;
}

PackedColor CSElement::colorAttribute(const QString& key, const CSStylesheet* stylesheet) const
{
    return attributeForKey(key, stylesheet).colorValue();
}

const PAFont* CSElement::fontAttribute(const QString& key, const CSStylesheet* stylesheet) const
{
    return attributeForKey(key, stylesheet).fontValue();
}

void CSElement::setAttribute(const NSObject& value, const QString& key)
{
    if (value.isEmpty()) {
        removeAttribute(key);
        return;
    }
    const QString qualified = qualifiedKey(key);
    const NSObject stored = storedForm(value);
    const NSObject* current = m_attributes.valueForKey(qualified);
    if (current && current->isEqual(stored))
        return;
    postChanged();
    if (current)
        registerUndo(new CSUndoSetObject(this, *current, qualified));
    else
        registerUndo(new CSUndoRemoveObjectForKey(this, qualified));
    m_attributes.setObjectForKey(stored, qualified);
    postStyleChanged();
    invalidateCache();
    postChanged();
}

void CSElement::removeAttribute(const QString& key)
{
    const QString qualified = qualifiedKey(key);
    const NSObject* current = m_attributes.valueForKey(qualified);
    if (!current) {
        // An empty entry left by an older lookup is dropped quietly.
        m_attributes.removeObjectForKey(qualified);
        return;
    }
    registerUndo(new CSUndoSetObject(this, *current, qualified));
    m_attributes.removeObjectForKey(qualified);
    invalidateCache();
    postChanged();
}

bool CSElement::hasLocalAttribute(const QString& key) const
{
    return m_attributes.containsKey(qualifiedKey(key));
}

bool CSElement::hasLocalAttributes() const
{
    return m_attributes.count() > 0;
}

void CSElement::clearLocalAttributes()
{
    for (const QString& key : m_attributes.allKeys())
        removeAttribute(key);
    invalidateCache();
    postChanged();
}

void CSElement::setStyleName(const QString& name)
{
    // The overrides go first: undo then replays the name before the
    // overrides, so the name's own clearing cannot wipe out the overrides it
    // has just put back. One group makes it one step.
    UndoGroup group(undoManager());
    clearLocalAttributes();
    if (name != m_styleName) {
        registerUndo(new CSUndoSetStyle(this, m_styleName));
        m_styleName = name;
    }
    invalidateCache();
    postChanged();
}

QStringList CSElement::styleNamesForKind(const CSStylesheet*) const
{
    return {};
}

CSStylesheet* CSElement::copyStyle(const CSStylesheet* stylesheet) const
{
    CSStylesheet* copy = CSStylesheet::emptyStylesheet();
    copy->setNotificationsEnabled(false);
    if (stylesheet) {
        if (const auto kind = StyleKeys::kindForPrefix(stylePrefix()))
            stylesheet->styleFor(*kind, styleName())->copyKindValues(*kind, copy);
    }
    for (const auto& [key, value] : m_attributes.entries()) {
        if (!value.isEmpty())
            copy->setObjectForKey(value, key);
    }
    copy->setNotificationsEnabled(true);
    return copy;
}

void CSElement::redefineStyle(CSStylesheet* stylesheet)
{
    if (!stylesheet)
        return;
    UndoGroup group(undoManager());
    CSStylesheet* style = stylesheet->styleFor(QStringView(stylePrefix()), styleName());
    for (const QString& key : m_attributes.allKeys()) {
        if (const NSObject* value = m_attributes.valueForKey(key))
            style->setObjectForKey(NSObject(*value), key);
        removeAttribute(key);
    }
    postChanged();
    postStyleChanged();
}

bool CSElement::hasSameKindAndPrefix(const CSElement* other) const
{
    return other && elementKind() == other->elementKind() && stylePrefix() == other->stylePrefix();
}
