// The desktop program. Until the document window exists, it sets up what a
// start-up sets up (resources, language, preferences) and reports what it found.
#include "InterfaceLanguage.h"
#include "PaneloraVersion.h"
#include "PreferenceDefaults.h"
#include "QtSoundPlayer.h"
#include "Preferences.h"
#include "Resources.h"
#include "StringTable.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Oxlen"));
    QCoreApplication::setApplicationName(QStringLiteral("Panelora"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kPaneloraVersion));

    SoundPlayer::install(std::make_unique<QtSoundPlayer>());
    initializeResources();
    PreferenceDefaults::applyAtStartup();

    const QString root = resourceRoot();
    std::printf("Panelora %s\n", kPaneloraVersion);
    std::printf("The document window is not built yet; this is what start-up found:\n");
    std::printf("  resource root:    %s%s\n", qPrintable(root), QFileInfo(root).isDir() ? "" : " (missing)");
    std::printf("  language:         %s (%s)\n", qPrintable(interfaceLanguage().code),
                qPrintable(interfaceLanguage().folderName));
    std::printf("  strings loaded:   %d\n", stringTable().count());
    std::printf("  preference store: %s\n", qPrintable(preferenceStoreLocation()));
    std::printf("  page format:      %s\n", qPrintable(prefString(QStringLiteral("PageFormatPreference"))));
    std::printf("  stylesheet:       %s\n", qPrintable(prefString(QStringLiteral("StylesheetPreference"))));
    std::printf("  documents folder: %s\n", qPrintable(documentsFolder()));
    return 0;
}
