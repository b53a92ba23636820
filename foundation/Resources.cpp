#include "Resources.h"

#include "Preferences.h"
#include "StringTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

struct ResourceState
{
    QString root;
    bool languageChosen = false;
    InterfaceLanguage language;
    StringTable strings;
};

ResourceState& state()
{
    static ResourceState s;
    return s;
}

QString withSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

QString relative(const QString& name, const QString& subFolder)
{
    return subFolder.isEmpty() ? name : withSlash(subFolder) + name;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString resourceRoot()
{
    ResourceState& s = state();
    if (s.root.isEmpty())
        s.root = withSlash(programFolder()) + QStringLiteral("Resources/");
    return s.root;
}

void setResourceRoot(const QString& folder)
{
    ResourceState& s = state();
    s.root = folder.isEmpty() ? QString() : withSlash(folder);
    s.languageChosen = false;
    s.strings.clear();
}

const InterfaceLanguage& interfaceLanguage()
{
    ResourceState& s = state();
    if (!s.languageChosen) {
        s.language = InterfaceLanguage::choose(resourceRoot(), InterfaceLanguage::localeLanguageNumber());
        s.languageChosen = true;
    }
    return s.language;
}

void initializeResources()
{
    ResourceState& s = state();
    s.languageChosen = false;
    interfaceLanguage();
    s.strings.clear();
    const QString strings = localizedResourcePath(QStringLiteral("Localizable.strings"));
    if (!strings.isEmpty())
        s.strings.readLocalizableStrings(readFile(strings));
    const QString xml = localizedResourcePath(QStringLiteral("strings.xml"));
    if (!xml.isEmpty())
        s.strings.readStringsXml(readFile(xml));
}

QString resourcePath(const QString& name, const QString& subFolder)
{
    return resourceRoot() + relative(name, subFolder);
}

QString languageFolder()
{
    return resourceRoot() + interfaceLanguage().folderName + u'/';
}

QString englishFolder()
{
    return resourceRoot() + QStringLiteral("English/");
}

QString localizedResourcePath(const QString& name, const QString& subFolder)
{
    const QString rel = relative(name, subFolder);
    QStringList candidates{languageFolder() + rel};
    if (languageFolder() != englishFolder())
        candidates << englishFolder() + rel;
    candidates << resourceRoot() + rel;
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return QString();
}

QString localizedString(const QString& key)
{
    return state().strings.localizedString(key);
}

StringTable& stringTable()
{
    return state().strings;
}

QString documentsFolder(const QString& subFolder)
{
    QString folder = withSlash(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        + QStringLiteral("Panelora/");
    if (!subFolder.isEmpty())
        folder += withSlash(subFolder);
    QDir().mkpath(folder);
    return folder;
}

QString documentsFile(const QString& name)
{
    return documentsFolder() + name;
}

QString customPictureAlbum()
{
    const QString machine = machinePrefString(QStringLiteral("CustomPhotoAlbum"));
    if (machine.size() > 1 && QFileInfo(machine).isDir())
        return machine;
    const QString user = prefString(QStringLiteral("CustomPhotoAlbum"));
    if (!user.isEmpty() && QFileInfo(user).isDir())
        return user;
    return QString();
}

QString pictureAlbum()
{
    const QString custom = customPictureAlbum();
    if (!custom.isEmpty())
        return custom;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QDir().mkpath(pictures);
    return pictures;
}
