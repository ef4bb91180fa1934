#include "history/HistoryExport.h"

#include "common/Exceptions.h"
#include "common/ExportFolder.h"
#include "common/FileOps.h"
#include "common/SafeName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QCoreApplication>
#include <QHash>
#include <QThread>
#include <QUrl>
#include <QStringEncoder>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace zorvak::history {

namespace {

const exportfolder::TMarkerKind kMarkerKind{kHistoryMarkerFile, QByteArrayLiteral("zorvak history export\n")};
constexpr qsizetype kMaxPidginName = 200;

// `text` in UTF-8 at the end of `out`, without a converted copy in between.
void AppendUtf8(QByteArray &out, QStringView text)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    const qsizetype at = out.size();
    out.resize(at + encoder.requiredSpace(text.size()));
    char *end = encoder.appendToBuffer(out.data() + at, text);
    out.truncate(end - out.constData());
    if (encoder.hasError()) {
        // A lone surrogate: written as QString::toUtf8 writes it ("?"), as before.
        out.truncate(at);
        out += text.toUtf8();
    }
}

// Bytes gathered in a buffer, handed on (the derived class's Drain) once it holds `Limit` bytes.
template <class TDerived, qsizetype Limit>
class TBuffered {
public:
    TDerived &operator<<(QByteArrayView bytes)
    {
        m_buffer.append(bytes.data(), bytes.size());
        return Checked();
    }
    TDerived &operator<<(const QString &text)
    {
        AppendUtf8(m_buffer, text);
        return Checked();
    }
    TDerived &operator<<(const char *text) { return *this << QByteArrayView(text, qstrlen(text)); }

protected:
    static constexpr qsizetype kLimit = Limit;
    QByteArray m_buffer;

private:
    TDerived &Checked()
    {
        auto &self = static_cast<TDerived &>(*this);
        if (m_buffer.size() >= Limit)
            self.Drain();
        return self;
    }
};

// A file written through a buffer, under a temporary name beside it until Commit renames it (no
// sync to disk: thousands of session files would each wait for the disk).
class TOutFile : public TBuffered<TOutFile, 1 << 20> {
public:
    ~TOutFile() { Cancel(); }
    bool Open(const QString &path)
    {
        Cancel();
        m_path = path;
        static std::atomic<unsigned> counter{0};
        m_file = std::make_unique<QFile>(QStringLiteral("%1.%2-%3.part").arg(path).arg(QCoreApplication::applicationPid()).arg(counter++));
        m_buffer.resize(0);
        m_buffer.reserve(kLimit + 4096);
        m_failed = false;
        return m_file->open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    bool IsOpen() const { return m_file && m_file->isOpen(); }
    // Empty on success, else the reason.
    QString Commit()
    {
        if (!m_file)
            return QStringLiteral("not open");
        Drain();
        QString error = m_failed ? m_file->errorString() : QString();
        m_file->close();
        if (error.isEmpty() && m_file->error() != QFileDevice::NoError)
            error = m_file->errorString();
        if (error.isEmpty() && ::rename(QFile::encodeName(m_file->fileName()).constData(), QFile::encodeName(m_path).constData()) != 0)
            error = QString::fromLocal8Bit(std::strerror(errno));
        if (!error.isEmpty())
            m_file->remove();
        m_file.reset();
        return error;
    }
    void Cancel()
    {
        if (m_file)
            m_file->remove();
        m_file.reset();
    }
    // Writes out what the buffer holds (the buffer calls it when full).
    void Drain()
    {
        if (!m_buffer.isEmpty() && m_file && m_file->write(m_buffer) != m_buffer.size())
            m_failed = true;
        m_buffer.resize(0); // keeps its room
    }

private:
    std::unique_ptr<QFile> m_file;
    QString m_path;
    bool m_failed = false;
};

// One conversation's share of a file that several conversations are joined into: in memory up to
// a size, then in a temporary file in the output folder, so that conversations exported side by
// side are joined in their order in bounded memory.
class TPiece : public TBuffered<TPiece, 512 * 1024> {
public:
    explicit TPiece(QString spillPath) : m_spillPath(std::move(spillPath)) {}
    ~TPiece()
    {
        if (m_spill)
            m_spill->remove();
    }
    // Appends the piece to `out`; empty on success, else the reason.
    QString CopyTo(TOutFile &out)
    {
        if (!m_spill) {
            out << QByteArrayView(m_buffer);
            return {};
        }
        Drain();
        if (!m_error.isEmpty())
            return m_error;
        if (!m_spill->seek(0))
            return m_spill->errorString();
        QByteArray chunk;
        while (!m_spill->atEnd()) {
            chunk = m_spill->read(kLimit);
            if (chunk.isEmpty())
                return m_spill->errorString();
            out << QByteArrayView(chunk);
        }
        return {};
    }
    // Moves what the buffer holds into the temporary file (the buffer calls it when full).
    void Drain()
    {
        if (!m_spill) {
            m_spill = std::make_unique<QFile>(m_spillPath);
            if (!m_spill->open(QIODevice::ReadWrite | QIODevice::NewOnly))
                m_error = m_spill->errorString();
        }
        if (m_error.isEmpty() && m_spill->write(m_buffer) != m_buffer.size())
            m_error = m_spill->errorString();
        m_buffer.resize(0); // keeps its room
    }

private:
    QString m_spillPath;
    std::unique_ptr<QFile> m_spill;
    QString m_error;
};

// `text` as a JSON string appended to `out` ("null" for an empty text when `nullWhenEmpty`).
void AppendJson(QString &out, const QString &text, bool nullWhenEmpty)
{
    if (text.isEmpty() && nullWhenEmpty) {
        out += QLatin1String("null");
        return;
    }
    out += u'"';
    qsizetype plain = 0; // start of the run of characters that need no escape
    const qsizetype n = text.size();
    const QChar *d = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i].unicode();
        if (c >= 0x20 && c != u'"' && c != u'\\' && c != 0x2028 && c != 0x2029)
            continue;
        out.append(d + plain, i - plain);
        plain = i + 1;
        switch (c) {
        case u'"': out += QLatin1String("\\\""); break;
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        case u'\t': out += QLatin1String("\\t"); break;
        default: out += QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
        }
    }
    out.append(d + plain, n - plain);
    out += u'"';
}

