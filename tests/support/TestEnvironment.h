#pragma once

#include <QString>

// A private home for the whole test run: settings, documents and temporary
// files of the program under test never touch the real user's.
class TestEnvironment
{
public:
    // Points HOME and the XDG folders at a fresh temporary folder. Call once,
    // before any Qt object is made.
    static void isolateHome();

    static QString home();

    // A new empty folder under the private home.
    static QString makeTempFolder(const QString& prefix);
};
