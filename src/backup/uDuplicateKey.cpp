#include "backup/uDuplicateKey.h"

#include "browse/ui/Preview.h"
#include "common/Exceptions.h"
#include "shell/Controls.h"
#include "shell/uLanguage.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace zorvak {

namespace {
const char *kTag = "tag";
}

void PreviewInto(const QString &path, QLabel *image)
{
    TPreview::Of(image)->Load(path);
}

TfrmDuplicateKey::TfrmDuplicateKey(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("TfrmDuplicateKey"));
    // The close button is greyed: the window closes through its buttons only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto make = [this](QLabel *&image, QLabel *&info, QPushButton *&edit, const char *imageName,
                       const char *infoName, const char *editName) {
        image = NewNamed<QLabel>(imageName, this);
        image->setAlignment(Qt::AlignCenter);
        image->setMinimumSize(96, 96);
        info = NewNamed<QLabel>(infoName, this);
        info->setAlignment(Qt::AlignCenter);
        edit = NewNamed<QPushButton>(editName, CurrentLanguage().Get(QStringLiteral("Edit")), this);
    };
    make(Image1, lbInfo1, btEdit1, "Image1", "lbInfo1", "btEdit1");
    make(Image2, lbInfo2, btEdit2, "Image2", "lbInfo2", "btEdit2");
    Bevel1 = NewNamed<QFrame>("Bevel1", this);
    Bevel1->setFrameShape(QFrame::VLine);
    Bevel1->setFrameShadow(QFrame::Raised);
    btIgnore = NewNamed<QPushButton>("btIgnore", CurrentLanguage().Get(QStringLiteral("Ignore")), this);
    btIgnore->setProperty(kTag, -1);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Image1, 0, 0);
    grid->addWidget(lbInfo1, 1, 0);
    grid->addWidget(Bevel1, 0, 1, 2, 1);
    grid->addWidget(Image2, 0, 2);
    grid->addWidget(lbInfo2, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btEdit1);
    buttons->addStretch();
    buttons->addWidget(btIgnore);
    buttons->addStretch();
    buttons->addWidget(btEdit2);
    grid->addLayout(buttons, 2, 0, 1, 3);

    for (QPushButton *b : {btEdit1, btEdit2, btIgnore})
        connect(b, &QPushButton::clicked, this, [this, b] { btEdit1Click(b); });
    SetMainButton(this, btEdit1);
}

void TfrmDuplicateKey::AddEntry(int row, const QString &filePath, const QString &name, const QString &key)
{
    QLabel *image = nullptr;
    QLabel *info = nullptr;
    QPushButton *edit = nullptr;
    if (EntryCount == 0) {
        image = Image1;
        info = lbInfo1;
        edit = btEdit1;
        FirstKey = key;
    } else if (EntryCount == 1) {
        image = Image2;
        info = lbInfo2;
        edit = btEdit2;
        const bool overlap = key != FirstKey;
        setWindowTitle(CurrentLanguage().Get(overlap ? QStringLiteral("tiOverlapKey") : QStringLiteral("tiDuplicateKey")));
        btIgnore->setVisible(overlap);
    } else {
        throw Exception(QStringLiteral("Internal error: Already set 2 duplicate keys."));
    }
    PreviewInto(filePath, image);
    const TLanguage &L = CurrentLanguage();
    info->setText(L.Get(QStringLiteral("Filename")) + QStringLiteral(" = ") + QFileInfo(filePath).fileName()
                  + QLatin1Char('\n') + L.Get(QStringLiteral("KeySequence")) + QStringLiteral(" = ") + key
                  + QLatin1Char('\n') + L.Get(QStringLiteral("Name")) + QStringLiteral(" = ") + name);
    edit->setProperty(kTag, row);
    ++EntryCount;
}

void TfrmDuplicateKey::btEdit1Click(QPushButton *sender) { done(sender->property(kTag).toInt()); }

void TfrmDuplicateKey::reject()
{
    if (!btIgnore->isHidden())
        btEdit1Click(btIgnore);
}

void TfrmDuplicateKey::closeEvent(QCloseEvent *event) { event->ignore(); }

} // namespace zorvak
