#include "browse/ui/ThumbnailView.h"

#include "browse/ui/Thumbnailer.h"
#include "shell/Controls.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>

namespace zorvak {

namespace {
constexpr int kPadding = 6;
constexpr int kSizeStep = 16;
} // namespace

// Paints one cell: the picture (or the icon of the row's kind) centred in a square of the
// thumbnail size, the file name under it and, when known, the name and shortcut as a second line.
class TThumbnailDelegate : public QStyledItemDelegate {
public:
    explicit TThumbnailDelegate(TThumbnailView *view) : QStyledItemDelegate(view), m_view(view) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        const int line = option.fontMetrics.height();
        return {m_view->m_size + 2 * kPadding, m_view->m_size + 2 * line + 3 * kPadding};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.icon = QIcon();
        QStyle *style = m_view->style();
        const bool selected = opt.state.testFlag(QStyle::State_Selected);
        // The selected cell is filled with the selection colour whatever the style draws for
        // icon views (some styles fill only behind the text, which this cell draws itself), so
        // that its caption, in the selection's text colour, stays readable.
        const QPalette::ColorGroup group = !opt.state.testFlag(QStyle::State_Enabled) ? QPalette::Disabled
                                           : m_view->hasFocus()                       ? QPalette::Active
                                                                                      : QPalette::Inactive;
        if (selected)
            painter->fillRect(opt.rect.adjusted(1, 1, -1, -1), opt.palette.brush(group, QPalette::Highlight));
        else
            style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, m_view);

        const int row = index.row();
        const TThumbnailView::TRow item = m_view->RowAt(row);
        const int size = m_view->m_size;
        const QRect box(opt.rect.left() + (opt.rect.width() - size) / 2, opt.rect.top() + kPadding, size, size);
        auto centred = [&box, size](QSize shown) {
            return QRect(box.left() + (size - shown.width()) / 2, box.top() + (size - shown.height()) / 2,
                         shown.width(), shown.height());
        };
        const auto found = m_view->m_pictures.constFind(row);
        if (found != m_view->m_pictures.cend() && !found->isNull()) {
            painter->drawImage(centred(found->size()), *found);
        } else if (found != m_view->m_pictures.cend() || (item.kind != pkPicture && item.kind != pkCabinet)) {
            // No picture to show: the icon of the file's kind (a file that could not be read
            // shows as a plain file).
            const QPixmap icon = KindIcon(found != m_view->m_pictures.cend() ? pkOther : item.kind, size);
            painter->drawPixmap(centred(icon.deviceIndependentSize().toSize()), icon);
        }

        painter->save();
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const int line = opt.fontMetrics.height();
        const QRect text(opt.rect.left() + 2, box.bottom() + kPadding, opt.rect.width() - 4, line);
        painter->drawText(text, Qt::AlignHCenter | Qt::AlignVCenter,
                          opt.fontMetrics.elidedText(item.caption, Qt::ElideMiddle, text.width()));
        if (!item.detail.isEmpty())
            painter->drawText(text.translated(0, line), Qt::AlignHCenter | Qt::AlignVCenter,
                              opt.fontMetrics.elidedText(item.detail, Qt::ElideMiddle, text.width()));
        painter->restore();
        // The current cell shows where the keyboard is.
        if (opt.state.testFlag(QStyle::State_HasFocus)) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(opt);
            focus.rect = opt.rect.adjusted(1, 1, -1, -1);
            focus.backgroundColor = opt.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, m_view);
        }
    }

private:
    QPixmap KindIcon(TPreviewKind kind, int size) const
    {
        const QIcon icon = kind == pkFlash   ? ThemedIcon("video-x-generic", "movie")
                           : kind == pkSound ? ThemedIcon("audio-x-generic", "sound")
                                             : ThemedIcon("text-x-generic", "file");
        return icon.pixmap(std::min(size, 64));
    }

    TThumbnailView *m_view;
};

TThumbnailView::TThumbnailView(TThumbnailer &maker, QWidget *parent) : QListView(parent), m_maker(maker)
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(200);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new TThumbnailDelegate(this));
    connect(&m_maker, &TThumbnailer::ready, this, &TThumbnailView::Arrived);
    UpdateGrid();
}

void TThumbnailView::ShareWith(QAbstractItemView *list)
{
    setModel(list->model());
    QItemSelectionModel *own = selectionModel();
    setSelectionModel(list->selectionModel());
    if (own && own != list->selectionModel())
        own->deleteLater();
}

TThumbnailView::TRow TThumbnailView::RowAt(int row) const { return m_source ? m_source(row) : TRow{}; }

void TThumbnailView::UpdateGrid()
{
    const int line = fontMetrics().height();
    setGridSize(QSize(m_size + 2 * kPadding + 4, m_size + 2 * line + 3 * kPadding + 4));
    setIconSize(QSize(m_size, m_size));
}

void TThumbnailView::SetThumbSize(int size)
{
    size = std::clamp(size, TThumbnailer::kMinSize, TThumbnailer::kMaxSize);
    if (size == m_size)
        return;
    m_size = size;
    UpdateGrid();
    Refill();
    emit thumbSizeChanged(size);
}

void TThumbnailView::CancelWork()
{
    m_maker.Cancel();
    m_rowOfJob.clear();
    m_pictures.clear();
    m_stale = true;
}

void TThumbnailView::Refill()
{
    m_pictures.clear();
    m_rowOfJob.clear();
    if (!isVisible() || !model()) {
        m_maker.Cancel();
        m_stale = true;
        return;
    }
    m_stale = false;
    QList<TThumbJob> jobs;
    const int rows = model()->rowCount();
    for (int row = 0; row < rows; ++row) {
        const TRow item = RowAt(row);
        if (item.kind != pkPicture && item.kind != pkCabinet)
            continue;
        jobs.append({item.path, item.kind});
        m_rowOfJob.append(row);
    }
    m_request = m_maker.Request(jobs, m_size);
    viewport()->update();
}

void TThumbnailView::RefreshCaptions()
{
    UpdateGrid();
    viewport()->update();
}

void TThumbnailView::Arrived(quint64 request, int index, const QImage &image)
{
    if (request != m_request || index < 0 || index >= m_rowOfJob.size())
        return;
    const int row = m_rowOfJob.at(index);
    m_pictures.insert(row, image);
    if (model())
        viewport()->update(visualRect(model()->index(row, 0)));
    emit thumbnailShown(row);
}

void TThumbnailView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        // Touchpads send small deltas: they add up to whole steps of the wheel.
        m_wheelRest += event->angleDelta().y();
        const int steps = m_wheelRest / 120;
        m_wheelRest %= 120;
        if (steps != 0)
            SetThumbSize(m_size + steps * kSizeStep);
        event->accept();
        return;
    }
    QListView::wheelEvent(event);
}

void TThumbnailView::showEvent(QShowEvent *event)
{
    QListView::showEvent(event);
    if (m_stale)
        Refill();
}

} // namespace zorvak
