// The desktop program.
#include "platform/DesktopPlatform.h"
#include "shell/QtDialogService.h"
#include "shell/TApplication.h"
#include "shell/uMain.h"

int main(int argc, char *argv[])
{
    zorvak::TApplication app(argc, argv);
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