QString JsonString(const QString &text)
{
    QString out;
    AppendJson(out, text, false);
    return out;
}

QString JsonOrNull(const QString &text) { return text.isEmpty() ? QStringLiteral("null") : JsonString(text); }

// `text` escaped for HTML, appended to `out`: line breaks as <br/>, control characters as U+FFFD.
void AppendHtml(QString &out, QStringView text)
{
    qsizetype plain = 0; // start of the run of characters kept as they are
    const qsizetype n = text.size();
    const QChar *d = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i].unicode();
        if (c >= 0x20 && c != u'&' && c != u'<' && c != u'>' && c != u'"' && c != u'\'')
            continue;
        if (c == u'\t')
            continue;
        out.append(d + plain, i - plain);
        plain = i + 1;
        switch (c) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case u'\'': out += QLatin1String("&#39;"); break;
        case u'\r': break;
        case u'\n': out += QLatin1String("<br/>"); break;
        default: out += QChar(0xFFFD);
        }
    }
    out.append(d + plain, n - plain);
}

QString Html(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    AppendHtml(out, text);
    return out;
}

// The style of a text as CSS declarations (values already checked by ParseStyle).
QString Css(const TTextStyle &style)
{
    QString css;
    if (!style.fontFamily.isEmpty())
        css += QStringLiteral("font-family:'%1';").arg(style.fontFamily);
    if (!style.color.isEmpty())
        css += QStringLiteral("color:%1;").arg(style.color);
    if (style.bold)
        css += QLatin1String("font-weight:bold;");
    if (style.italic)
        css += QLatin1String("font-style:italic;");
    if (style.underline)
        css += QLatin1String("text-decoration:underline;");
    return css;
}

// The text of an entry in one line of plain text: its lines joined, the file of an invitation added.
QString EntryText(const THistoryEntry &e)
{
    QString text = e.text;
    if (!e.file.isEmpty() && !text.contains(e.file))
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + u'(' + e.file + u')';
    return text;
}

// EntryText(e) escaped for HTML, appended to `out`.
void AppendEntryHtml(QString &out, const THistoryEntry &e)
{
    AppendHtml(out, e.text);
    if (!e.file.isEmpty() && !e.text.contains(e.file)) {
        if (!e.text.isEmpty())
            out += u' ';
        out += u'(';
        AppendHtml(out, e.file);
        out += u')';
    }
}

// "HH:MM:SS" appended to `out`; "??:??:??" for an unknown time.
void AppendHhMmSs(QString &out, const QDateTime &time)
{
    if (!time.isValid()) {
        out += QLatin1String("??:??:??");
        return;
    }
    const QTime t = time.time();
    const int parts[] = {t.hour(), t.minute(), t.second()};
    for (int i = 0; i < 3; ++i) {
        if (i)
            out += u':';
        out += QChar(u'0' + parts[i] / 10);
        out += QChar(u'0' + parts[i] % 10);
    }
}

