#include "PageTemplates.h"

#include "CSPage.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PropertyList.h"

#include <algorithm>

NSDictionary* PageTemplates::templateFromPage(const CSPage& page)
{
    return page.templateDictionary();
}

void PageTemplates::applyTemplate(CSPage& page, const NSDictionary& pageTemplate)
{
    page.applyTemplate(pageTemplate);
}

CSPage* PageTemplates::pageFromTemplate(Size size, const NSDictionary& pageTemplate)
{
    return CSPage::pageFromTemplate(pageTemplate, size);
}

int PageTemplates::panelCount(const NSDictionary& pageTemplate)
{
    const NSObject* cells = pageTemplate.valueForKey(QStringLiteral("Cells"));
    const NSArray* list = cells ? cells->arrayValue() : nullptr;
    if (!list)
        return 0;
    const int considered = std::min(list->count(), CSPage::kMaxTemplatePanels);
    int count = 0;
    for (int index = 0; index < considered; ++index) {
        if (list->dictionaryAtIndex(index))
            ++count;
    }
    return count;
}

NSDictionary* PageTemplates::readTemplate(const QString& path)
{
    return PropertyList::propertyListFromFile(path);
}

bool PageTemplates::saveTemplate(const NSDictionary& pageTemplate, const QString& path)
{
    if (!PropertyList::writePropertyList(&pageTemplate, path))
        return false;
    NotificationCenter::defaultCenter().postNotification(NotificationNames::CSTemplateCreatedNotification);
    return true;
}

bool PageTemplates::savePageAsTemplate(const CSPage& page, const QString& path)
{
    RefPtr<NSDictionary> pageTemplate(templateFromPage(page));
    return saveTemplate(*pageTemplate, path);
}
