#include "history/ui/HistoryPane.h"

#include "history/ui/ConversationView.h"
#include "common/Exceptions.h"
#include "common/PathBytes.h"
#include "common/SafeName.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/uLanguage.h"
#include "shell/unitCustomDlg.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QLocale>
#include <QSignalBlocker>
#include <memory>

namespace zorvak::history {

namespace {

QString ShortDay(const QDateTime &time, bool local)
{
    if (!time.isValid())
        return QStringLiteral("?");
    return QLocale().toString(local ? time.date() : time.toLocalTime().date(), QLocale::ShortFormat);
}

// What a row shows of a file, read in one pass that stops as soon as `stop` is set (a large file
// does not hold the window up when another folder is chosen).
TConversationSummary SummarizeUnless(const THistoryFile &file, const std::atomic_bool &stop)
{
    TConversationSummary s;
    s.file = file;
    THistoryReader reader(file.path);
    THistoryEntry e;
    while (!stop && reader.Next(e)) {
        ++s.entries;
        if (e.kind == TEntryKind::Message)
            ++s.messages;
        if (!e.time.isValid())
            continue;
        s.localTime = s.localTime || e.localTime;
        if (!s.first.isValid() || e.time < s.first)
            s.first = e.time;
        if (!s.last.isValid() || e.time > s.last)
            s.last = e.time;
    }
    s.outcome = reader.Outcome();
    s.problem = reader.Problem();
    return s;
}

} // namespace

THistoryPane::THistoryPane(QListWidget *rows, TConversationView *view, QObject *parent)
    : QObject(parent), m_rows(rows), m_view(view), m_job(new TBackgroundJob(this))
{
}

THistoryPane::~THistoryPane() { m_job->Stop(); }

void THistoryPane::Leave()
{
    m_job->Stop();
    m_folder.reset();
    m_summaries.clear();
    m_view->Clear();
}

bool THistoryPane::ShowFolder(const QString &folder)
{
    std::optional<THistoryFolder> found = HistoryFolderAt(folder);
    Leave();
    if (!found)
        return false;
    m_folder = std::move(found);
    const QList<THistoryFile> files = m_folder->files;
    m_summaries.assign(size_t(files.size()), std::nullopt);
    {
        const QSignalBlocker block(m_rows);
        for (int row = 0; row < files.size(); ++row) {
            m_rows->addItem(RowText(row));
            m_rows->item(row)->setToolTip(DisplayPath(files.at(row).path));
        }
    }
    // Each file read once for its counts, one after the other, away from the window's thread.
    m_job->Start([this, files](const std::atomic_bool &stop, const TBackgroundJob::TPost &post) {
        for (int row = 0; row < files.size() && !stop; ++row) {
            auto summary = std::make_shared<TConversationSummary>(SummarizeUnless(files.at(row), stop));
            if (stop)
                return;
            post([this, row, summary] {
                if (size_t(row) >= m_summaries.size())
                    return;
                m_summaries[size_t(row)] = std::move(*summary);
                if (QListWidgetItem *item = m_rows->item(row)) {
                    const QSignalBlocker block(m_rows);
                    item->setText(RowText(row));
                }
            });
        }
        if (!stop)
            post([this] {
                m_job->Done();
                emit summarized();
            });
    });
    return true;
}

QStringList THistoryPane::FileNames() const
{
    QStringList names;
    if (m_folder)
        for (const THistoryFile &file : m_folder->files)
            names << QFileInfo(file.path).fileName();
    return names;
}

QString THistoryPane::RowText(int row) const
{
    if (!m_folder || row < 0 || row >= m_folder->files.size())
        return {};
    const THistoryFile &file = m_folder->files.at(row);
    const QString who = file.contactAddress.isEmpty() ? DisplayPath(file.contact)
                                                      : file.contactAddress + QStringLiteral(" (") + DisplayPath(file.contact) + u')';
    const std::optional<TConversationSummary> &summary = m_summaries[size_t(row)];
    if (!summary)
        return FormatText(Lang("HistoryRowReading"), {who});
    if (summary->outcome == TReadOutcome::Refused)
        return FormatText(Lang("HistoryRowRefused"), {who});
    return FormatText(Lang("HistoryRow"), {who, summary->messages, ShortDay(summary->first, summary->localTime),
                                           ShortDay(summary->last, summary->localTime)});
}

void THistoryPane::RefreshCaptions()
{
    if (!m_folder)
        return;
    const QSignalBlocker block(m_rows);
    for (int row = 0; row < m_rows->count() && row < m_folder->files.size(); ++row)
        m_rows->item(row)->setText(RowText(row));
    m_view->RefreshCaptions();
}

void THistoryPane::ShowSelected()
{
    const int row = m_rows->currentRow();
    if (!m_folder || row < 0 || row >= m_folder->files.size()) {
        m_view->Clear();
        return;
    }
    m_view->Show(m_folder->files.at(row).path);
}

void THistoryPane::SaveSelected()
{
    const int row = m_rows->currentRow();
    if (!m_folder || row < 0 || row >= m_folder->files.size()) {
        PlainMessageBox(Lang("PleaseSelectFile"));
        return;
    }
    const THistoryFile &file = m_folder->files.at(row);
    SaveConversations(file.path, file.contactAddress.isEmpty() ? file.contact : file.contactAddress);
}

void SaveConversations(const QString &source, const QString &name)
{
    // The format first, as buttons: the four formats and Cancel.
    const THistoryFormat formats[] = {THistoryFormat::Html, THistoryFormat::Pidgin, THistoryFormat::Text, THistoryFormat::Json};
    const int answer = CustomMessageDlg(StripAmpersands(Lang("SaveAs")), FormatText(Lang("HistorySaveFormat"), {name}),
                                        TMsgDlgType::mtConfirmation, mbYes | mbNo | mbOK | mbAll | mbCancel,
                                        {QStringLiteral("HTML"), QStringLiteral("Pidgin"), Lang("HistoryText"),
                                         QStringLiteral("JSON"), Lang("mbCancel")});
    const int results[] = {mrYes, mrNo, mrOk, mrAll};
    std::optional<THistoryFormat> format;
    for (int i = 0; i < 4; ++i)
        if (answer == results[i])
            format = formats[i];
    if (!format)
        return;
    const QString chosen = DialogService::Get().BrowseForFolder(
        FormatText(Lang("SaveFolderTo"), {QLatin1Char('"') + name + QLatin1Char('"')}), Platform::Get().UserOutputDir());
    if (chosen.isEmpty())
        return;
    const QString output = QDir(chosen).absoluteFilePath(named::SafeStem(name));
    THistoryExportRequest request;
    request.source = source;
    request.output = output;
    request.format = *format;
    if (const QString refusal = HistoryOutputRefusal(source, output, *format); !refusal.isEmpty()) {
        LangMessageDlg(refusal, TMsgDlgType::mtError, mbOK);
        return;
    }
    THistoryExportResult result;
    ShowStatusHint(Lang("HistoryExporting") + QStringLiteral("..."), -1, -1, 0);
    try {
        result = RunHistoryExport(request);
    } catch (const std::exception &error) {
        HideStatusHint();
        LangMessageDlg(ExceptionMessage(error), TMsgDlgType::mtError, mbOK);
        return;
    }
    HideStatusHint();
    QString report = FormatText(Lang("HistoryExported"), {int(result.conversations.size()), DisplayPath(result.output)});
    QStringList problems = result.failures;
    for (const TExportedConversation &c : std::as_const(result.conversations)) {
        if (!c.problem.isEmpty())
            problems << c.file + QStringLiteral(": ") + c.problem;
    }
    if (!problems.isEmpty())
        report += QStringLiteral("\r\r") + Lang("HistoryProblems") + QLatin1Char('\r') + problems.join(QLatin1Char('\r'));
    LangMessageDlg(report, result.Ok() ? TMsgDlgType::mtInformation : TMsgDlgType::mtWarning, mbOK);
    Platform::Get().OpenUrl(result.output);
}

} // namespace zorvak::history