QString HhMmSs(const QDateTime &time)
{
    QString out;
    AppendHhMmSs(out, time);
    return out;
}

// One conversation being exported: where it comes from, whose it is.
struct TSource {
    const THistoryFolder *folder = nullptr;
    const THistoryFile *file = nullptr;
    QString relative;   // to the source
    QString account;    // Pidgin's account folder name (before escaping)
    QString stem;       // the file name chosen for per-conversation formats (without extension)
};

class TWriter {
public:
    virtual ~TWriter() = default;
    virtual void Begin(const TSource &source) = 0;
    virtual void Entry(const THistoryEntry &entry) = 0;
    virtual void End(TExportedConversation &conversation) = 0;
    virtual void Finish(const QList<TExportedConversation> &) {}

    QString output;
    QStringList *failures = nullptr;
    QStringList written;         // by the current conversation

    void Done(TOutFile &file, const QString &relative)
    {
        if (const QString error = file.Commit(); !error.isEmpty()) {
            *failures << relative + QStringLiteral(": ") + error;
            return;
        }
        written << relative;
    }
    bool OpenFile(TOutFile &file, const QString &relative)
    {
        const QString path = output + u'/' + relative;
        const QString folder = QFileInfo(path).absolutePath();
        // Sessions of one conversation go to one folder: it is made once.
        if (folder != m_madeFolder && QDir().mkpath(folder))
            m_madeFolder = folder;
        if (folder != m_madeFolder || !file.Open(path)) {
            *failures << relative + QStringLiteral(": cannot write");
            return false;
        }
        return true;
    }

private:
    QString m_madeFolder;
};

// history.json is made of one piece per conversation (written side by side), joined in order.
class TJsonWriter : public TWriter {
public:
    TPiece *piece = nullptr; // the current conversation's
    void Begin(const TSource &s) override
    {
        *piece << QStringLiteral("{\"file\":%1,\"contact\":%2,\"contactAddress\":%3,\"messages\":[")
                      .arg(JsonString(s.relative), JsonString(s.file->contact), JsonOrNull(s.file->contactAddress));
        m_entries = 0;
    }
    void Entry(const THistoryEntry &e) override
    {
        m_line.resize(0); // keeps its room
        m_line += QLatin1String(m_entries++ ? ",\n{\"kind\":\"" : "\n{\"kind\":\"");
        m_line += KindName(e.kind);
        m_line += QLatin1String("\",\"time\":");
        if (const QString time = IsoTime(e); time.isEmpty()) {
            m_line += QLatin1String("null");
        } else {
            m_line += u'"';
            m_line += time;
            m_line += u'"';
        }
        m_line += QLatin1String(",\"session\":");
        m_line += QString::number(e.session);
        m_line += QLatin1String(",\"from\":");
        AppendJson(m_line, e.from, true);
        m_line += QLatin1String(",\"to\":[");
        for (qsizetype i = 0; i < e.to.size(); ++i) {
            if (i)
                m_line += u',';
            AppendJson(m_line, e.to.at(i), false);
        }
        m_line += QLatin1String("],\"text\":");
        AppendJson(m_line, e.text, false);
        m_line += u'}';
        *piece << m_line;
    }
    void End(TExportedConversation &) override { *piece << (m_entries ? "\n]}" : "]}"); }

private:
    QString m_line;
    qint64 m_entries = 0;
};

class TTextWriter : public TWriter {
public:
    void Begin(const TSource &s) override
    {
        m_relative = s.stem + QStringLiteral(".txt");
        m_open = OpenFile(m_out, m_relative);
    }
    void Entry(const THistoryEntry &e) override
    {
        if (!m_open)
            return;
        QString &line = m_line;
        line.resize(0); // keeps its room
        line += u'[';
        line += PlainTime(e.time);
        line += QLatin1String("] ");
        if (!e.from.isEmpty()) {
            line += e.from;
            line += QLatin1String(": ");
        }
        line += e.text;
        if (!e.file.isEmpty() && !e.text.contains(e.file)) {
            if (!e.text.isEmpty())
                line += u' ';
            line += u'(';
            line += e.file;
            line += u')';
        }
        line.remove(u'\r');
        line += u'\n';
        m_out << line;
    }
    void End(TExportedConversation &) override
    {
        if (m_open)
            Done(m_out, m_relative);
        m_open = false;
    }

private:
    TOutFile m_out;
    QString m_line;
    QString m_relative;
    bool m_open = false;
};

