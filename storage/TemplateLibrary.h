#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A group of page templates: the template files directly in one folder.
struct TemplateGroup
{
    // The group's own name: "Misc" (localised) for the files directly in a
    // templates folder, else the sub-folder's name.
    QString name;
    QString folder;
    // Whether the group comes with the program. A flag, never read back from
    // the label: a user's folder named like a built-in label stays the user's.
    bool builtIn = false;

    // The label shown in lists: "Built-in: NAME" for built-in groups (the
    // localised "BuiltIn" label), NAME for the user's.
    QString label() const;
};

// The built-in templates (the resource folder "Page Templates") and the
// user's (the folder "Page Templates" in the application's documents folder).
// Folders and files are listed sorted by name, so every machine lists them
// in the same order.
class TemplateLibrary
{
public:
    // The program's folders.
    TemplateLibrary();
    // Other folders (tests, tools); an empty one contributes no group.
    TemplateLibrary(const QString& builtInFolder, const QString& userFolder);

    static QString builtInTemplateFolder();
    // Created on first use.
    static QString userTemplateFolder();

    // Built-in groups first ("Misc" when the folder holds templates directly,
    // then its sub-folders), then the user's in the same way. A group is listed
    // only when its folder holds at least one template file; the user's "Misc"
    // is always listed, since that is where saved templates go.
    QList<TemplateGroup> templateGroups() const;
    // The first group whose label is the given text, or null.
    static const TemplateGroup* groupLabelled(const QList<TemplateGroup>& groups, const QString& label);

    // The paths of the "*.comictpl" files directly in the group's folder.
    static QStringList templatesOfGroup(const TemplateGroup& group);
    // The group's "Cover.comictpl", or empty when it has none.
    static QString coverOfGroup(const TemplateGroup& group);

private:
    static void addGroups(QList<TemplateGroup>& groups, const QString& folder, bool builtIn);

    QString m_builtInFolder;
    QString m_userFolder;
};
