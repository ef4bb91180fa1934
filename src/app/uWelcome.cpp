#include "app/uWelcome.h"

#include "common/unitString.h"
#include "shell/Controls.h"
#include "shell/uLanguage.h"
#include "app/uMain.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zorvak {

TfrmWelcome::TfrmWelcome(TfrmMain *owner) : QDialog(owner), m_main(owner)
{
    setObjectName(QStringLiteral("TfrmWelcome"));
    setFixedSize(395, 245);
    auto *outer = new QVBoxLayout(this);
    auto *langRow = new QHBoxLayout;
    labelLang = NewNamed<QLabel>("labelLang", this);
    cbLang = NewNamed<QComboBox>("cbLang", this);
    cbLang->setEditable(false);
    langRow->addWidget(labelLang);
    langRow->addWidget(cbLang);
    langRow->addStretch();
    outer->addLayout(langRow);
    lbWelcome = NewNamed<QLabel>("lbWelcome", this);
    lbWelcome->setWordWrap(true);
    lbWelcome->setFixedSize(369, 121);
    lbWelcome->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    outer->addWidget(lbWelcome);
    outer->addStretch();
    AddOkCancelRow(this, outer, btOk, btCancel);
    SetMainButton(this, btOk);
    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);

    // English, French and Italian; English selected whatever the language in use.
    cbLang->clear();
    cbLang->addItem(m_main->English1->text());
    cbLang->setCurrentIndex(0);
    cbLang->addItem(m_main->French1->text());
    cbLang->addItem(m_main->Italian1->text());
    connect(cbLang, &QComboBox::currentIndexChanged, this, &TfrmWelcome::cbLangChange);
    RefreshCaptions();
}

void TfrmWelcome::RefreshCaptions()
{
    const TLanguage &L = CurrentLanguage();
    setWindowTitle(L.Get(QStringLiteral("Welcome")));
    labelLang->setText(StripAmpersands(L.Get(QStringLiteral("Language"))));
    lbWelcome->setText(StripAmpersands(L.Get(QStringLiteral("FirstTimer"))).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    // The explanation keeps its width; a longer translation makes it, and the window, taller.
    const int height = std::max(121, lbWelcome->heightForWidth(369));
    lbWelcome->setFixedSize(369, height);
    setFixedSize(395, 245 + height - 121);
    btOk->setText(L.Get(QStringLiteral("mbOk")));
    btCancel->setText(L.Get(QStringLiteral("mbCancel")));
}

void TfrmWelcome::cbLangChange()
{
    const QString chosen = cbLang->currentText();
    // The main window's item runs the switch (and reports a failed write of the setting itself).
    for (QAction *item : {m_main->English1, m_main->French1, m_main->Italian1}) {
        if (chosen == item->text()) {
            item->trigger();
            break;
        }
    }
    RefreshCaptions();
}

} // namespace zorvak
