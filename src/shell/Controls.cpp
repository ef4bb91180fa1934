#include "shell/Controls.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

namespace zorvak {

void AddOkCancelRow(QDialog *dialog, QBoxLayout *outer, QPushButton *&ok, QPushButton *&cancel)
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    ok = NewNamed<QPushButton>("btOk", dialog);
    ok->setDefault(true);
    cancel = NewNamed<QPushButton>("btCancel", dialog);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

} // namespace zorvak
