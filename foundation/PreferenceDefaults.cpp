#include "PreferenceDefaults.h"

#include "LocalePaper.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "PaneloraVersion.h"
#include "Preferences.h"
#include "PropertyList.h"
#include "Resources.h"
#include "TextCodecs.h"

namespace PreferenceDefaults {

namespace {

bool sameSizeEitherWay(Size a, Size b)
{
    return (a.width == b.width && a.height == b.height) || (a.width == b.height && a.height == b.width);
}

QString lastNameOfSize(NSArray* types, Size size)
{
    QString name;
    for (const NSObject& entry : *types) {
        NSDictionary* type = entry.dictionaryValue();
        if (type && sameSizeEitherWay(sizeFromString(type->stringForKey(QStringLiteral("Size"))), size))
            name = type->stringForKey(QStringLiteral("Name"));
    }
    return name;
}

} // namespace

QString pageFormatForPaper(Size paper, NSDictionary* pageTypes)
{
    NSArray* types = pageTypes ? pageTypes->arrayForKey(QStringLiteral("Page Types")) : nullptr;
    if (types) {
        QString name = lastNameOfSize(types, paper);
        if (name.isEmpty())
            name = lastNameOfSize(types, Size{400, 600});
        if (!name.isEmpty())
            return name;
    }
    return QStringLiteral("US Letter");
}

void applyFirstRunDefaults(int paperCode)
{
    if (prefBool(QStringLiteral("Defaults-Set")))
        return;
    setPrefBool(QStringLiteral("Defaults-Set"), true);

    RefPtr<NSDictionary> pageTypes(
        PropertyList::propertyListFromFile(localizedResourcePath(QStringLiteral("PageTypes.plist"))));
    const QString pageFormat = pageFormatForPaper(LocalePaper::sizeForCode(paperCode), pageTypes.get());

    setPrefString(QStringLiteral("StylesheetPreference"),
                  QStringLiteral("%1: %2").arg(localizedString(QStringLiteral("BuiltIn")), QStringLiteral("Oxlen-intl")));
    setPrefString(QStringLiteral("PageFormatPreference"), pageFormat);
    setPrefBool(QStringLiteral("PageFormatCustomPreference"), false);
    setPrefString(QStringLiteral("PageFormatSizePreference"), stringFromSize(Size{600, 400}));
    setPrefBool(QStringLiteral("PageOrientationPreference"), true);
    setPrefBool(QStringLiteral("CheckVersionPreference"), true);
    setPrefBool(QStringLiteral("OverrideStylesheetPreference"), true);
    setPrefBool(QStringLiteral("SyncStylesheetPreference"), false);
    setPrefBool(QStringLiteral("ClipElementsPreference"), false);
    setPrefBool(QStringLiteral("PlaySoundsPreference"), true);
    setPrefBool(QStringLiteral("FilterImagesAtScreenResPreference"), true);
    setPrefInt(QStringLiteral("CheckCountPreference"), 0);
}

void applyVersionChange(const QString& currentVersion)
{
    if (prefString(QStringLiteral("LastVersion")) == currentVersion)
        return;
    setPrefInt(QStringLiteral("CheckCountPreference"), 0);
    setPrefString(QStringLiteral("LastVersion"), currentVersion);
}

void applyAtStartup()
{
    applyFirstRunDefaults(LocalePaper::localeCode());
    applyVersionChange(QString::fromLatin1(kPaneloraVersion));
}

} // namespace PreferenceDefaults
