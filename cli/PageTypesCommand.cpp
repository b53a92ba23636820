#include "CliCommand.h"

#include "NSDictionary.h"
#include "NumberText.h"
#include "PageTypes.h"

namespace {

int listPageTypes(const Cli::Arguments&)
{
    const PageTypes pageTypes;
    if (pageTypes.types().isEmpty())
        throw Cli::DataError{PageTypes::pageTypesFile().isEmpty() ? QStringLiteral("PageTypes.plist")
                                                                  : PageTypes::pageTypesFile(),
                             QStringLiteral("no page types could be read")};
    for (const RefPtr<NSDictionary>& type : pageTypes.types()) {
        const Size size = PageTypes::sizeOf(*type);
        Cli::printOut(QStringLiteral("%1\t%2\t%3\n")
                          .arg(type->stringForKey(QStringLiteral("Name")), NumberText::formatG(size.width),
                               NumberText::formatG(size.height)));
    }
    return Cli::kSuccess;
}

const Cli::CliCommandRegistration registration{Cli::CliCommand{
    QStringLiteral("page-types"),
    QString(),
    QStringLiteral("list the page types, one per line"),
    QStringLiteral("Prints the named paper formats, one per line as NAME<TAB>WIDTH<TAB>HEIGHT in page units "
                   "(points), in the order the page format dialog offers them."),
    {},
    0,
    0,
    listPageTypes,
}};

} // namespace
