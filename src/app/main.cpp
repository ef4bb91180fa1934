// The desktop program: "zorvak [FILE]", FILE a package to open in the restore window.
#include "common/DesktopCommandLine.h"
#include "platform/DesktopPlatform.h"
#include "app/QtDialogService.h"
#include "app/TApplication.h"
#include "app/uMain.h"

#include <QIcon>
#include <cstdio>

namespace {
void Print(FILE *to, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

// False when the toolkit would find no window system to start on (it would abort the program): no
// platform is asked for and neither an X11 nor a Wayland display is named.
bool HasWindowSystem()
{
    const auto set = [](const char *name) { return !qEnvironmentVariableIsEmpty(name); };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}
} // namespace

int main(int argc, char *argv[])
{
    // The help and the version need no window system: answered before the application starts,
    // so that they work on a machine without a display too.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    if (zorvak::AsksForHelpOrVersion(raw)) {
        const zorvak::DesktopCommandLine line = zorvak::ParseDesktopCommandLine(raw);
        if (line.action == zorvak::DesktopCommandLine::Action::Version)
            Print(stdout, QStringLiteral("zorvak %1\n").arg(QStringLiteral(ZORVAK_VERSION)));
        else
            Print(stdout, zorvak::DesktopUsage() + QLatin1Char('\n'));
        return 0;
    }
    if (!HasWindowSystem()) {
        Print(stderr, QStringLiteral("zorvak: this program needs a display (X11 or Wayland); "
                                     "without one, use zorvak-cli (see zorvak-cli --help)\n"));
        return 1;
    }

    zorvak::TApplication app(argc, argv);
    // The toolkit has taken its own options (-platform, -style ...) out of the arguments.
    const zorvak::DesktopCommandLine line = zorvak::ParseDesktopCommandLine(QCoreApplication::arguments().mid(1));
    if (line.action == zorvak::DesktopCommandLine::Action::WrongUsage) {
        Print(stderr, QStringLiteral("zorvak: %1 (see zorvak --help)\n").arg(line.error));
        return 2;
    }
    // The icon and the desktop entry the desktop shows for the window.
    app.setWindowIcon(QIcon(QStringLiteral(":/zorvak.svg")));
    app.setDesktopFileName(QStringLiteral("org.zorvak.Zorvak"));
    zorvak::Platform::Set(std::make_unique<zorvak::DesktopPlatform>());
    zorvak::DialogService::Set(std::make_unique<zorvak::QtDialogService>());
    int rc = 0;
    {
        zorvak::TfrmMain window;
        window.show();
        window.InstallStartupChecks(line.package);
        rc = app.exec();
    }
    // Windows and dialogs are gone; the services go before the application object.
    zorvak::DialogService::Set(nullptr);
    zorvak::Platform::Set(nullptr);
    return rc;
}
