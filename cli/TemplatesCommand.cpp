#include "CliCommand.h"

#include "NSDictionary.h"
#include "PageTemplates.h"
#include "Resources.h"
#include "TemplateLibrary.h"

#include <QFileInfo>

namespace {

void printGroup(const TemplateGroup& group)
{
    for (const QString& path : TemplateLibrary::templatesOfGroup(group)) {
        RefPtr<NSDictionary> pageTemplate(PageTemplates::readTemplate(path));
        if (!pageTemplate)
            continue;
        Cli::printOut(QStringLiteral("%1\t%2\t%3\n")
                          .arg(group.label(), QFileInfo(path).completeBaseName())
                          .arg(PageTemplates::panelCount(*pageTemplate)));
    }
}

int listTemplates(const Cli::Arguments& arguments)
{
    initializeResources();
    const QList<TemplateGroup> groups = TemplateLibrary().templateGroups();
    if (arguments.positional.isEmpty()) {
        for (const TemplateGroup& group : groups)
            printGroup(group);
        return Cli::kSuccess;
    }
    const QString label = arguments.positional.front();
    const TemplateGroup* group = TemplateLibrary::groupLabelled(groups, label);
    if (!group)
        throw Cli::DataError{label, QStringLiteral("no such template group")};
    printGroup(*group);
    return Cli::kSuccess;
}

const Cli::CliCommandRegistration registration{Cli::CliCommand{
    QStringLiteral("templates"),
    QStringLiteral("[GROUP]"),
    QStringLiteral("list the page templates, one per line"),
    QStringLiteral("Prints the page templates as GROUP<TAB>TEMPLATE<TAB>PANELS, the built-in groups first, then "
                   "the user's, each group's templates in name order. With GROUP (a label as printed), only "
                   "that group."),
    {},
    0,
    1,
    listTemplates,
}};

} // namespace
