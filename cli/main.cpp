#include "CliCommand.h"
#include "DocumentPackage.h"

#include <QGuiApplication>
#include <QLocale>

#include <clocale>
#include <cstdio>

namespace {

// Qt's own chatter (a missing runtime folder, a picture's odd colour profile)
// is not the program's to report: stderr carries only the program's errors
// and "warning: " lines.
void messageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "warning: %s\n", message.toUtf8().constData());
}

} // namespace

int main(int argc, char** argv)
{
    // No display is needed; the user may still choose another platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    qInstallMessageHandler(messageHandler);

    // Qt would take its own options (-platform, -style ...) out of the
    // arguments; the commands get every word as given.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);

    // Data on stdout is written in the C locale whatever the user's.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    const int status = Cli::runProgram(words);
    // Documents keep their unpacked packages until the program ends.
    DocumentPackage::removeFoldersAtExit();
    return status;
}
