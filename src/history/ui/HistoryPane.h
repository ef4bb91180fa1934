#pragma once
// The History node in the main window: the list of its conversations (contact or recovered
// address, messages, first and last day) in the file list, the selected one in the preview area,
// and the export of a conversation or of the whole folder to a folder the user chooses.
#include "history/Conversation.h"
#include "history/HistoryExport.h"

#include <QObject>
#include <QString>
#include <optional>

class QListWidget;

namespace zorvak::history {

class TConversationView;

class THistoryPane : public QObject {
    Q_OBJECT
public:
    // `rows`: the list the conversations are listed in; `view`: where the selected one is shown.
    THistoryPane(QListWidget *rows, TConversationView *view, QObject *parent);
    ~THistoryPane() override;

    // Lists the conversations of `folder` when it is a History folder (true), else lets go of
    // what it showed (false). The counts and dates of each row follow, read on another thread.
    bool ShowFolder(const QString &folder);
    void Leave();
    bool Active() const { return m_folder.has_value(); }
    const THistoryFolder &Folder() const { return *m_folder; }
    // The file names of the rows (row i <-> file i).
    QStringList FileNames() const;
    // Shows the conversation of the selected row.
    void ShowSelected();
    // "Save as": exports the selected conversation.
    void SaveSelected();
    // The text of a row, in the language in use.
    QString RowText(int row) const;
    void RefreshCaptions();

signals:
    // Every row has its counts.
    void summarized();

private:
    QListWidget *m_rows;
    TConversationView *m_view;
    TBackgroundJob *m_job;
    std::optional<THistoryFolder> m_folder;
    std::vector<std::optional<TConversationSummary>> m_summaries;
};

// Asks for a format and a folder and exports the conversations of `source` (a History folder or
// one file) into a folder `name` there, through the dialog service; the result is told.
void SaveConversations(const QString &source, const QString &name);

} // namespace zorvak::history