const char *const kPageStyle =
    "body{font-family:sans-serif;margin:2em;max-width:60em}h2{font-size:1em;color:#555;border-bottom:1px solid #ccc;"
    "margin-top:1.5em}.e{margin:.2em 0}.t{color:#888;font-size:.85em}.n{font-weight:bold}.s{color:#666;font-style:italic}"
    "table{border-collapse:collapse}td,th{padding:.2em .8em;text-align:left;border-bottom:1px solid #ddd}.w{color:#a00}";

QString PageHead(const QString &title)
{
    return QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                          "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">"
                          "<title>%1</title><style>%2</style></head><body>\n")
        .arg(Html(title), QLatin1String(kPageStyle));
}

class THtmlWriter : public TWriter {
public:
    QStringList pages; // every conversation's page, in order (for the index)
    void Begin(const TSource &s) override
    {
        m_relative = s.stem + QStringLiteral(".html");
        m_open = OpenFile(m_out, m_relative);
        m_session = -1;
        m_first = true;
        if (!m_open)
            return;
        const QString title = s.file->contactAddress.isEmpty() ? s.file->contact : s.file->contactAddress;
        m_out << PageHead(QStringLiteral("Conversations with ") + title);
        m_out << QStringLiteral("<h1>%1</h1>\n<p><a href=\"%2\">All conversations</a> &middot; %3</p>\n")
                     .arg(Html(title), Html(Up(m_relative) + QStringLiteral("index.html")), Html(s.relative));
    }
    void Entry(const THistoryEntry &e) override
    {
        if (!m_open)
            return;
        if (m_first || e.session != m_session) {
            m_out << QStringLiteral("<h2>%1</h2>\n").arg(Html(PlainTime(e.time).left(e.time.isValid() ? 16 : 10)));
            m_first = false;
            m_session = e.session;
        }
        QString line = QStringLiteral("<div class=\"e %1\"><span class=\"t\">%2</span> ").arg(KindName(e.kind), HhMmSs(e.time));
        const QString css = Css(e.style);
        const QString text = Html(EntryText(e));
        if (e.kind == TEntryKind::Message) {
            line += QStringLiteral("<span class=\"n\">%1</span>: ").arg(Html(e.from));
            line += css.isEmpty() ? text : QStringLiteral("<span style=\"%1\">%2</span>").arg(Html(css), text);
        } else {
            line += QStringLiteral("<span class=\"s\">%1%2</span>").arg(e.from.isEmpty() ? QString() : Html(e.from) + QStringLiteral(": "), text);
        }
        line += QStringLiteral("</div>\n");
        m_out << line;
    }
    void End(TExportedConversation &) override
    {
        if (!m_open)
            return;
        m_out << "</body></html>\n";
        Done(m_out, m_relative);
        m_open = false;
    }
    void Finish(const QList<TExportedConversation> &conversations) override
    {
        TOutFile index;
        if (!OpenFile(index, QStringLiteral("index.html")))
            return;
        index << PageHead(QStringLiteral("Conversations"));
        index << "<h1>Conversations</h1>\n<table>\n<tr><th>Contact</th><th>Address</th><th>Messages</th><th>First</th>"
                 "<th>Last</th><th>File</th></tr>\n";
        int page = 0;
        for (const TExportedConversation &c : conversations) {
            QString contact = Html(c.contact);
            if (c.outcome != TReadOutcome::Refused && page < pages.size())
                contact = QStringLiteral("<a href=\"%1\">%2</a>").arg(Html(Href(pages.at(page++))), contact);
            QString file = Html(c.file);
            if (!c.problem.isEmpty())
                file += QStringLiteral(" <span class=\"w\">%1</span>").arg(Html(c.problem));
            index << QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td></tr>\n")
                         .arg(contact, Html(c.contactAddress), QString::number(c.messages),
                              c.first.isValid() ? Html(PlainTime(c.first)) : QString(),
                              c.last.isValid() ? Html(PlainTime(c.last)) : QString(), file);
        }
        index << "</table>\n<p>Times are UTC.</p>\n</body></html>\n";
        Done(index, QStringLiteral("index.html"));
    }

private:
    static QString Up(const QString &relative) { return QStringLiteral("../").repeated(relative.count(u'/')); }
    static QString Href(const QString &relative)
    {
        QStringList parts;
        for (const QString &p : relative.split(u'/'))
            parts << QString::fromLatin1(QUrl::toPercentEncoding(p));
        return parts.join(u'/');
    }
    TOutFile m_out;
    QString m_relative;
    bool m_open = false;
    bool m_first = true;
    qint64 m_session = -1;
};

