#pragma once
// "Open with": the applications registered for a file's type, and browsing for a program.
#include "platform/Platform.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace zorvak {

class TfrmOpenWith : public QDialog {
    Q_OBJECT
public:
    TfrmOpenWith(const QString &filePath, QWidget *parent = nullptr);
    QListWidget *lbApps = nullptr;
    QPushButton *btOk = nullptr;
    QPushButton *btBrowse = nullptr;
    QPushButton *btCancel = nullptr;
    QList<Platform::AppInfo> Apps;
    QString ChosenProgram;          // set by browsing for a program
    // The application id or program the user chose; empty when none.
    QString Choice() const;
    void btBrowseClick();
};

} // namespace zorvak
