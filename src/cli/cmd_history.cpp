// zorvak-cli history: the conversation histories Messenger kept, listed or exported.
#include "cli/CliCommand.h"
#include "cli/Progress.h"
#include "cli/VerbOptions.h"
#include "common/Exceptions.h"
#include "export/NamedExport.h"
#include "history/HistoryExport.h"
#include "history/HistoryFind.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

using namespace zorvak;
using namespace zorvak::cli;
using namespace zorvak::history;

const QString kJson = QStringLiteral("json");
const QString kFormat = QStringLiteral("format");
const QString kAccount = QStringLiteral("account");
const QString kQuiet = QStringLiteral("quiet");

QString Time(const QDateTime &time, bool local)
{
    if (!time.isValid())
        return {};
    THistoryEntry e;
    e.time = time;
    e.localTime = local;
    return IsoTime(e);
}

QString OutcomeName(TReadOutcome outcome)
{
    switch (outcome) {
    case TReadOutcome::Cut: return QStringLiteral("cut");
    case TReadOutcome::Damaged: return QStringLiteral("damaged");
    case TReadOutcome::Refused: return QStringLiteral("refused");
    case TReadOutcome::Complete: break;
    }
    return QStringLiteral("complete");
}

bool IsError(TReadOutcome outcome) { return outcome == TReadOutcome::Refused || outcome == TReadOutcome::Damaged; }

// The file's problems on standard error: refusals and damage as errors, the rest as warnings.
void Report(const QString &file, TReadOutcome outcome, const QString &problem, const QStringList &warnings)
{
    Progress::ClearCurrent();
    if (!problem.isEmpty())
        Err() << "zorvak-cli history: " << TerminalText(file) << ": " << (IsError(outcome) ? "" : "warning: ")
              << TerminalText(problem) << "\n";
    for (const QString &w : warnings)
        Err() << "zorvak-cli history: " << TerminalText(file) << ": warning: " << TerminalText(w) << "\n";
}

QJsonValue OrNull(const QString &text) { return text.isEmpty() ? QJsonValue() : QJsonValue(text); }

int RunList(const QStringList &args)
{
    VerbOptions options("history");
    options.Flag(kJson);
    if (!options.Parse(args))
        return options.UsageStatus();
    int status = 0;
    const std::optional<QString> path = options.OnlyArgument(QStringLiteral("give a folder or a history file"), &status);
    if (!path)
        return status;
    if (!QFileInfo::exists(*path))
        return options.Fail(QStringLiteral("not found: ") + *path);
    const std::vector<THistoryFolder> folders = FindHistory(*path);
    bool failed = false;
    QJsonArray histories;
    int count = 0;
    for (const THistoryFolder &folder : folders) {
        QList<TConversationSummary> summaries;
        QJsonArray conversations;
        for (const THistoryFile &file : folder.files) {
            const TConversationSummary s = Summarize(file);
            summaries << s;
            ++count;
            failed = failed || IsError(s.outcome);
            Report(file.path, s.outcome, s.problem, s.warnings);
            if (options.IsSet(kJson)) {
                conversations.append(QJsonObject{{QStringLiteral("file"), file.path},
                                                 {QStringLiteral("contact"), file.contact},
                                                 {QStringLiteral("contactId"), OrNull(file.contactId)},
                                                 {QStringLiteral("contactAddress"), OrNull(file.contactAddress)},
                                                 {QStringLiteral("entries"), double(s.entries)},
                                                 {QStringLiteral("messages"), double(s.messages)},
                                                 {QStringLiteral("sessions"), double(s.sessions)},
                                                 {QStringLiteral("first"), OrNull(Time(s.first, s.localTime))},
                                                 {QStringLiteral("last"), OrNull(Time(s.last, s.localTime))},
                                                 {QStringLiteral("localTime"), s.localTime},
                                                 {QStringLiteral("outcome"), OutcomeName(s.outcome)},
                                                 {QStringLiteral("problem"), OrNull(s.problem)},
                                                 {QStringLiteral("warnings"), QJsonArray::fromStringList(s.warnings)}});
            } else {
                Out() << named::TsvValue(file.contact) << '\t' << named::TsvValue(file.contactAddress) << '\t' << s.messages
                      << '\t' << Time(s.first, s.localTime) << '\t' << Time(s.last, s.localTime) << '\t'
                      << named::TsvValue(file.path) << '\n';
            }
        }
        if (options.IsSet(kJson))
            histories.append(QJsonObject{{QStringLiteral("folder"), folder.folder},
                                         {QStringLiteral("user"), folder.userName},
                                         {QStringLiteral("userId"), OrNull(folder.userId)},
                                         {QStringLiteral("userAddress"), OrNull(OwnAddress(folder, summaries))},
                                         {QStringLiteral("profile"), OrNull(folder.profile)},
                                         {QStringLiteral("messengerFolder"), OrNull(folder.messengerFolder)},
                                         {QStringLiteral("conversations"), conversations}});
    }
    if (options.IsSet(kJson))
        WriteJson({{QStringLiteral("histories"), histories}, {QStringLiteral("ok"), !failed && count > 0}});
    Out().flush();
    if (count == 0)
        return PrintError("history", QStringLiteral("no Messenger history found in ") + *path);
    return failed ? 1 : 0;
}

