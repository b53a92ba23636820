#include "TemplateLibrary.h"

#include "Resources.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kFolderName = QStringLiteral("Page Templates");

QStringList templateFilesIn(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.comictpl")}, QDir::Files | QDir::Readable,
                                                  QDir::Name);
    QStringList paths;
    for (const QFileInfo& file : files)
        paths << file.absoluteFilePath();
    return paths;
}

QStringList subFoldersOf(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

QString TemplateGroup::label() const
{
    return builtIn ? QStringLiteral("%1: %2").arg(localizedString(QStringLiteral("BuiltIn")), name) : name;
}

TemplateLibrary::TemplateLibrary() : TemplateLibrary(builtInTemplateFolder(), userTemplateFolder()) {}

TemplateLibrary::TemplateLibrary(const QString& builtInFolder, const QString& userFolder)
    : m_builtInFolder(builtInFolder), m_userFolder(userFolder)
{
}

QString TemplateLibrary::builtInTemplateFolder()
{
    return resourcePath(kFolderName) + u'/';
}

QString TemplateLibrary::userTemplateFolder()
{
    return documentsFolder(kFolderName);
}

void TemplateLibrary::addGroups(QList<TemplateGroup>& groups, const QString& folder, bool builtIn)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    if (!builtIn || !templateFilesIn(folder).isEmpty())
        groups.append(TemplateGroup{localizedString(QStringLiteral("Misc")), QDir(folder).absolutePath(), builtIn});
    for (const QString& sub : subFoldersOf(folder)) {
        const QString path = QDir(folder).absoluteFilePath(sub);
        if (!templateFilesIn(path).isEmpty())
            groups.append(TemplateGroup{sub, path, builtIn});
    }
}

QList<TemplateGroup> TemplateLibrary::templateGroups() const
{
    QList<TemplateGroup> groups;
    addGroups(groups, m_builtInFolder, true);
    addGroups(groups, m_userFolder, false);
    return groups;
}

const TemplateGroup* TemplateLibrary::groupLabelled(const QList<TemplateGroup>& groups, const QString& label)
{
    for (const TemplateGroup& group : groups) {
        if (group.label() == label)
            return &group;
    }
    return nullptr;
}

QStringList TemplateLibrary::templatesOfGroup(const TemplateGroup& group)
{
    return templateFilesIn(group.folder);
}

QString TemplateLibrary::coverOfGroup(const TemplateGroup& group)
{
    const QString path = QDir(group.folder).absoluteFilePath(QStringLiteral("Cover.comictpl"));
    return QFileInfo(path).isFile() ? path : QString();
}
