#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the built panelora-cli beside the test program and collects what it did.
struct CliRun
{
    int status = -1;
    QByteArray out;
    QByteArray err;
    bool finished = false;

    QString errText() const { return QString::fromUtf8(err); }
};

// An environment with HOME and the XDG folders in a private folder.
QProcessEnvironment isolatedEnvironment(const QString& home);

CliRun runCli(const QStringList& arguments, const QProcessEnvironment& environment = QProcessEnvironment());
