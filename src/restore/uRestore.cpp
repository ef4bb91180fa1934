#include "restore/uRestore.h"

#include "common/unitString.h"
#include "platform/Platform.h"
#include "restore/ContentLibrary.h"
#include "restore/RestoreCore.h"
#include "shell/Controls.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace zorvak {

namespace {
const QColor kTeal(0, 128, 128);
constexpr int kTopHeight = 78;
constexpr int kBottomHeight = 41;

QLabel *TealLabel(QWidget *parent, const char *name)
{
    auto *label = NewNamed<QLabel>(name, parent);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, kTeal);
    label->setPalette(pal);
    return label;
}
} // namespace

void ShowRestoreDialog(QWidget *owner, TListenSettings &listen, const QString &package)
{
    TfrmRestore dialog(owner, listen);
    if (!package.isEmpty())
        dialog.edFile->setText(package);
    DialogService::Get().ShowModal(&dialog);
    listen = dialog.Listen;
}

TfrmRestore::TfrmRestore(QWidget *owner, TListenSettings listen) : QDialog(owner), Listen(std::move(listen))
{
    setObjectName(QStringLiteral("TfrmRestore"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    resize(580, 276);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    panTop = NewNamed<QWidget>("panTop", this);
    panTop->setFixedHeight(kTopHeight);
    auto *top = new QVBoxLayout(panTop);
    lbIns1 = TealLabel(panTop, "lbIns1");
    edFileLabel = NewNamed<QLabel>("edFileLabel", panTop);
    auto *fileRow = new QHBoxLayout;
    edFile = NewNamed<QLineEdit>("edFile", panTop);
    edFileLabel->setBuddy(edFile);
    btBrowse = NewNamed<QPushButton>("btBrowse", panTop);
    btBrowse->setIcon(ThemedIcon("document-open", "open"));
    btBrowse->setFixedWidth(32);
    btAdvanced = NewNamed<QPushButton>("btAdvanced", panTop);
    fileRow->addWidget(edFile, 1);
    fileRow->addWidget(btBrowse);
    fileRow->addWidget(btAdvanced);
    top->addWidget(lbIns1);
    top->addWidget(edFileLabel);
    top->addLayout(fileRow);
    outer->addWidget(panTop);

    panCentre = NewNamed<QWidget>("panCentre", this);
    auto *centre = new QVBoxLayout(panCentre);
    lbIns = TealLabel(panCentre, "lbIns");
    lbIns->setWordWrap(true);
    auto *addressRow = new QHBoxLayout;
    auto *ipLabel = new QLabel(QStringLiteral("IP"), panCentre);
    edIp = NewNamed<QLineEdit>("edIp", panCentre);
    ipLabel->setBuddy(edIp);
    auto *portLabel = new QLabel(CurrentLanguage().Get(QStringLiteral("Port")), panCentre);
    edPort = NewNamed<QLineEdit>("edPort", panCentre);
    portLabel->setBuddy(edPort);
    addressRow->addWidget(ipLabel);
    addressRow->addWidget(edIp, 2);
    addressRow->addWidget(portLabel);
    addressRow->addWidget(edPort, 1);
    centre->addWidget(lbIns);
    centre->addLayout(addressRow);
    centre->addStretch(1);
    outer->addWidget(panCentre, 1);

    panBottom = NewNamed<QWidget>("panBottom", this);
    panBottom->setFixedHeight(kBottomHeight);
    auto *bottom = new QHBoxLayout(panBottom);
    lbWaiting = NewNamed<QLabel>("lbWaiting", panBottom);
    lbWaiting->setWordWrap(true);
    lbWaiting->hide();
    bottom->addWidget(lbWaiting, 1);
    bottom->addStretch(1);
    btStart = NewNamed<QPushButton>("btStart", panBottom);
    btStart->setDefault(true);
    QFont bold = btStart->font();
    bold.setBold(true);
    btStart->setFont(bold);
    btClose = NewNamed<QPushButton>("btClose", panBottom);
    bottom->addWidget(btStart);
    bottom->addWidget(btClose);
    outer->addWidget(panBottom);

    MessengerContentInstaller1 = NewNamed<TMessengerContentInstaller>("MessengerContentInstaller1", this);
    MessengerContentInstaller1->OnContentInstalled = [this](TMessengerContentInstaller *sender, qint32 result) {
        Guard([&] { MessengerContentInstaller1ContentInstalled(sender, result); });
    };
    MessengerContentInstaller1->OnWaiting = [this](TMessengerContentInstaller *) {
        lbWaiting->setText(Lang("InstallWaiting"));
        lbWaiting->show();
    };

    connect(btBrowse, &QPushButton::clicked, this, [this] { Guard([this] { btBrowseClick(); }); });
    connect(btAdvanced, &QPushButton::clicked, this, [this] { Guard([this] { btAdvancedClick(); }); });
    connect(btStart, &QPushButton::clicked, this, [this] { Guard([this] { btStartClick(); }); });
    connect(btClose, &QPushButton::clicked, this, [this] { Guard([this] { btCloseClick(); }); });
    SetMainButton(this, btStart);

    Guard([this] { FormCreate(); });
}

TfrmRestore::~TfrmRestore()
{
    if (!m_closed)
        FormClose();
}

template <typename F> void TfrmRestore::Guard(F &&handler) { RunShowingErrors(std::forward<F>(handler)); }

bool TfrmRestore::SimpleMode() const { return !panCentre->isVisibleTo(this); }

void TfrmRestore::SetButtonsEnabled(bool enabled)
{
    btStart->setEnabled(enabled);
    btClose->setEnabled(enabled);
}

void TfrmRestore::FormCreate()
{
    // 1. the background is the application's (the main window sets it)
    // 2. the run's address and port
    edIp->setText(Listen.address);
    edPort->setText(QString::number(Listen.port));
    // 3. into Simple mode
    const TLanguage &lang = CurrentLanguage();
    btAdvanced->setText(lang.Get(QStringLiteral("Simple")));
    btAdvancedClick();
    // 4. captions
    setWindowTitle(lang.Get(QStringLiteral("tiRestore")));
    edFileLabel->setText(lang.Get(QStringLiteral("Cab2install")));
#ifdef Q_OS_WIN
    lbIns1->setText(lang.Get(QStringLiteral("ResIns1")));
#else
    // No Messenger to sign in to here: the packages go into the content library.
    lbIns1->setText(FormatText(lang.Get(QStringLiteral("ResInsLibrary")), {QDir::toNativeSeparators(TContentLibrary::DefaultFolder())})
                        .replace(QLatin1Char('\r'), QLatin1Char('\n')));
#endif
    QString ins = lang.Get(QStringLiteral("ResIns"));
    lbIns->setText(ins.replace(QLatin1Char('\r'), QLatin1Char('\n')));
    btStart->setText(lang.Get(QStringLiteral("Install")));
    btClose->setText(lang.Get(QStringLiteral("Close")));
    SetAccessible(btBrowse, lang.Get(QStringLiteral("BrowseFile")), StripAmpersands(lang.Get(QStringLiteral("Cab2install"))));
    // 5. every package of this dialog is confirmed once
    Continuation = false;
}

void TfrmRestore::btAdvancedClick()
{
    const TLanguage &lang = CurrentLanguage();
    const QString caption = btAdvanced->text();
    if (caption == lang.Get(QStringLiteral("Advanced"))) {
        btAdvanced->setText(lang.Get(QStringLiteral("Simple")));
        panCentre->show();
        // the label's height as it wraps across the panel's width
        const QMargins margins = panCentre->layout()->contentsMargins();
        const int labelHeight = lbIns->heightForWidth(width() - margins.left() - margins.right());
        resize(width(), (labelHeight > 0 ? labelHeight : lbIns->sizeHint().height()) + kTopHeight + kBottomHeight + 65);
    } else if (caption == lang.Get(QStringLiteral("Simple"))) {
        btAdvanced->setText(lang.Get(QStringLiteral("Advanced")));
        panCentre->hide();
        layout()->activate(); // the smaller minimum height without the panel, before the resize
        resize(width(), kTopHeight + kBottomHeight);
    }
}

void TfrmRestore::btBrowseClick()
{
    const QString text = edFile->text();
    QString folder;
    if (!text.isEmpty() && QFileInfo(text).isDir())
        folder = text;
    else if (!text.isEmpty() && text.contains(QLatin1Char('/')))
        folder = QFileInfo(text).path();
    if (folder.isEmpty())
        folder = Platform::Get().UserOutputDir(); // where the backup proposes to write packages
    const QString picked = DialogService::Get().GetOpenFileName(
        QString(), folder, QStringLiteral("MCO/CAB file (*.mco *.cab);;MCO file (*.mco);;CAB file (*.cab)"));
    if (!picked.isEmpty())
        edFile->setText(picked);
}

void TfrmRestore::btCloseClick() { close(); }

void TfrmRestore::btStartClick()
{
    const TLanguage &lang = CurrentLanguage();
    // 1. nothing chosen yet
    if (edFile->text().isEmpty()) {
        PlainMessageBox(lang.Get(QStringLiteral("SelectCabFirst")));
        btBrowse->click();
    }
    const QString file = edFile->text();
    // 2.
    if (!QFileInfo(file).isFile()) {
        LangMessageDlg(FormatText(lang.Get(QStringLiteral("FileNotFound")), {file}), TMsgDlgType::mtError, mbOK);
        return;
    }
    // 3. asked once per dialog
    if (!Continuation
        && LangMessageDlg(FormatText(lang.Get(QStringLiteral("InstallCabConfirm")), {QFileInfo(file).fileName()}),
                          TMsgDlgType::mtInformation, mbOK | mbCancel)
               != mrOk)
        return;
    // 4. the copy the server offers, alone in a folder of this dialog's own
    QString reason;
    const bool sameFile = m_stage && QFileInfo(file).canonicalFilePath() == QFileInfo(m_stage->CopyPath()).canonicalFilePath();
    if (!sameFile) {
        m_stage.reset();
        m_stage = TPackageStage::Create(Platform::Get().AppDir(), file, &reason);
        if (!m_stage) {
            LangMessageDlg(QStringLiteral("Failed to copy file to program directory:\r") + reason, TMsgDlgType::mtError, mbOK);
            return;
        }
    }
    // 5. serve the copy's folder on the address and port of the fields
    SetButtonsEnabled(false);
    HTTPServer.SetServedFolder(m_stage->Folder());
    if (!StartWebServer())
        return;
    // 6. the URL with the port actually listened on
    const QString url = PackageUrl(Listen.address, HTTPServer.Port());
    // 7. hand it to the installer
    try {
        MessengerContentInstaller1->InstallFromUrl(url);
    } catch (const Exception &e) {
        LangMessageDlg(QStringLiteral("Error ") + e.ClassName() + QStringLiteral(": ") + e.Message()
                           + QStringLiteral("\r\r") + lang.Get(QStringLiteral("EnsureSignedIn")),
                       TMsgDlgType::mtError, mbOK);
        StopWebServer();
        SetButtonsEnabled(true);
    }
    // 8. the installer's event carries on
}

void TfrmRestore::MessengerContentInstaller1ContentInstalled(TMessengerContentInstaller *, qint32 lhrResult)
{
    StopWebServer();
    lbWaiting->hide();
    TMsgDlgType kind;
    const QString message = ContentInstalledMessage(lhrResult, &kind);
    LangMessageDlg(message, kind, mbOK);
    SetButtonsEnabled(true);
    if (lhrResult != 0)
        return;
    Continuation = true;
    const QString next = NextPartFile(edFile->text());
    if (next.isEmpty())
        return;
    if (LangMessageDlg(FormatText(CurrentLanguage().Get(QStringLiteral("ContCabConf")), {QFileInfo(next).fileName()}),
                       TMsgDlgType::mtConfirmation, mbYes | mbCancel)
        != mrYes)
        return;
    edFile->setText(next);
    // once the event handler has returned and the loop is idle
    QTimer::singleShot(0, this, [this] { btStart->click(); });
}

bool TfrmRestore::StartWebServer()
{
    const bool started = zorvak::StartWebServer(HTTPServer, edIp->text(), edPort->text(), SimpleMode(),
                                                [this](const QString &port) { edPort->setText(port); }, &Listen);
    if (!started)
        SetButtonsEnabled(true);
    return started;
}

void TfrmRestore::StopWebServer() { HTTPServer.Deactivate(); }

void TfrmRestore::FormClose()
{
    m_closed = true;
    try {
        StopWebServer();
        MessengerContentInstaller1->Disconnect();
        m_stage.reset(); // this dialog's copy only
    } catch (...) {
    }
}

void TfrmRestore::closeEvent(QCloseEvent *event)
{
    FormClose();
    QDialog::closeEvent(event);
}

void TfrmRestore::done(int result)
{
    if (!m_closed)
        FormClose();
    QDialog::done(result);
}

} // namespace zorvak
