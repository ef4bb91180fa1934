#pragma once
// Builders for the windows' controls. Every control carries the name the window's design gives
// it: tests, the dialog service and the settings of each window find controls by that name.
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QPushButton>
#include <QString>

#include <utility>

class QBoxLayout;
class QDialog;
class QPushButton;
class QWidget;

namespace zorvak {

// A new control of type W, made from `args` as W's constructor takes them (the parent last) and
// named `name`.
template <typename W, typename... Args> W *NewNamed(const char *name, Args &&...args)
{
    auto *control = new W(std::forward<Args>(args)...);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// A push button whose width does not follow its text: it asks for the room of `WidthText` (its
// usual caption) and shows a longer text cut at the end, whole in its tooltip.
class TElidedButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    void SetWidthText(const QString &text);
    // The text (kept whole in text()) and its tooltip.
    void SetFullText(const QString &text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_widthText;
};

// Adds a dialog's closing row to `outer`: "btOk" (the default button) and "btCancel" at the right.
// Cancel rejects the dialog; what OK does is the dialog's to connect.
void AddOkCancelRow(QDialog *dialog, QBoxLayout *outer, QPushButton *&ok, QPushButton *&cancel);

// Makes `main` the button that Return presses anywhere in `dialog`: it is the default button and
// no other push button of the dialog (browse, icon or closing buttons) takes the default when it
// gets the focus. Call it once every button of the dialog exists.
void SetMainButton(QDialog *dialog, QPushButton *main);

// The contrast of two colours as the accessibility guidelines define it (1 to 21; text wants 4.5).
double ContrastRatio(const QColor &a, const QColor &b);
// A palette is dark when its window colour is.
bool IsDarkPalette(const QPalette &palette);
// A colour of the design (teal notes, green rows) on `palette`'s `background`: the seed itself on a
// light palette, on a dark one the seed lightened until its text is readable there.
QColor ReadableColour(const QPalette &palette, const QColor &seed, QPalette::ColorRole background = QPalette::Window);

// What a screen reader says for a control whose text does not name it (a glyph, an icon, an
// image): its accessible name and, when given, its description.
void SetAccessible(QWidget *control, const QString &name, const QString &description = QString());

// An icon of the desktop's theme (`themeName`, as the freedesktop naming has it), else the
// program's own drawing `fallback` (":/shell/icons/<fallback>.svg"), vector and sharp at any scale.
QIcon ThemedIcon(const char *themeName, const char *fallback);

// The font of secondary text (counts, notes): `font` one step (15 %) smaller, whatever its size.
QFont SecondaryFont(const QFont &font);

} // namespace zorvak
