// The desktop program.
#include "shell/uMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvak"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvak 2.1"));
    QApplication::setApplicationVersion(QStringLiteral(ZORVAK_VERSION));
    zorvak::TfrmMain window;
    window.show();
    return app.exec();
}
