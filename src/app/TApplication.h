#pragma once
// The application object of the desktop program. An error that escapes an event handler is shown
// with the application title and a stop icon, and the program goes on.
#include <QApplication>
#include <functional>

namespace zorvak {

class TApplication final : public QApplication {
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Runs one delivery the way notify() does: an error that escapes it is shown with the application
// title and a stop icon, and the event counts as not handled.
bool DeliverReportingErrors(const std::function<bool()> &deliver);

} // namespace zorvak
