#include "app/TApplication.h"

#include "shell/ProductInfo.h"
#include "shell/unitCustomDlg.h"

#include <QProxyStyle>

namespace zorvak {

namespace {
// Hints appear after 300 ms.
class TAppStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return 300;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // The application title ("Zorvak 2.1") is used by the dialogs that show it; it is not made the
    // display name, which the window system would append to every window's caption.
    setApplicationName(QString::fromLatin1(ProductName));
    setApplicationVersion(QStringLiteral(ZORVAK_VERSION));
    setStyle(new TAppStyle);
}

bool DeliverReportingErrors(const std::function<bool()> &deliver)
{
    bool handled = false;
    RunShowingErrors([&] { handled = deliver(); });
    return handled;
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    return DeliverReportingErrors([&] { return QApplication::notify(receiver, event); });
}

} // namespace zorvak