class TPidginWriter : public TWriter {
public:
    static QString Buddy(const TSource &s) { return s.file->contactAddress.isEmpty() ? s.file->contact : s.file->contactAddress.toLower(); }
    // The conversation's folder, relative to the output.
    static QString FolderOf(const TSource &s) { return QStringLiteral("msn/") + PidginEscape(s.account) + u'/' + PidginEscape(Buddy(s)); }
    void Begin(const TSource &s) override
    {
        m_folder = FolderOf(s);
        m_buddy = Buddy(s);
        m_account = s.account;
        m_started = false;
        m_fallback = QFileInfo(s.file->path).lastModified().toUTC();
    }
    void Entry(const THistoryEntry &e) override
    {
        if (!m_started || e.session != m_session)
            StartSession(e);
        if (!m_open)
            return;
        QString &line = m_line;
        line.resize(0); // keeps its room
        if (e.kind == TEntryKind::Message) {
            const TTextStyle &st = e.style;
            line += QLatin1String("<font color=\"#A82F2F\"><font size=\"2\">(");
            AppendHhMmSs(line, e.time);
            line += QLatin1String(")</font> <b>");
            AppendHtml(line, e.from);
            line += QLatin1String(":</b></font> ");
            const bool font = !st.fontFamily.isEmpty() || !st.color.isEmpty();
            if (font) {
                line += QLatin1String("<font");
                if (!st.fontFamily.isEmpty())
                    line += QLatin1String(" face=\"") + Html(st.fontFamily) + u'"';
                if (!st.color.isEmpty())
                    line += QLatin1String(" color=\"") + st.color + u'"';
                line += u'>';
            }
            if (st.bold)
                line += QLatin1String("<b>");
            if (st.italic)
                line += QLatin1String("<i>");
            if (st.underline)
                line += QLatin1String("<u>");
            AppendEntryHtml(line, e);
            if (st.underline)
                line += QLatin1String("</u>");
            if (st.italic)
                line += QLatin1String("</i>");
            if (st.bold)
                line += QLatin1String("</b>");
            if (font)
                line += QLatin1String("</font>");
            line += QLatin1String("<br/>\n");
        } else {
            line += QLatin1String("<font size=\"2\">(");
            AppendHhMmSs(line, e.time);
            line += QLatin1String(")</font><b> ");
            AppendEntryHtml(line, e);
            line += QLatin1String("</b><br/>\n");
        }
        m_out << line;
    }
    void End(TExportedConversation &) override { EndSession(); }

private:
    void StartSession(const THistoryEntry &e)
    {
        EndSession();
        m_started = true;
        m_session = e.session;
        QDateTime start = e.time.isValid() ? e.time : m_fallback;
        if (!start.isValid())
            start = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
        // A name already taken (another session, a log already there) gets the next free second.
        QString relative;
        for (int i = 0; i < 100000; ++i) {
            relative = m_folder + u'/' + PidginLogName(start.addSecs(i));
            if (!QFileInfo::exists(output + u'/' + relative) && !m_taken.contains(relative))
                break;
        }
        m_taken.insert(relative);
        m_relative = relative;
        m_open = OpenFile(m_out, relative);
        if (!m_open)
            return;
        const QString date = QLocale::c().toString(start.toUTC(), QStringLiteral("ddd dd MMM yyyy hh:mm:ss")) + QStringLiteral(" UTC");
        const QString title = QStringLiteral("Conversation with %1 at %2 on %3 (msn)").arg(Html(m_buddy), date, Html(m_account));
        m_out << QStringLiteral("<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\"><title>%1</title>"
                                "</head><body><h3>%1</h3>\n")
                     .arg(title);
    }
    void EndSession()
    {
        if (!m_open)
            return;
        m_out << "</body></html>\n";
        Done(m_out, m_relative);
        m_open = false;
    }

    TOutFile m_out;
    QString m_line;
    QString m_folder, m_buddy, m_account, m_relative;
    QDateTime m_fallback;
    QSet<QString> m_taken;
    bool m_started = false;
    bool m_open = false;
    qint64 m_session = 0;
};

