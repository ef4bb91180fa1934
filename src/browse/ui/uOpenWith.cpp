#include "browse/ui/uOpenWith.h"

#include "shell/Controls.h"
#include "shell/DialogService.h"
#include "shell/uLanguage.h"
#include "common/unitString.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zorvak {

TfrmOpenWith::TfrmOpenWith(const QString &filePath, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmOpenWith"));
    setWindowTitle(StripAmpersands(CurrentLanguage().Get(QStringLiteral("OpenWith"))));
    resize(360, 300);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QFileInfo(filePath).fileName(), this);
    layout->addWidget(label);
    lbApps = NewNamed<QListWidget>("lbApps", this);
    layout->addWidget(lbApps, 1);
    Apps = Platform::Get().AppsForFile(filePath);
    for (const Platform::AppInfo &app : Apps)
        lbApps->addItem(app.name.isEmpty() ? app.id : app.name);
    if (!Apps.isEmpty())
        lbApps->setCurrentRow(0);
    auto *buttons = new QHBoxLayout;
    btBrowse = NewNamed<QPushButton>("btBrowse", CurrentLanguage().Get(QStringLiteral("btBrowse")) + QStringLiteral("..."), this);
    btOk = NewNamed<QPushButton>("btOk", CurrentLanguage().Get(QStringLiteral("mbOK")), this);
    btOk->setDefault(true);
    btCancel = NewNamed<QPushButton>("btCancel", CurrentLanguage().Get(QStringLiteral("mbCancel")), this);
    buttons->addWidget(btBrowse);
    buttons->addStretch();
    buttons->addWidget(btOk);
    buttons->addWidget(btCancel);
    layout->addLayout(buttons);
    connect(btBrowse, &QPushButton::clicked, this, &TfrmOpenWith::btBrowseClick);
    connect(btOk, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(btCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(lbApps, &QListWidget::itemDoubleClicked, this, [this] { done(mrOk); });
    SetMainButton(this, btOk);
}

void TfrmOpenWith::btBrowseClick()
{
    const QString program = DialogService::Get().GetOpenFileName(windowTitle(), QStringLiteral("/usr/bin"),
                                                                 QString());
    if (program.isEmpty())
        return;
    ChosenProgram = program;
    done(mrOk);
}

QString TfrmOpenWith::Choice() const
{
    if (!ChosenProgram.isEmpty())
        return ChosenProgram;
    const int row = lbApps->currentRow();
    return row >= 0 && row < Apps.size() ? Apps.at(row).id : QString();
}

} // namespace zorvak
