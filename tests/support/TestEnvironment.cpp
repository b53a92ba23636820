#include "TestEnvironment.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString& homePath()
{
    static QString path;
    return path;
}
}

void TestEnvironment::isolateHome()
{
    std::string pattern = std::string(P_tmpdir) + "/panelora-test-XXXXXX";
    char* made = mkdtemp(pattern.data());
    if (!made)
        std::abort();
    const std::string home = made;
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (home + "/etc-xdg").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (home + "/Documents").c_str(), 1);
    setenv("XDG_PICTURES_DIR", (home + "/Pictures").c_str(), 1);
    const std::string runtime = home + "/runtime";
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    // Tests never need a display, also when CTest runs them to list their cases.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    homePath() = QString::fromStdString(home);
    QStandardPaths::setTestModeEnabled(true);
}

QString TestEnvironment::home()
{
    return homePath();
}

QString TestEnvironment::makeTempFolder(const QString& prefix)
{
    static int counter = 0;
    const QString path = home() + "/" + prefix + "-" + QString::number(++counter);
    QDir().mkpath(path);
    return path;
}
