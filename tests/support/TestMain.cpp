// One main for every test program: the application object exists (offscreen) for the whole run.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ZORVAK_SOURCE_DIR"))
        qputenv("ZORVAK_SOURCE_DIR", ZORVAK_TEST_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("ZORVAK_BINARY_DIR"))
        qputenv("ZORVAK_BINARY_DIR", ZORVAK_TEST_BINARY_DIR);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvak"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvak 2.1"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
