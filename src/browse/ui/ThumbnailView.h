#pragma once
// The file list as a grid of thumbnails. The grid shows the rows of another view's model and
// shares that view's selection model, so the current row, the selection and every handler tied to
// the list stay one and the same whichever of the two is shown. What each row shows (its file, its
// kind, its caption lines) comes from a callback; the pictures from a TThumbnailer, filled in as
// they are made. Flash movies, sounds and other files show an icon of their kind.
#include "browse/Recognition.h"

#include <QHash>
#include <QListView>
#include <QImage>
#include <functional>

namespace zorvak {

class TThumbnailer;

class TThumbnailView : public QListView {
    Q_OBJECT
public:
    struct TRow {
        QString path;                  // the file on disk
        TPreviewKind kind = pkOther;   // by its recognised extension
        QString caption;               // first line: the name and shortcut when known, else the file name
        QString detail;                // second line: the file name under a known name
    };
    using TRowSource = std::function<TRow(int row)>;

    TThumbnailView(TThumbnailer &maker, QWidget *parent);

    // Shows the rows of `list`'s model with `list`'s selection.
    void ShareWith(QAbstractItemView *list);
    void SetRowSource(TRowSource source) { m_source = std::move(source); }
    // 48 to 192 pixels; a change re-makes the thumbnails and emits thumbSizeChanged.
    void SetThumbSize(int size);
    int ThumbSize() const { return m_size; }
    // Forgets the pictures shown and asks for those of every row (the rows changed, or their
    // folder). While the grid is hidden nothing is made; it is made when the grid is shown.
    void Refill();
    // Drops the work of the previous rows (another folder is being listed).
    void CancelWork();
    // Repaints the captions (names unlocked, language switched).
    void RefreshCaptions();

    // For tests and the benchmark: the picture shown for a row (null while none), and how many
    // rows have their picture.
    QImage Thumbnail(int row) const { return m_pictures.value(row); }
    int ThumbnailCount() const { return int(m_pictures.size()); }
    TRow RowAt(int row) const;

signals:
    void thumbSizeChanged(int size);
    // A thumbnail arrived and was painted in (the benchmark counts them).
    void thumbnailShown(int row);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Arrived(quint64 request, int index, const QImage &image);
    void UpdateGrid();

    TThumbnailer &m_maker;
    TRowSource m_source;
    int m_size = 96;
    int m_wheelRest = 0;            // Ctrl + wheel: the part of a step not yet applied
    bool m_stale = true;            // rows changed while hidden
    quint64 m_request = 0;
    QList<int> m_rowOfJob;          // job index -> row
    QHash<int, QImage> m_pictures;  // row -> picture shown (painted as it is: no conversion per row)
    friend class TThumbnailDelegate;
};

} // namespace zorvak
