// The main of test programs of core code: a QCoreApplication, no window system.
#include "support/TestProcess.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    zorvak::test::PrepareTestProcess();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zorvak"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
