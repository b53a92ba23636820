#include "CliCommand.h"

#include "PaneloraFilter.h"

namespace {

int listPresets(const Cli::Arguments&)
{
    for (const QString& name : presetNames())
        Cli::printOut(name + QLatin1Char('\n'));
    return Cli::kSuccess;
}

const Cli::CliCommandRegistration registration{Cli::CliCommand{
    QStringLiteral("presets"),
    QString(),
    QStringLiteral("list the filter presets, one per line"),
    QStringLiteral("Prints the names of the filter presets, one per line, in the order they are offered."),
    {},
    0,
    0,
    listPresets,
}};

} // namespace
