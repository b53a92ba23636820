#include "PageTypes.h"

#include "LocalePaper.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "PreferenceDefaults.h"
#include "PropertyList.h"
#include "Resources.h"
#include "TextCodecs.h"

namespace {

const QString kNameKey = QStringLiteral("Name");

// A hostile file cannot make a list longer than anyone would scroll.
constexpr int kMaxTypes = 1000;

} // namespace

PageTypes::PageTypes()
{
    RefPtr<NSDictionary> file(PropertyList::propertyListFromFile(pageTypesFile()));
    readTypes(file.get());
}

PageTypes::PageTypes(const NSDictionary* file)
{
    readTypes(file);
}

QString PageTypes::pageTypesFile()
{
    return localizedResourcePath(QStringLiteral("PageTypes.plist"));
}

void PageTypes::readTypes(const NSDictionary* file)
{
    const NSObject* value = file ? file->valueForKey(QStringLiteral("Page Types")) : nullptr;
    const NSArray* list = value ? value->arrayValue() : nullptr;
    if (!list)
        return;
    for (const NSObject& entry : *list) {
        NSDictionary* type = entry.dictionaryValue();
        if (type && !type->stringForKey(kNameKey).isEmpty())
            m_types.append(RefPtr<NSDictionary>(type));
        if (m_types.size() >= kMaxTypes)
            break;
    }
}

QStringList PageTypes::names() const
{
    QStringList found;
    for (const RefPtr<NSDictionary>& type : m_types)
        found << type->stringForKey(kNameKey);
    return found;
}

NSDictionary* PageTypes::typeNamed(const QString& name) const
{
    for (const RefPtr<NSDictionary>& type : m_types) {
        if (type->stringForKey(kNameKey) == name)
            return type.get();
    }
    return nullptr;
}

NSDictionary* PageTypes::typeNamedOrA4(const QString& name) const
{
    if (NSDictionary* type = typeNamed(name))
        return type;
    if (NSDictionary* a4 = typeNamed(QStringLiteral("A4")))
        return a4;
    return m_types.isEmpty() ? nullptr : m_types.front().get();
}

Size PageTypes::sizeOf(const NSDictionary& pageType)
{
    const NSObject* size = pageType.valueForKey(QStringLiteral("Size"));
    return size ? sizeFromString(size->stringValue()) : Size{};
}

QString PageTypes::firstRunPageType()
{
    RefPtr<NSDictionary> file(PropertyList::propertyListFromFile(pageTypesFile()));
    return PreferenceDefaults::pageFormatForPaper(LocalePaper::sizeForCode(LocalePaper::localeCode()), file.get());
}