// The account of a folder for Pidgin: the address given, the user's own, or the folder's name.
QString AccountOf(const THistoryFolder &folder, const QString &given)
{
    if (!given.isEmpty())
        return given.toLower();
    QString own = folder.userAddress;
    // The LogonName of the first file that names one (only its Log element is read).
    for (qsizetype i = 0; own.isEmpty() && i < folder.files.size() && i < 20; ++i) {
        THistoryReader reader(folder.files.at(i).path);
        THistoryEntry e;
        reader.Next(e);
        if (reader.LogonName().contains(u'@'))
            own = reader.LogonName();
    }
    return own.isEmpty() ? folder.userName : own.toLower();
}

} // namespace

int THistoryExportResult::Unreadable() const
{
    int n = 0;
    for (const TExportedConversation &c : conversations)
        n += c.outcome == TReadOutcome::Refused || c.outcome == TReadOutcome::Damaged;
    return n;
}

QString FormatName(THistoryFormat format)
{
    switch (format) {
    case THistoryFormat::Pidgin: return QStringLiteral("pidgin");
    case THistoryFormat::Text: return QStringLiteral("text");
    case THistoryFormat::Html: return QStringLiteral("html");
    case THistoryFormat::Json: break;
    }
    return QStringLiteral("json");
}

std::optional<THistoryFormat> FormatByName(const QString &name)
{
    for (THistoryFormat f : {THistoryFormat::Json, THistoryFormat::Pidgin, THistoryFormat::Text, THistoryFormat::Html})
        if (FormatName(f) == name)
            return f;
    return std::nullopt;
}

QString PidginEscape(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("%2e");
    QString out;
    const QByteArray utf8 = name.toUtf8();
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '@' || c == '-' || c == '_'
            || c == '.' || c == '#')
            out += QLatin1Char(char(c));
        else
            out += QStringLiteral("%%1").arg(c, 2, 16, QLatin1Char('0'));
    }
    if (out == QLatin1String(".") || out == QLatin1String(".."))
        out.replace(u'.', QStringLiteral("%2e"));
    // Within the length file systems take, never ending inside an escape.
    if (out.size() > kMaxPidginName) {
        out.truncate(kMaxPidginName);
        const qsizetype percent = out.lastIndexOf(u'%');
        if (percent >= out.size() - 2)
            out.truncate(percent);
    }
    return out;
}

QString PidginLogName(const QDateTime &utc)
{
    const QString plain = PlainTime(utc.toUTC()); // "YYYY-MM-DD HH:MM:SS"
    QString time = plain.mid(11);
    time.remove(u':');
    return plain.left(10) + u'.' + time + QStringLiteral("+0000UTC.html");
}

QString HistoryOutputRefusal(const QString &source, const QString &output, THistoryFormat format)
{
    if (output.trimmed().isEmpty())
        return QStringLiteral("No output folder was given.");
    const QFileInfo sourceInfo(source);
    const QString sourceFolder = sourceInfo.isDir() ? sourceInfo.absoluteFilePath() : sourceInfo.absolutePath();
    if (exportfolder::IsSameOrInside(output, sourceFolder))
        return QStringLiteral("The output folder must not lie inside the history being exported:\r") + output;
    if (exportfolder::IsSameOrInside(sourceFolder, output))
        return QStringLiteral("The output folder must not hold the history being exported:\r") + output;
    switch (exportfolder::OutputState(output, kMarkerKind)) {
    case exportfolder::TOutputState::NotFolder: return QStringLiteral("The output is not a folder:\r") + output;
    case exportfolder::TOutputState::Other:
        if (format != THistoryFormat::Pidgin)
            return QStringLiteral("The output folder is not empty and was not made by a history export:\r") + output;
        return {};
    default: return {};
    }
}

