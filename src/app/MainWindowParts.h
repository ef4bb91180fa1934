#pragma once
// Parts of the main window that are not about its content: the floating "working" notice with
// its countdown, the fitting of the three panels to their captions, the hint display time, and
// the clean-up of the temporary files at closing.
#include <QLabel>
#include <QList>
#include <QRect>
#include <QObject>
#include <QString>
#include <functional>

class QMainWindow;
class QSplitter;
class QTimer;

namespace zorvak {

// The floating "working" notice: shown on top, never takes the focus. With a number of seconds
// it hides itself after that many ticks of the window's timer.
class TStatusHint : public QObject {
    Q_OBJECT
public:
    TStatusHint(QWidget *owner, QTimer *timer);
    ~TStatusHint() override;
    // Shows `text` ("\r" as line breaks) at top/left, or centred on `owner` where they are -1.
    void Show(const QString &text, int top, int left, unsigned char seconds);
    void Hide();
    bool Visible() const;
    QString Text() const;
    // One tick of the timer.
    void Tick();

private:
    QWidget *m_owner;
    QTimer *m_timer;
    QLabel *m_window;
    unsigned char m_ticks = 0;
    bool m_countdown = false;
};

// Gives the folder side and the file list at least their design widths (243 and 107) and every
// panel at least the room its captions need in the font and language in use, widening the window
// when the panels need more than it has. The folder side keeps its width when the window changes
// size, and so does the file list. `initial`: at the first show, from the design widths or, when
// given, the widths the user left; otherwise from the widths in use, so a language switch keeps
// what the user has set.
void FitPanels(QMainWindow *window, QSplitter *outer, QSplitter *inner, bool initial, int keptSide = 0,
               int keptList = 0);

// Where the main window opens: `kept` (a geometry without the frame) when its top strip, where
// the title bar is grabbed, lies on one of `screens` (their available areas, the first one the
// primary), cut to that screen's size; otherwise, and when none was kept, the first-time
// placement: about 70 % of the first screen (never below the design's 581 x 444 where the screen
// has room), centred on it.
QRect OpeningGeometry(const QRect &kept, const QList<QRect> &screens);

// Widens the folder side of `outer` to `wanted` (the tree's longest shown name), never beyond
// 40 % of `window`'s width and never narrower than it is.
void WidenFolderSide(QWidget *window, QSplitter *outer, int wanted);

// Runs `fit` once, when `window` is first shown: only then do the size hints come from the style
// and font the window is shown with.
void FitOnFirstShow(QWidget *window, std::function<void()> fit);

// Hints stay 6 seconds in every window of the program, also in those made later (dialogs, labels
// created at run time): each widget gets that display time when it is first polished.
void KeepHintsSixSeconds(QObject *owner);
// The look of hints in every window (pale green, dark blue text on a light desktop; the desktop's
// tooltip font) and their six seconds.
void SetHintLook(QObject *owner);

// Removes the program's temporary folders and files from `appDir` when the window closes: the
// folders "~tmp", "~tmp2" and "~tmpCache" (a link or a file in a folder's place is removed
// itself, never followed) and every file matching "~tmp.*" or named "~tmp". Errors are ignored.
void RemoveWorkFiles(const QString &appDir);

} // namespace zorvak
