#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The command-line contract of panelora-cli, shared by every command:
//   panelora-cli COMMAND [OPTIONS] ARGS
// Options are "--name value" or "--name=value" (some also "-x value") and
// may stand anywhere; "--" ends them. Exit status 0 on success, 1 on a file or data failure
// ("panelora-cli: FILE: reason" on stderr), 2 on a usage error (the problem
// and the usage on stderr). stdout carries data only.
//
// A command is one file that defines a CliCommand and registers it with a
// static CliCommandRegistration.

namespace Cli {

constexpr int kSuccess = 0;
constexpr int kDataFailure = 1;
constexpr int kUsageFailure = 2;

// A usage problem: unknown command or option, wrong number of arguments, a
// malformed value. Thrown by commands and the parser; ends with status 2.
struct UsageError
{
    QString message;
};

// A file or data failure about one file (or other named thing); ends with
// status 1.
struct DataError
{
    QString subject;
    QString reason;
};

struct Option
{
    QString name;      // without the leading "--"
    QString valueName; // empty for a switch that takes no value
    QString help;
    // A one-letter form ("-o value"), or none.
    QChar letter = QChar();

    bool takesValue() const { return !valueName.isEmpty(); }
};

class Arguments
{
public:
    QStringList positional;

    bool has(const QString& option) const { return m_values.contains(option); }
    QString value(const QString& option, const QString& fallback = QString()) const
    {
        return m_values.value(option, fallback);
    }
    void set(const QString& option, const QString& value) { m_values.insert(option, value); }

    // The option's value as an integer in min..max; a UsageError otherwise.
    int intValue(const QString& option, int fallback, int min, int max) const;

private:
    QHash<QString, QString> m_values;
};

struct CliCommand
{
    QString name;
    QString synopsis;    // what follows the command name in the usage line
    QString summary;     // one line for the list of commands
    QString description; // a paragraph for the command's own help
    QList<Option> options;
    int minArguments = 0;
    int maxArguments = 0;
    std::function<int(const Arguments&)> run;

    QString usage() const;
};

// Adds a command to the program's list when the program starts.
struct CliCommandRegistration
{
    explicit CliCommandRegistration(CliCommand command);
};

// The registered commands, sorted by name.
QList<const CliCommand*> commands();
const CliCommand* commandNamed(const QString& name);
QString programUsage();

// Runs the program on its arguments (without the program name); every
// outcome is an exit status.
int runProgram(const QStringList& arguments);

// Writing to the standard streams, UTF-8.
void printOut(const QString& text);
void printError(const QString& text);
void warn(const QString& text);

} // namespace Cli
