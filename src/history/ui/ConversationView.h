#pragma once
// The preview of one conversation: a list of rows (a date row before each session and each new
// day; then time, name and text in the text's own font and colour) drawn by a delegate, so that a
// conversation of any length shows its first screen at once while the rest is read on another
// thread. Texts are drawn as plain text, never read as markup. A file cut short or damaged shows
// what was read and a notice above the list.
#include "history/Conversation.h"

#include <QAbstractListModel>
#include <QStyledItemDelegate>
#include <QWidget>

class QLabel;
class QListView;

namespace zorvak::history {

class TConversationModel : public QAbstractListModel {
public:
    enum Roles { DateRowRole = Qt::UserRole + 1, EntryRole };
    explicit TConversationModel(QObject *parent) : QAbstractListModel(parent) {}
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // Display: the row as text ("date", or "HH:mm:ss name: text"), for screen readers and copies.
    QVariant data(const QModelIndex &index, int role) const override;
    const TConversation &Conversation() const { return m_conversation; }
    void Clear();
    void Append(std::vector<THistoryEntry> &&batch);
    void SetFilter(const QString &filter);

private:
    TConversation m_conversation;
};

class TConversationDelegate : public QStyledItemDelegate {
public:
    TConversationDelegate(const TConversationModel &model, const QListView *view, QObject *parent)
        : QStyledItemDelegate(parent), m_model(model), m_view(view) {}
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // Heights already measured are for one width; another width measures again.
    void Forget() const { m_heights.clear(); }

private:
    const TConversationModel &m_model;
    const QListView *m_view;
    mutable std::vector<quint16> m_heights;   // by entry, for m_width; 0: not measured
    mutable int m_width = -1;
};

class TConversationView : public QWidget {
    Q_OBJECT
public:
    explicit TConversationView(QWidget *parent);
    ~TConversationView() override;
    // Shows the conversation of a history file (what was shown before is let go).
    void Show(const QString &path);
    void Clear();
    // Keeps the entries holding `filter`; the entry that was current stays current when kept.
    void SetFilter(const QString &filter);
    // Whether the whole file has been read.
    bool Loaded() const { return m_loaded; }
    QString Path() const { return m_path; }
    const TConversationModel &Model() const { return *m_model; }
    QListView *List() const { return m_list; }
    QLabel *Notice() const { return m_notice; }
    void RefreshCaptions();

signals:
    // The first entries are in the list.
    void started();
    // The whole file was read (or reading stopped at a cut or damage).
    void loaded();

private:
    TConversationModel *m_model;
    TConversationDelegate *m_delegate;
    QListView *m_list;
    QLabel *m_notice;
    TBackgroundJob *m_job;
    QString m_path;
    bool m_loaded = false;
    TReadOutcome m_outcome = TReadOutcome::Complete;
    QString m_problem;
};

} // namespace zorvak::history
