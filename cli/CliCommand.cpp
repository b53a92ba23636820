#include "CliCommand.h"

#include "NumberText.h"

#include <QMap>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <new>

namespace Cli {

namespace {

const QString kProgram = QStringLiteral("panelora-cli");

QMap<QString, CliCommand>& registry()
{
    static QMap<QString, CliCommand> commands;
    return commands;
}

const Option* findOption(const CliCommand& command, const QString& name)
{
    for (const Option& option : command.options)
        if (option.name == name)
            return &option;
    return nullptr;
}

// The option written with a single dash and one letter ("-o"), or null.
const Option* findLetterOption(const CliCommand& command, const QString& word)
{
    if (word.size() != 2 || word[0] != QLatin1Char('-'))
        return nullptr;
    for (const Option& option : command.options)
        if (!option.letter.isNull() && option.letter == word[1])
            return &option;
    return nullptr;
}

bool anyLetterOptionTakesValue(const QString& word)
{
    for (const CliCommand& command : registry())
        if (const Option* option = findLetterOption(command, word); option && option->takesValue())
            return true;
    return false;
}

// Whether some command's option of that name takes a value: decides whether
// the word after an option that stands before the command belongs to it.
bool anyOptionTakesValue(const QString& name)
{
    for (const CliCommand& command : registry())
        if (const Option* option = findOption(command, name); option && option->takesValue())
            return true;
    return false;
}

bool isHelp(const QString& word) { return word == QLatin1String("--help") || word == QLatin1String("-h"); }

// The command name: the first word that is neither an option nor an
// option's value.
int commandIndex(const QStringList& words)
{
    for (int i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (word == QLatin1String("--"))
            return i + 1 < words.size() ? i + 1 : -1;
        if (word.startsWith(QLatin1String("--"))) {
            if (!word.contains(QLatin1Char('=')) && anyOptionTakesValue(word.mid(2)))
                ++i;
            continue;
        }
        if (word.startsWith(QLatin1Char('-')) && word.size() > 1) {
            if (anyLetterOptionTakesValue(word))
                ++i;
            continue;
        }
        return i;
    }
    return -1;
}

Arguments parse(const CliCommand& command, const QStringList& words, int skip)
{
    Arguments arguments;
    bool optionsEnded = false;
    for (int i = 0; i < words.size(); ++i) {
        if (i == skip)
            continue;
        const QString& word = words[i];
        if (optionsEnded || word == QLatin1String("-") || !word.startsWith(QLatin1Char('-'))) {
            arguments.positional << word;
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!word.startsWith(QLatin1String("--"))) {
            const Option* option = findLetterOption(command, word);
            if (!option)
                throw UsageError{QStringLiteral("unknown option \"%1\"").arg(word)};
            if (!option->takesValue()) {
                arguments.set(option->name, QString());
                continue;
            }
            if (i + 1 >= words.size() || i + 1 == skip)
                throw UsageError{QStringLiteral("option \"%1\" needs a value").arg(word)};
            arguments.set(option->name, words[++i]);
            continue;
        }
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        const QString name = word.mid(2, equals < 0 ? -1 : equals - 2);
        const Option* option = findOption(command, name);
        if (!option)
            throw UsageError{QStringLiteral("unknown option \"--%1\"").arg(name)};
        if (!option->takesValue()) {
            if (equals >= 0)
                throw UsageError{QStringLiteral("option \"--%1\" takes no value").arg(name)};
            arguments.set(name, QString());
            continue;
        }
        if (equals >= 0) {
            arguments.set(name, word.mid(equals + 1));
        } else {
            if (i + 1 >= words.size() || i + 1 == skip)
                throw UsageError{QStringLiteral("option \"--%1\" needs a value").arg(name)};
            arguments.set(name, words[++i]);
        }
    }
    if (arguments.positional.size() < command.minArguments || arguments.positional.size() > command.maxArguments)
        throw UsageError{QStringLiteral("wrong number of arguments for \"%1\"").arg(command.name)};
    return arguments;
}

} // namespace

int Arguments::intValue(const QString& option, int fallback, int min, int max) const
{
    if (!has(option))
        return fallback;
    const QString text = value(option).trimmed();
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (!ok || number < min || number > max)
        throw UsageError{QStringLiteral("\"--%1\" needs a whole number from %2 to %3, not \"%4\"")
                             .arg(option, NumberText::formatInt(min), NumberText::formatInt(max), value(option))};
    return number;
}

QString CliCommand::usage() const
{
    QString text = QStringLiteral("usage: %1 %2 %3\n").arg(kProgram, name, synopsis);
    if (!description.isEmpty())
        text += QLatin1Char('\n') + description + QLatin1Char('\n');
    if (!options.isEmpty()) {
        text += QStringLiteral("\noptions:\n");
        for (const Option& option : options) {
            QString head = option.letter.isNull() ? QStringLiteral("  --") + option.name
                                                  : QStringLiteral("  -%1, --%2").arg(option.letter, option.name);
            if (option.takesValue())
                head += QLatin1Char(' ') + option.valueName;
            text += head.leftJustified(26) + QLatin1Char(' ') + option.help + QLatin1Char('\n');
        }
    }
    text += QStringLiteral("  --help").leftJustified(26) + QStringLiteral(" show this help\n");
    return text;
}

CliCommandRegistration::CliCommandRegistration(CliCommand command)
{
    const QString name = command.name;
    registry().insert(name, std::move(command));
}

QList<const CliCommand*> commands()
{
    QList<const CliCommand*> list;
    for (const CliCommand& command : registry())
        list << &command;
    return list;
}

const CliCommand* commandNamed(const QString& name)
{
    const auto it = registry().constFind(name);
    return it == registry().constEnd() ? nullptr : &it.value();
}

QString programUsage()
{
    QString text = QStringLiteral("usage: %1 COMMAND [OPTIONS] ARGS\n\ncommands:\n").arg(kProgram);
    for (const CliCommand* command : commands())
        text += QStringLiteral("  ") + command->name.leftJustified(12) + QLatin1Char(' ') + command->summary
                + QLatin1Char('\n');
    text += QStringLiteral("\nOptions may stand anywhere, as \"--name value\" or \"--name=value\".\n"
                           "\"%1 COMMAND --help\" shows a command's options.\n")
                .arg(kProgram);
    return text;
}

void printOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

void printError(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
}

void warn(const QString& text) { printError(QStringLiteral("warning: ") + text + QLatin1Char('\n')); }

int runProgram(const QStringList& words)
{
    const int index = commandIndex(words);
    const bool help = std::any_of(words.begin(), words.end(), isHelp);
    const CliCommand* command = index >= 0 ? commandNamed(words[index]) : nullptr;

    if (help && (index < 0 || command)) {
        printOut(command ? command->usage() : programUsage());
        return kSuccess;
    }
    if (!command) {
        printError(index < 0 ? QStringLiteral("%1: no command given\n").arg(kProgram)
                             : QStringLiteral("%1: unknown command \"%2\"\n").arg(kProgram, words[index]));
        printError(programUsage());
        return kUsageFailure;
    }
    try {
        const Arguments arguments = parse(*command, words, index);
        const int status = command->run(arguments);
        std::fflush(stdout);
        return status;
    } catch (const UsageError& error) {
        printError(QStringLiteral("%1: %2\n").arg(kProgram, error.message));
        printError(command->usage());
        return kUsageFailure;
    } catch (const DataError& error) {
        printError(QStringLiteral("%1: %2: %3\n").arg(kProgram, error.subject, error.reason));
        return kDataFailure;
    } catch (const std::bad_alloc&) {
        printError(QStringLiteral("%1: %2: not enough memory\n").arg(kProgram, command->name));
        return kDataFailure;
    } catch (const std::exception& error) {
        printError(QStringLiteral("%1: %2: %3\n").arg(kProgram, command->name, QString::fromUtf8(error.what())));
        return kDataFailure;
    }
}

} // namespace Cli