int RunExport(const QStringList &args)
{
    VerbOptions options("history");
    options.Value(kFormat, QStringLiteral("FORMAT"), QStringLiteral("html, pidgin, text or json"))
        .Value(kAccount, QStringLiteral("EMAIL"), QStringLiteral("an e-mail address"))
        .Flag(kJson)
        .Flag(kQuiet);
    if (!options.Parse(args))
        return options.UsageStatus();
    const QStringList positional = options.Positional();
    if (positional.size() != 2)
        return options.Usage(QStringLiteral("give a history folder or file and an output folder"));
    if (!options.IsSet(kFormat))
        return options.Usage(QStringLiteral("give --format html, pidgin, text or json"));
    const std::optional<THistoryFormat> format = FormatByName(options.Get(kFormat));
    if (!format)
        return options.Usage(QStringLiteral("unknown format %1 (html, pidgin, text or json)").arg(options.Get(kFormat)));
    THistoryExportRequest request;
    request.source = positional.at(0);
    request.output = positional.at(1);
    request.format = *format;
    request.account = options.Get(kAccount).trimmed();
    if (!QFileInfo::exists(request.source))
        return options.Fail(QStringLiteral("not found: ") + request.source);

    THistoryExportResult result;
    {
        Progress progress(Progress::Wanted(options.IsSet(kQuiet)));
        try {
            result = RunHistoryExport(request, [&progress](int done, int total, const QString &current) {
                progress.Update(done, total, QFileInfo(current).fileName());
            });
        } catch (const Exception &e) {
            progress.Clear();
            return options.Fail(e.Message());
        }
    }
    for (const TExportedConversation &c : result.conversations)
        Report(c.file, c.outcome, c.problem, c.warnings);
    for (const QString &failure : result.failures)
        Err() << "zorvak-cli history: could not write " << TerminalText(failure) << "\n";
    if (result.merged)
        Err() << "zorvak-cli history: added to the existing folder " << TerminalText(result.output)
              << " (no file there was replaced)\n";

    QStringList written;
    if (result.format == THistoryFormat::Json)
        written << QStringLiteral("history.json");
    for (const TExportedConversation &c : result.conversations)
        written << c.written;
    if (result.format == THistoryFormat::Html)
        written << QStringLiteral("index.html");
    if (options.IsSet(kJson)) {
        QJsonArray conversations;
        for (const TExportedConversation &c : result.conversations)
            conversations.append(QJsonObject{{QStringLiteral("file"), c.file},
                                             {QStringLiteral("contact"), c.contact},
                                             {QStringLiteral("contactAddress"), OrNull(c.contactAddress)},
                                             {QStringLiteral("entries"), double(c.entries)},
                                             {QStringLiteral("messages"), double(c.messages)},
                                             {QStringLiteral("outcome"), OutcomeName(c.outcome)},
                                             {QStringLiteral("problem"), OrNull(c.problem)},
                                             {QStringLiteral("warnings"), QJsonArray::fromStringList(c.warnings)},
                                             {QStringLiteral("written"), QJsonArray::fromStringList(c.written)}});
        WriteJson({{QStringLiteral("output"), result.output},
                   {QStringLiteral("format"), FormatName(result.format)},
                   {QStringLiteral("merged"), result.merged},
                   {QStringLiteral("conversations"), conversations},
                   {QStringLiteral("failures"), QJsonArray::fromStringList(result.failures)},
                   {QStringLiteral("ok"), result.Ok()}});
    } else {
        for (const QString &w : written)
            Out() << named::TsvValue(result.output + u'/' + w) << '\n';
    }
    Out().flush();
    return result.Ok() ? 0 : 1;
}

int Run(const QStringList &args)
{
    const QString sub = args.value(0);
    if (sub == QLatin1String("list"))
        return RunList(args.mid(1));
    if (sub == QLatin1String("export"))
        return RunExport(args.mid(1));
    return UsageError("history", QStringLiteral("give list or export (see zorvak-cli history --help)"));
}

} // namespace

ZORVAK_CLI_COMMAND("history", "list or export Messenger's conversation histories",
                   "Usage: zorvak-cli history list PATH [--json]\n"
                   "       zorvak-cli history export PATH OUT --format html|pidgin|text|json [--account EMAIL]\n"
                   "                                 [--json] [--quiet]\n"
                   "PATH is a profiles folder, a Windows profile, a My Received Files folder, a user's folder\n"
                   "in it, a History folder or one history file.\n"
                   "list prints one conversation a line: the contact (the file's name), a tab, the contact's\n"
                   "address when it can be recovered, a tab, the number of messages, a tab, the first and\n"
                   "the last time (UTC; without \"Z\" when only the writer's local time is known), each\n"
                   "followed by a tab, and the file. --json prints one document: {\"histories\": [...]}, each\n"
                   "with its folder, user, address and \"conversations\".\n"
                   "export writes: json, OUT/history.json; pidgin, Pidgin's logs (OUT/msn/ACCOUNT/BUDDY/, one\n"
                   "file per session; ACCOUNT is --account, the user's address or the folder's name); text,\n"
                   "one .txt per conversation; html, OUT/index.html and one page per conversation. It prints\n"
                   "the files written, one a line (--json: one document). OUT must be missing, empty or an\n"
                   "earlier history export (whose files are then replaced), and never inside PATH; with\n"
                   "pidgin it may also be Pidgin's own logs folder, where files are added and none replaced.\n"
                   "A file that ends early is read up to the cut, with a warning. Exit status 1 when no\n"
                   "history is found or a file is refused or damaged (the others are still written).",
                   Run);
