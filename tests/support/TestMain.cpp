#include "TestEnvironment.h"

#include <gtest/gtest.h>

#ifdef PANELORA_TEST_GUI
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <QDir>

int main(int argc, char** argv)
{
    TestEnvironment::isolateHome();
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    QDir(TestEnvironment::home()).removeRecursively();
    return result;
}
