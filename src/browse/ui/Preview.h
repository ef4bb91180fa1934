#pragma once
// The preview of one picture control: the still picture or the animated movie it shows, and how
// it is fitted (stretched to the control or at actual size, proportions kept or not). The state
// lives here as members; the control only paints what it is given. A stretched picture is
// enlarged at most twice, a small one without smoothing (PictureScale.h). A Flash movie has no
// player here: it is shown as an information card in a second label.
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QString>

class QLabel;
class QMovie;

namespace zorvak {

class TPreview : public QObject {
    Q_OBJECT
public:
    // The preview of `image`, made on first use; it lives as long as the control.
    static TPreview *Of(QLabel *image);
    // The preview of `image` when one was made, else null.
    static TPreview *Find(const QLabel *image);

    void Clear();
    // Loads a picture or an animated GIF; an unreadable file leaves the control empty.
    void Load(const QString &path);
    bool HasPicture() const;
    QSize PictureSize() const;
    // After loading: stretched (proportions kept) when larger than the control, else actual size.
    void FitToControl();
    // A click on the control: toggles between stretched (at most twice the picture's size) and
    // actual size.
    void ToggleStretch();
    bool Stretched() const { return m_stretch; }
    bool Proportional() const { return m_proportional; }

    // The Flash information card in `flash`.
    // `shownName`: the name the user knows the movie by (the preview plays a copy); empty: the
    // movie's own file name.
    void PlayFlash(QLabel *flash, const QString &movie, const QString &shownName = QString());
    void StopFlash(QLabel *flash);
    // The movie whose card is shown; empty when none.
    QString FlashMovie() const { return m_flashMovie; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TPreview(QLabel *image);
    void Apply();
    void ShowFrame(); // the movie's current frame, enlarged without smoothing

    QLabel *m_image;
    QMovie *m_movie = nullptr;     // owned; animated pictures
    QSize m_movieSize;             // the movie's own size
    QPixmap m_picture;             // still pictures at their own size
    bool m_stretch = false;
    bool m_proportional = false;
    QSize m_shown;                 // the size the picture is shown at
    bool m_sharpFrames = false;    // a small movie enlarged: its frames are drawn by ShowFrame
    QString m_flashMovie;
};

} // namespace zorvak