namespace {

// One conversation of the export and what became of it.
struct TJob {
    TSource source;
    QString group;                    // jobs of one group share a folder: one thread does them in order
    TExportedConversation conversation;
    QStringList failures;
    std::unique_ptr<TPiece> piece;    // JSON: the conversation's piece of history.json
    bool begun = false;               // the writer was given the conversation
    bool done = false;
};

// The body of the loop: reads one file and gives it to the writer.
void ExportConversation(TWriter &writer, TJob &job)
{
    TExportedConversation &c = job.conversation;
    const THistoryFile &file = *job.source.file;
    writer.failures = &job.failures;
    writer.written.clear();
    if (auto *json = dynamic_cast<TJsonWriter *>(&writer))
        json->piece = job.piece.get();
    THistoryReader reader(file.path);
    THistoryEntry e;
    while (reader.Next(e)) {
        if (!job.begun) {
            writer.Begin(job.source);
            job.begun = true;
        }
        ++c.entries;
        if (e.kind == TEntryKind::Message)
            ++c.messages;
        if (e.time.isValid()) {
            if (!c.first.isValid() || e.time < c.first)
                c.first = e.time;
            if (!c.last.isValid() || e.time > c.last)
                c.last = e.time;
        }
        writer.Entry(e);
    }
    c.outcome = reader.Outcome();
    c.problem = reader.Problem();
    c.warnings = reader.Warnings();
    if (!job.begun && c.outcome != TReadOutcome::Refused) {
        // A file without entries is still a conversation of the listing.
        writer.Begin(job.source);
        job.begun = true;
    }
    if (job.begun) {
        writer.End(c);
        c.written = writer.written;
    }
}

std::unique_ptr<TWriter> MakeWriter(THistoryFormat format, const QString &output)
{
    std::unique_ptr<TWriter> writer;
    switch (format) {
    case THistoryFormat::Json: writer = std::make_unique<TJsonWriter>(); break;
    case THistoryFormat::Text: writer = std::make_unique<TTextWriter>(); break;
    case THistoryFormat::Html: writer = std::make_unique<THtmlWriter>(); break;
    case THistoryFormat::Pidgin: writer = std::make_unique<TPidginWriter>(); break;
    }
    writer->output = output;
    return writer;
}

// Exports the jobs on `threads` threads (in the calling thread alone when 1) and hands each,
// once done, to `collect` in the calling thread, in order. A group's jobs go to one thread in
// their order; groups start in the order of their first job, never more than a few jobs ahead of
// the one being collected, so that what waits to be collected stays small.
void RunJobs(std::vector<TJob> &jobs, THistoryFormat format, const QString &output, int threads,
             const std::function<void(int)> &collect)
{
    std::vector<std::vector<int>> tasks;
    QHash<QString, qsizetype> groups;
    for (int j = 0; j < int(jobs.size()); ++j) {
        if (jobs[j].group.isEmpty()) {
            tasks.push_back({j});
            continue;
        }
        auto known = groups.constFind(jobs[j].group);
        if (known == groups.cend())
            known = groups.insert(jobs[j].group, qsizetype(tasks.size())), tasks.emplace_back();
        tasks[*known].push_back(j);
    }
    std::mutex mutex;
    std::condition_variable changed;
    const auto run = [&](const std::vector<int> &task) {
        const std::unique_ptr<TWriter> writer = MakeWriter(format, output);
        for (int j : task) {
            try {
                ExportConversation(*writer, jobs[j]);
            } catch (const std::exception &e) {
                jobs[j].failures << jobs[j].conversation.file + QStringLiteral(": ") + QString::fromLocal8Bit(e.what());
            }
            const std::lock_guard lock(mutex);
            jobs[j].done = true;
            changed.notify_all();
        }
    };
    if (threads <= 1 || tasks.size() <= 1) {
        int collected = 0;
        for (const std::vector<int> &task : tasks) {
            run(task);
            while (collected < int(jobs.size()) && jobs[collected].done)
                collect(collected++);
        }
        return;
    }
    const int window = 2 * threads + 2;
    std::size_t next = 0; // the next task to start
    int collected = 0;
    bool stop = false;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            while (true) {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next == tasks.size() || tasks[next].front() < collected + window; });
                if (stop || next == tasks.size())
                    return;
                const std::vector<int> &task = tasks[next++];
                lock.unlock();
                run(task);
            }
        });
    const auto finish = [&] {
        {
            const std::lock_guard lock(mutex);
            stop = true;
            changed.notify_all();
        }
        for (std::thread &w : workers)
            w.join();
    };
    try {
        for (int j = 0; j < int(jobs.size()); ++j) {
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return jobs[j].done; });
            }
            collect(j);
            const std::lock_guard lock(mutex);
            collected = j + 1;
            changed.notify_all();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

} // namespace

