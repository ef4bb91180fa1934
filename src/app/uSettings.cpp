#include "app/uSettings.h"

#include "common/ContentTypes.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/Controls.h"
#include "shell/ReadableText.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zorvak {

namespace {
const QColor kTeal(0, 128, 128);
const QString kSection = QString::fromLatin1(SettingsSection);

} // namespace

TfrmSettings::TfrmSettings(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("TfrmSettings"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(595, 528);
    if (owner) { // the main window's background colour
        QPalette pal = palette();
        pal.setColor(QPalette::Window, owner->palette().color(QPalette::Window));
        setPalette(pal);
    }
    CreateControls();
    PageControl1->setCurrentIndex(0);
    RefreshCaptions();
}

void TfrmSettings::CreateControls()
{
    auto *outer = new QVBoxLayout(this);
    PageControl1 = NewNamed<QTabWidget>("PageControl1", this);
    outer->addWidget(PageControl1, 1);

    // Directories
    TabSheet1 = NewNamed<QWidget>("TabSheet1");
    auto *dirs = new QVBoxLayout(TabSheet1);
    lbIns1 = NewNamed<QLabel>("lbIns1", TabSheet1);
    KeepTextReadable(lbIns1, kTeal);
    dirs->addWidget(lbIns1);
    auto row = [this, dirs](const char *check, const char *eg, const char *edit, const char *restore, QCheckBox *&ch,
                            QLabel *&lb, QLineEdit *&ed, QPushButton *&bt) {
        ch = NewNamed<QCheckBox>(check, TabSheet1);
        QFont bold = ch->font();
        bold.setBold(true);
        ch->setFont(bold);
        lb = NewNamed<QLabel>(eg, TabSheet1);
        QFont italic = lb->font();
        italic.setItalic(true);
        lb->setFont(italic);
        ed = NewNamed<QLineEdit>(edit, TabSheet1);
        ed->setEnabled(false);
        bt = NewNamed<QPushButton>(restore, TabSheet1);
        bt->setEnabled(false);
        auto *head = new QHBoxLayout;
        head->addWidget(ch);
        head->addStretch();
        head->addWidget(lb);
        auto *line = new QHBoxLayout;
        line->addWidget(ed, 1);
        line->addWidget(bt);
        dirs->addSpacing(8);
        dirs->addLayout(head);
        dirs->addLayout(line);
    };
    row("chDocSet", "lbEgDocSet", "edDocSet", "btRestoreDocSet", chDocSet, lbEgDocSet, edDocSet, btRestoreDocSet);
    row("chAppDat", "lbEgAppDat", "edAppDat", "btRestoreAppDat", chAppDat, lbEgAppDat, edAppDat, btRestoreAppDat);
    row("chMsnDat", "lbEgMsnDat", "edMsnDat", "btRestoreMsnDat", chMsnDat, lbEgMsnDat, edMsnDat, btRestoreMsnDat);
    dirs->addSpacing(12);
    lbIns2 = NewNamed<QLabel>("lbIns2", TabSheet1);
    lbIns2->setWordWrap(true);
    KeepTextReadable(lbIns2, kTeal);
    dirs->addWidget(lbIns2);
    Panel1 = NewNamed<QFrame>("Panel1", TabSheet1);
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto *diagram = new QVBoxLayout(Panel1);
    lbLayout = NewNamed<QLabel>("lbLayout", Panel1);
    lbLayout->setTextFormat(Qt::PlainText);
    lbLayout->setWordWrap(true);
    diagram->addWidget(lbLayout);
    dirs->addWidget(Panel1);
    dirs->addStretch();
    PageControl1->addTab(TabSheet1, QString());

    // Backup
    TabSheet2 = NewNamed<QWidget>("TabSheet2");
    auto *backup = new QVBoxLayout(TabSheet2);
    lbBakIns = NewNamed<QLabel>("lbBakIns", TabSheet2);
    lbBakIns->setWordWrap(true);
    KeepTextReadable(lbBakIns, kTeal);
    backup->addWidget(lbBakIns);
    chChangeSubfolders = NewNamed<QCheckBox>("chChangeSubfolders", TabSheet2);
    backup->addWidget(chChangeSubfolders);
    auto *form = new QFormLayout;
    auto labelled = [this, form](const char *edit, const char *label, QLineEdit *&ed, QLabel *&lb) {
        ed = NewNamed<QLineEdit>(edit, TabSheet2);
        ed->setEnabled(false);
        lb = NewNamed<QLabel>(label, TabSheet2);
        lb->setBuddy(ed);
        form->addRow(lb, ed);
    };
    labelled("edEmot", "lbEmot", edEmot, lbEmot);
    labelled("edDp", "lbDp", edDp, lbDp);
    labelled("edBg", "lbBg", edBg, lbBg);
    labelled("edWink", "lbWink", edWink, lbWink);
    labelled("EdDdp", "lbDdp", EdDdp, lbDdp);
    labelled("edDBg", "lbDBg", edDBg, lbDBg);
    backup->addLayout(form);
    backup->addStretch();
    PageControl1->addTab(TabSheet2, QString());

    AddOkCancelRow(this, outer, btOk, btCancel);

    connect(chDocSet, &QCheckBox::toggled, this, &TfrmSettings::chDocSetClick);
    connect(chAppDat, &QCheckBox::toggled, this, &TfrmSettings::chAppDatClick);
    connect(chMsnDat, &QCheckBox::toggled, this, &TfrmSettings::chMsnDatClick);
    connect(btRestoreDocSet, &QPushButton::clicked, this, &TfrmSettings::btRestoreDocSetClick);
    connect(btRestoreAppDat, &QPushButton::clicked, this, &TfrmSettings::btRestoreAppDatClick);
    connect(btRestoreMsnDat, &QPushButton::clicked, this, &TfrmSettings::btRestoreMsnDatClick);
    connect(chChangeSubfolders, &QCheckBox::toggled, this, &TfrmSettings::chChangeSubfoldersClick);
    connect(btOk, &QPushButton::clicked, this, &TfrmSettings::btOkClick);
    SetMainButton(this, btOk);
}

QList<QLineEdit *> TfrmSettings::SubfolderEdits() const { return {edEmot, edDp, edBg, edWink, EdDdp, edDBg}; }

void TfrmSettings::RefreshCaptions()
{
    setWindowTitle(StripAmpersands(Lang("Settings")));
    PageControl1->setTabText(0, Lang("SetTabDir"));
    PageControl1->setTabText(1, Lang("SetTabBackup"));
    btOk->setText(Lang("mbOk"));
    btCancel->setText(Lang("mbCancel"));
    chDocSet->setText(Lang("DocSetDir"));
    chAppDat->setText(Lang("AppDatDir"));
    chMsnDat->setText(Lang("MsnDatDir"));
    lbEgDocSet->setText(Lang("eg") + QStringLiteral(" /mnt/c/Documents and Settings"));
    lbEgAppDat->setText(Lang("eg") + QStringLiteral(" Application Data"));
    lbEgMsnDat->setText(Lang("eg") + QStringLiteral(" Microsoft/MSN Messenger"));
    for (QPushButton *b : {btRestoreDocSet, btRestoreAppDat, btRestoreMsnDat})
        b->setText(Lang("btRestoreCurrent"));
    lbIns1->setText(Lang("SetTabIns1"));
    lbIns2->setText(Lang("SetTabIns2"));
    // The pieces of a content folder's path, the emoticons' sub-folder last.
    lbLayout->setText(FormatText(Lang("SetLayout"), {Settings().Subdir(ContentType::Emot)}));
    lbBakIns->setText(Lang("BakIns").replace(QLatin1Char('\r'), QLatin1Char('\n')));
    chChangeSubfolders->setText(Lang("ChangeSubfolders"));
    lbEmot->setText(Lang("Emot"));
    lbWink->setText(Lang("Wink"));
    lbDp->setText(Lang("Dp"));
    lbDdp->setText(Lang("Ddp"));
    lbBg->setText(Lang("Bg"));
    lbDBg->setText(Lang("Dbg"));
}

void TfrmSettings::LoadValues()
{
    m_currentDocSet.clear();
    m_currentAppDat.clear();
    m_currentMsnDat.clear();
    TIniFile *ini = SettingsFile();
    if (ini) {
        m_currentDocSet = ini->ReadString(kSection, QStringLiteral("docSetDir"), QString());
        m_currentAppDat = ini->ReadString(kSection, QStringLiteral("appDatDir"), QString());
        m_currentMsnDat = ini->ReadString(kSection, QStringLiteral("msnDatDir"), QString());
    }
    const TSettingsValues &inUse = Settings();
    const struct {
        QCheckBox *box;
        QString *current;
        const QString &value;
    } rows[] = {{chDocSet, &m_currentDocSet, inUse.docSetDir},
                {chAppDat, &m_currentAppDat, inUse.appDatDir},
                {chMsnDat, &m_currentMsnDat, inUse.msnDatDir}};
    for (const auto &r : rows) {
        if (!r.current->isEmpty()) {
            r.box->setChecked(true);
        } else {
            r.box->setChecked(false);
            *r.current = r.value;
        }
    }
    edDocSet->setText(m_currentDocSet);
    edAppDat->setText(m_currentAppDat);
    edMsnDat->setText(m_currentMsnDat);
    const QList<QLineEdit *> edits = SubfolderEdits();
    for (size_t i = 0; i < ContentTypes.size(); ++i)
        edits.at(qsizetype(i))->setText(inUse.Subdir(ContentTypes[i].type));
    if (ini)
        chChangeSubfolders->setChecked(ini->ReadBool(kSection, QStringLiteral("ChangeMsnSubfolders"), false));
    chChangeSubfoldersClick();
}

void TfrmSettings::chDocSetClick()
{
    edDocSet->setEnabled(chDocSet->isChecked());
    btRestoreDocSet->setEnabled(chDocSet->isChecked());
}

void TfrmSettings::chAppDatClick()
{
    edAppDat->setEnabled(chAppDat->isChecked());
    btRestoreAppDat->setEnabled(chAppDat->isChecked());
}

void TfrmSettings::chMsnDatClick()
{
    edMsnDat->setEnabled(chMsnDat->isChecked());
    btRestoreMsnDat->setEnabled(chMsnDat->isChecked());
}

void TfrmSettings::btRestoreDocSetClick() { edDocSet->setText(m_currentDocSet); }
void TfrmSettings::btRestoreAppDatClick() { edAppDat->setText(m_currentAppDat); }
void TfrmSettings::btRestoreMsnDatClick() { edMsnDat->setText(m_currentMsnDat); }

void TfrmSettings::chChangeSubfoldersClick()
{
    for (QLineEdit *e : SubfolderEdits())
        e->setEnabled(chChangeSubfolders->isChecked());
}

void TfrmSettings::btOkClick()
{
    // Only a ticked row replaces the documents folder; an unticked one keeps the value in use, which
    // need not exist on this machine (the Linux default names a Windows disk mount).
    if (chDocSet->isChecked() && !QFileInfo(edDocSet->text()).isDir()) {
        // The folder as typed: an "&" of the path is part of the name, not an accelerator mark.
        const QString message = StripAmpersands(Lang("DirNotFound")).replace(QStringLiteral("%s"), edDocSet->text());
        LangMessageDlg(message, TMsgDlgType::mtError, mbOK);
        return; // the dialog stays open
    }
    bool saved = false;
    QString failure;
    try {
        SaveValues();
        saved = true;
    } catch (const std::exception &e) {
        failure = QStringLiteral("An internal error occured.\rSettings might have been applied but have not been "
                                 "saved.\r\rException ")
            + ExceptionClassName(e) + QStringLiteral(": ") + ExceptionMessage(e);
    }
    if (saved)
        LangMessageDlg(Lang("SettingsSaved"), TMsgDlgType::mtInformation, mbOK);
    else
        LangMessageDlg(failure, TMsgDlgType::mtError, mbOK);
    done(QDialog::Accepted);
}

void TfrmSettings::SaveValues()
{
    TSettingsValues &inUse = Settings();
    const struct {
        QCheckBox *box;
        QLineEdit *edit;
        QString *value;
        const char *key;
    } rows[] = {{chDocSet, edDocSet, &inUse.docSetDir, "docSetDir"},
                {chAppDat, edAppDat, &inUse.appDatDir, "appDatDir"},
                {chMsnDat, edMsnDat, &inUse.msnDatDir, "msnDatDir"}};
    for (const auto &r : rows)
        if (r.box->isChecked())
            *r.value = WithSeparator(r.edit->text());
    const QList<QLineEdit *> edits = SubfolderEdits();
    for (size_t i = 0; i < ContentTypes.size(); ++i)
        inUse.Subdir(ContentTypes[i].type) = edits.at(qsizetype(i))->text();

    TIniFile &ini = OpenSettingsFile();
    for (const auto &r : rows) {
        if (r.box->isChecked())
            ini.WriteString(kSection, QString::fromLatin1(r.key), r.edit->text());
        else
            ini.DeleteKey(kSection, QString::fromLatin1(r.key));
    }
    if (chChangeSubfolders->isChecked()) {
        ini.WriteString(kSection, QStringLiteral("ChangeMsnSubfolders"), QStringLiteral("True"));
        for (size_t i = 0; i < ContentTypes.size(); ++i)
            ini.WriteString(kSection, QString::fromLatin1(ContentTypes[i].settingsKey), edits.at(qsizetype(i))->text());
    } else {
        ini.DeleteKey(kSection, QStringLiteral("ChangeMsnSubfolders"));
        for (const ContentTypeInfo &info : ContentTypes)
            ini.DeleteKey(kSection, QString::fromLatin1(info.settingsKey));
    }
}

} // namespace zorvak
