// The desktop program.
#include "platform/DesktopPlatform.h"
#include "shell/QtDialogService.h"
#include "shell/TApplication.h"
#include "shell/uMain.h"

#include <QIcon>

int main(int argc, char *argv[])
{
    zorvak::TApplication app(argc, argv);
    // The icon and the desktop entry the desktop shows for the window.
    app.setWindowIcon(QIcon(QStringLiteral(":/zorvak.svg")));
    app.setDesktopFileName(QStringLiteral("org.zorvak.Zorvak"));
    zorvak::Platform::Set(std::make_unique<zorvak::DesktopPlatform>());
    zorvak::DialogService::Set(std::make_unique<zorvak::QtDialogService>());
    int rc = 0;
    {
        zorvak::TfrmMain window;
        window.show();
        window.InstallStartupChecks();
        rc = app.exec();
    }
    // Windows and dialogs are gone; the services go before the application object.
    zorvak::DialogService::Set(nullptr);
    zorvak::Platform::Set(nullptr);
    return rc;
}