THistoryExportResult RunHistoryExport(const THistoryExportRequest &request, const THistoryProgress &progress)
{
    THistoryExportResult result;
    result.format = request.format;
    const std::vector<THistoryFolder> folders = FindHistory(request.source);
    int total = 0;
    for (const THistoryFolder &f : folders)
        total += int(f.files.size());
    if (total == 0)
        throw EInOutError(QStringLiteral("No Messenger history found in:\r") + request.source);
    if (const QString refusal = HistoryOutputRefusal(request.source, request.output, request.format); !refusal.isEmpty())
        throw EInOutError(refusal);
    result.output = QDir::cleanPath(QFileInfo(request.output).absoluteFilePath());
    const exportfolder::TOutputState state = exportfolder::OutputState(result.output, kMarkerKind);
    result.merged = state == exportfolder::TOutputState::Other; // Pidgin only (refused otherwise)
    if (!QDir().mkpath(result.output))
        throw EInOutError(QStringLiteral("Cannot create the folder:\r") + result.output);
    exportfolder::TMarker marker;
    if (!result.merged) {
        exportfolder::RemoveEarlierExport(result.output, kMarkerKind);
        marker.Open(result.output, kMarkerKind);
        if (!marker.IsOpen())
            throw EInOutError(QStringLiteral("Cannot write into the folder:\r") + result.output);
    }
    // The writer of what all conversations share: history.json, index.html.
    const std::unique_ptr<TWriter> writer = MakeWriter(request.format, result.output);
    writer->failures = &result.failures;
    const auto record = [&] {
        if (!result.merged)
            for (const QString &relative : std::as_const(writer->written))
                marker.Add(relative);
        writer->written.clear();
    };
    TOutFile json;
    if (request.format == THistoryFormat::Json) {
        if (!writer->OpenFile(json, QStringLiteral("history.json")))
            return result;
        json << "{\"conversations\":[";
    }

    // What each conversation is called, in order.
    const QFileInfo sourceInfo(request.source);
    const QDir sourceDir(sourceInfo.isDir() ? sourceInfo.absoluteFilePath() : sourceInfo.absolutePath());
    const bool several = folders.size() > 1;
    named::TNameSet topNames;
    std::vector<TJob> jobs;
    jobs.reserve(total);
    static std::atomic<unsigned> pieces{0};
    for (const THistoryFolder &folder : folders) {
        const QString account = request.format == THistoryFormat::Pidgin ? AccountOf(folder, request.account) : QString();
        // Per-conversation files: "<contact>" in the output folder, or "<user>/<contact>" when
        // the source holds several users' histories.
        QString prefix;
        if (several)
            prefix = topNames.Claim(folder.userName, QString(), QStringLiteral("history")) + u'/';
        named::TNameSet names;
        names.Insert(QStringLiteral("index.html"));
        names.Insert(QStringLiteral("history.json"));
        for (const THistoryFile &file : folder.files) {
            TJob &job = jobs.emplace_back();
            TExportedConversation &c = job.conversation;
            c.file = sourceDir.relativeFilePath(file.path);
            c.contact = file.contact;
            c.contactAddress = file.contactAddress;
            job.source = TSource{&folder, &file, c.file, account, {}};
            if (request.format == THistoryFormat::Text || request.format == THistoryFormat::Html) {
                const QString ext = request.format == THistoryFormat::Text ? QStringLiteral(".txt") : QStringLiteral(".html");
                const QString name = names.Claim(file.contact, ext, QStringLiteral("conversation"));
                job.source.stem = prefix + name.left(name.size() - ext.size());
            }
            if (request.format == THistoryFormat::Pidgin)
                job.group = TPidginWriter::FolderOf(job.source);
            if (request.format == THistoryFormat::Json)
                job.piece = std::make_unique<TPiece>(QStringLiteral("%1/.history.json.%2-%3.part")
                                                         .arg(result.output).arg(QCoreApplication::applicationPid()).arg(pieces++));
        }
    }

    int conversations = 0; // in history.json
    const auto collect = [&](int j) {
        TJob &job = jobs[j];
        if (request.format == THistoryFormat::Json && job.begun) {
            json << (conversations++ ? ",\n" : "\n");
            if (const QString error = job.piece->CopyTo(json); !error.isEmpty())
                result.failures << QStringLiteral("history.json: ") + error;
        }
        job.piece.reset();
        if (request.format == THistoryFormat::Html && job.begun)
            static_cast<THtmlWriter *>(writer.get())->pages << job.source.stem + QStringLiteral(".html");
        result.failures << job.failures;
        writer->written = job.conversation.written;
        record();
        result.conversations << job.conversation;
        if (progress && j + 1 < total)
            progress(j + 1, total, jobs[j + 1].source.file->path);
    };
    if (progress)
        progress(0, total, jobs.front().source.file->path);
    const int threads = request.threads > 0 ? request.threads : std::clamp(QThread::idealThreadCount(), 1, 8);
    RunJobs(jobs, request.format, result.output, threads, collect);

    if (request.format == THistoryFormat::Json) {
        json << "\n]}\n";
        writer->Done(json, QStringLiteral("history.json"));
    }
    writer->Finish(result.conversations);
    record();
    if (progress)
        progress(total, total, QString());
    return result;
}

} // namespace zorvak::history
