#include "CliTestSupport.h"

#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QProcess>

QProcessEnvironment isolatedEnvironment(const QString& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    return environment;
}

CliRun runCli(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment.isEmpty() ? isolatedEnvironment(TestEnvironment::home()) : environment);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/panelora-cli"), arguments);
    CliRun run;
    if (!process.waitForStarted(10000))
        return run;
    run.finished = process.waitForFinished(120000);
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}
