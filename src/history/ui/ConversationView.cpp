#include "history/ui/ConversationView.h"

#include "shell/Controls.h"
#include "shell/uLanguage.h"
#include "common/unitString.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QPainter>
#include <QTextLayout>
#include <QVBoxLayout>

namespace zorvak::history {

namespace {

constexpr int kMargin = 4;

QString DateCaption(const THistoryEntry &entry)
{
    const QDate day = LocalDay(entry);
    return day.isValid() ? QLocale().toString(day, QLocale::LongFormat) : Lang("HistoryNoTime");
}

// The font of an entry's text: the list's font with the carried family, weight, slant and line.
QFont TextFont(const QFont &base, const TTextStyle &style)
{
    QFont font = base;
    if (!style.fontFamily.isEmpty())
        font.setFamilies({style.fontFamily, base.family()});
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    return font;
}

bool IsEvent(const THistoryEntry &entry) { return entry.kind != TEntryKind::Message; }

// "name: text" laid out in `width`, the name bold and the text in its own font. Line breaks of the
// text stay line breaks; nothing of it is read as markup.
void LayOut(QTextLayout &layout, const THistoryEntry &entry, const QFont &base, int width, const QColor &colour = QColor())
{
    const QString who = EntryWho(entry);
    QString text = EntryText(entry);
    text.replace(QLatin1String("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    const QString prefix = who.isEmpty() || IsEvent(entry) ? QString() : who + QStringLiteral(": ");
    layout.setText(prefix + text);
    layout.setFont(base);
    QList<QTextLayout::FormatRange> formats;
    if (!prefix.isEmpty()) {
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        formats.append({0, int(prefix.size()), bold});
    }
    QTextCharFormat own;
    own.setFont(IsEvent(entry) ? [&] { QFont f = base; f.setItalic(true); return f; }() : TextFont(base, entry.style));
    if (colour.isValid())
        own.setForeground(colour);
    formats.append({int(prefix.size()), int(text.size()), own});
    layout.setFormats(formats);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 16));
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
}

int ClockWidth(const QFontMetrics &metrics) { return metrics.horizontalAdvance(QStringLiteral("00:00:00")) + 2 * kMargin; }

} // namespace

int TConversationModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_conversation.RowCount();
}

QVariant TConversationModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_conversation.RowCount())
        return {};
    const int row = index.row();
    const THistoryEntry &entry = m_conversation.Entry(row);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        if (m_conversation.IsDateRow(row))
            return DateCaption(entry);
        return LocalClock(entry) + QLatin1Char(' ')
               + (EntryWho(entry).isEmpty() || IsEvent(entry) ? QString() : EntryWho(entry) + QStringLiteral(": "))
               + EntryText(entry);
    case DateRowRole:
        return m_conversation.IsDateRow(row);
    case EntryRole:
        return m_conversation.EntryIndex(row);
    default:
        return {};
    }
}

void TConversationModel::Clear()
{
    beginResetModel();
    m_conversation.Clear();
    endResetModel();
}

void TConversationModel::Append(std::vector<THistoryEntry> &&batch)
{
    // The rows of a batch are made first and shown in one insertion.
    const int before = m_conversation.RowCount();
    const int added = m_conversation.Append(std::move(batch));
    if (added == 0)
        return;
    beginInsertRows(QModelIndex(), before, before + added - 1);
    m_conversation.ShowAppended();
    endInsertRows();
}

void TConversationModel::SetFilter(const QString &filter)
{
    beginResetModel();
    m_conversation.SetFilter(filter);
    endResetModel();
}

QSize TConversationDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QFontMetrics metrics(option.font);
    const TConversation &c = m_model.Conversation();
    const int width = m_view->viewport()->width();
    if (c.IsDateRow(index.row()))
        return QSize(width, metrics.height() + 4 * kMargin);
    if (width != m_width) {
        m_heights.clear();
        m_width = width;
    }
    const size_t entry = size_t(c.EntryIndex(index.row()));
    if (m_heights.size() < size_t(c.EntryCount()))
        m_heights.resize(size_t(c.EntryCount()), 0);
    if (m_heights[entry] == 0) {
        QTextLayout layout;
        LayOut(layout, c.Entry(index.row()), option.font, width - ClockWidth(metrics) - kMargin);
        const int height = int(std::ceil(layout.boundingRect().height())) + kMargin;
        m_heights[entry] = quint16(std::clamp(height, metrics.height(), 65535));
    }
    return QSize(width, m_heights[entry]);
}

void TConversationDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const TConversation &c = m_model.Conversation();
    const THistoryEntry &entry = c.Entry(index.row());
    const QPalette &palette = option.palette;
    const QRect rect = option.rect;
    painter->save();
    if (c.IsDateRow(index.row())) {
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(palette.color(QPalette::PlaceholderText));
        const int middle = rect.center().y() + kMargin / 2;
        const QString caption = DateCaption(entry);
        const int textWidth = QFontMetrics(bold).horizontalAdvance(caption) + 4 * kMargin;
        painter->drawLine(rect.left() + kMargin, middle, rect.center().x() - textWidth / 2, middle);
        painter->drawLine(rect.center().x() + textWidth / 2, middle, rect.right() - kMargin, middle);
        painter->setPen(palette.color(QPalette::Text));
        painter->drawText(rect.adjusted(0, kMargin, 0, 0), Qt::AlignCenter, caption);
        painter->restore();
        return;
    }
    if (option.state & QStyle::State_Selected)
        painter->fillRect(rect, palette.brush(QPalette::Highlight));
    const bool selected = option.state & QStyle::State_Selected;
    const QColor text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QFontMetrics metrics(option.font);
    const int clock = ClockWidth(metrics);
    painter->setFont(option.font);
    painter->setPen(selected ? text : palette.color(QPalette::PlaceholderText));
    painter->drawText(QRect(rect.left() + kMargin, rect.top() + kMargin / 2, clock, metrics.height()), Qt::AlignLeft,
                      LocalClock(entry));
    // The text's colour, made readable on the list's background when it is not.
    QColor own = text;
    if (IsEvent(entry))
        own = palette.color(QPalette::PlaceholderText);
    else if (!selected && !entry.style.color.isEmpty())
        own = ReadableColour(palette, QColor::fromString(entry.style.color), QPalette::Base);
    if (!selected && IsEvent(entry))
        painter->setPen(own);
    else
        painter->setPen(text);
    QTextLayout layout;
    LayOut(layout, entry, option.font, rect.width() - clock - kMargin, own);
    layout.draw(painter, QPointF(rect.left() + clock, rect.top() + kMargin / 2));
    painter->restore();
}

TConversationView::TConversationView(QWidget *parent)
    : QWidget(parent), m_model(new TConversationModel(this)), m_delegate(nullptr),
      m_job(new TBackgroundJob(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_notice = NewNamed<QLabel>("lbHistoryNotice", this);
    m_notice->setWordWrap(true);
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->hide();
    layout->addWidget(m_notice);
    m_list = NewNamed<QListView>("lvConversation", this);
    m_list->setModel(m_model);
    m_delegate = new TConversationDelegate(*m_model, m_list, this);
    m_list->setItemDelegate(m_delegate);
    m_list->setUniformItemSizes(false);
    m_list->setWordWrap(true);
    // Rows are measured a batch at a time between events: the first screen shows at once.
    m_list->setLayoutMode(QListView::Batched);
    m_list->setBatchSize(200);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(m_list, 1);
}

// The reading stops before the model it fills goes.
TConversationView::~TConversationView() { m_job->Stop(); }

void TConversationView::RefreshCaptions()
{
    SetAccessible(m_list, Lang("Preview"));
    if (m_loaded && m_outcome != TReadOutcome::Complete)
        m_notice->setText(FormatText(Lang(m_outcome == TReadOutcome::Cut ? "HistoryCut" : "HistoryDamaged"), {m_problem}));
}

void TConversationView::Clear()
{
    m_job->Stop();
    m_path.clear();
    m_loaded = false;
    m_notice->hide();
    m_model->Clear();
    m_delegate->Forget();
}

void TConversationView::Show(const QString &path)
{
    Clear();
    m_path = path;
    m_outcome = TReadOutcome::Complete;
    m_problem.clear();
    TConversationFeed feed;
    feed.batch = [this](std::vector<THistoryEntry> &&batch) {
        const bool first = m_model->rowCount() == 0 && m_model->Conversation().EntryCount() == 0;
        m_model->Append(std::move(batch));
        if (first)
            emit started();
    };
    feed.done = [this](TReadOutcome outcome, const QString &problem, const QStringList &) {
        m_loaded = true;
        m_outcome = outcome;
        m_problem = problem;
        m_notice->setVisible(outcome != TReadOutcome::Complete);
        RefreshCaptions();
        emit loaded();
    };
    StartReading(*m_job, path, std::move(feed));
}

void TConversationView::SetFilter(const QString &filter)
{
    if (filter == m_model->Conversation().Filter())
        return;
    const QModelIndex current = m_list->currentIndex();
    const int entry = current.isValid() ? m_model->Conversation().EntryIndex(current.row()) : -1;
    m_model->SetFilter(filter);
    const int row = entry >= 0 ? m_model->Conversation().RowOfEntry(entry) : -1;
    if (row >= 0) {
        m_list->setCurrentIndex(m_model->index(row));
        m_list->scrollTo(m_model->index(row));
    }
}

} // namespace zorvak::history
