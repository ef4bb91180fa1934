// The main of test programs of the windows: the application object exists (offscreen) for the
// whole run.
#include "support/TestProcess.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    zorvak::test::PrepareTestProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvak"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvak 2.1"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
