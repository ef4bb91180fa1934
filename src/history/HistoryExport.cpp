#include "history/HistoryExport.h"

#include "common/Exceptions.h"
#include "common/FileOps.h"
#include "common/SafeName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QCoreApplication>
#include <QUrl>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace zorvak::history {

namespace {

const QByteArray kMarkerHeader = QByteArrayLiteral("zorvak history export\n");
constexpr qsizetype kMaxPidginName = 200;

bool IsSameOrInside(const QString &path, const QString &folder)
{
    const auto real = [](const QString &p) {
        // The path as far as it exists, links resolved, then the rest as given.
        QFileInfo info(p);
        QString rest;
        QString current = info.absoluteFilePath();
        while (!QFileInfo::exists(current) && current != QDir(current).absolutePath() + u'/' && !current.isEmpty()) {
            const QFileInfo i(current);
            rest = u'/' + i.fileName() + rest;
            const QString parent = i.absolutePath();
            if (parent == current)
                break;
            current = parent;
        }
        const QString canonical = QFileInfo(current).canonicalFilePath();
        return QDir::cleanPath((canonical.isEmpty() ? current : canonical) + rest);
    };
    const QString p = real(path), f = real(folder);
    return p == f || p.startsWith(f.endsWith(u'/') ? f : f + u'/');
}

bool HasMarker(const QString &folder)
{
    QFile marker(QDir(folder).filePath(QLatin1String(kHistoryMarkerFile)));
    if (!fileops::IsRegularFile(marker.fileName()) || !marker.open(QIODevice::ReadOnly))
        return false;
    return marker.read(kMarkerHeader.size()) == kMarkerHeader;
}

// Removes the files an earlier export listed in its marker (plain relative paths inside the
// output folder only), the folders they leave empty, and the marker.
void RemoveEarlierExport(const QString &output)
{
    QFile marker(QDir(output).filePath(QLatin1String(kHistoryMarkerFile)));
    if (!marker.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = marker.readAll();
    marker.close();
    if (!data.startsWith(kMarkerHeader))
        return;
    const QString root = QFileInfo(output).canonicalFilePath();
    if (root.isEmpty())
        return;
    QStringList folders;
    for (const QByteArray &line : data.mid(kMarkerHeader.size()).split('\n')) {
        const QString relative = QString::fromUtf8(line);
        const QStringList parts = relative.split(u'/');
        if (relative.isEmpty() || relative.startsWith(u'/') || relative.contains(u'\\') || parts.contains(QStringLiteral(".."))
            || parts.contains(QStringLiteral(".")) || parts.contains(QString()))
            continue;
        const QFileInfo info(root + u'/' + relative);
        if (info.isSymLink() || !info.isFile())
            continue;
        const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
        if (parent != root && !parent.startsWith(root + u'/'))
            continue;
        QFile::remove(parent + u'/' + info.fileName());
        // Every folder between the file and the output folder, deepest first.
        for (QString f = parent; f != root && f.startsWith(root + u'/'); f = QFileInfo(f).absolutePath())
            if (!folders.contains(f))
                folders << f;
    }
    std::sort(folders.begin(), folders.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &folder : folders)
        QDir().rmdir(folder); // only when empty
    QFile::remove(marker.fileName());
}

class TMarker {
public:
    void Open(const QString &output)
    {
        m_file.setFileName(QDir(output).filePath(QLatin1String(kHistoryMarkerFile)));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            m_file.write(kMarkerHeader);
        m_file.flush();
    }
    bool IsOpen() const { return m_file.isOpen(); }
    void Add(const QString &relative)
    {
        if (!m_file.isOpen())
            return;
        m_file.write(relative.toUtf8() + '\n');
        m_file.flush();
    }

private:
    QFile m_file;
};

// A file written through a buffer, under a temporary name beside it until Commit renames it (no
// sync to disk: thousands of session files would each wait for the disk).
class TOutFile {
public:
    ~TOutFile() { Cancel(); }
    bool Open(const QString &path)
    {
        Cancel();
        m_path = path;
        static std::atomic<unsigned> counter{0};
        m_file = std::make_unique<QFile>(QStringLiteral("%1.%2-%3.part").arg(path).arg(QCoreApplication::applicationPid()).arg(counter++));
        m_buffer.resize(0);
        m_buffer.reserve(kFlushAt + 4096);
        m_failed = false;
        return m_file->open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    bool IsOpen() const { return m_file && m_file->isOpen(); }
    TOutFile &operator<<(QByteArrayView bytes)
    {
        m_buffer.append(bytes.data(), bytes.size());
        if (m_buffer.size() >= kFlushAt)
            Flush();
        return *this;
    }
    TOutFile &operator<<(const QString &text) { return *this << QByteArrayView(text.toUtf8()); }
    TOutFile &operator<<(const char *text) { return *this << QByteArrayView(text, qstrlen(text)); }
    // Empty on success, else the reason.
    QString Commit()
    {
        if (!m_file)
            return QStringLiteral("not open");
        Flush();
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

private:
    static constexpr qsizetype kFlushAt = 1 << 20;
    void Flush()
    {
        if (!m_buffer.isEmpty() && m_file && m_file->write(m_buffer) != m_buffer.size())
            m_failed = true;
        m_buffer.resize(0); // keeps its room
    }
    std::unique_ptr<QFile> m_file;
    QString m_path;
    QByteArray m_buffer;
    bool m_failed = false;
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

QString Html(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case u'\'': out += QLatin1String("&#39;"); break;
        case u'\r': break;
        case u'\n': out += QLatin1String("<br/>"); break;
        default:
            if (c.unicode() < 0x20 && c != u'\t')
                out += QChar(0xFFFD);
            else
                out += c;
        }
    }
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

QString HhMmSs(const QDateTime &time)
{
    if (!time.isValid())
        return QStringLiteral("??:??:??");
    return PlainTime(time).mid(11);
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
    TMarker *marker = nullptr;
    QStringList *failures = nullptr;
    QStringList written;         // by the current conversation

protected:
    void Done(TOutFile &file, const QString &relative)
    {
        if (const QString error = file.Commit(); !error.isEmpty()) {
            *failures << relative + QStringLiteral(": ") + error;
            return;
        }
        written << relative;
        if (marker)
            marker->Add(relative);
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

class TJsonWriter : public TWriter {
public:
    bool Start()
    {
        if (!OpenFile(m_out, QStringLiteral("history.json")))
            return false;
        m_out << "{\"conversations\":[";
        return true;
    }
    void Begin(const TSource &s) override
    {
        m_out << (m_conversations++ ? ",\n" : "\n");
        m_out << QStringLiteral("{\"file\":%1,\"contact\":%2,\"contactAddress\":%3,\"messages\":[")
                     .arg(JsonString(s.relative), JsonString(s.file->contact), JsonOrNull(s.file->contactAddress));
        m_entries = 0;
    }
    void Entry(const THistoryEntry &e) override
    {
        m_line.resize(0); // keeps its room
        m_line += QLatin1String(m_entries++ ? ",\n{\"kind\":\"" : "\n{\"kind\":\"");
        m_line += KindName(e.kind);
        m_line += QLatin1String("\",\"time\":");
        const QString time = IsoTime(e);
        if (time.isEmpty())
            m_line += QLatin1String("null");
        else
            m_line += u'"' + time + u'"';
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
        m_out << m_line;
    }
    void End(TExportedConversation &) override { m_out << (m_entries ? "\n]}" : "]}"); }
    void Finish(const QList<TExportedConversation> &) override
    {
        m_out << "\n]}\n";
        Done(m_out, QStringLiteral("history.json"));
    }

private:
    TOutFile m_out;
    QString m_line;
    int m_conversations = 0;
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
        QString line = u'[' + PlainTime(e.time) + QStringLiteral("] ");
        if (!e.from.isEmpty())
            line += e.from + QStringLiteral(": ");
        line += EntryText(e);
        line.replace(u'\r', QString());
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
    void Begin(const TSource &s) override
    {
        m_relative = s.stem + QStringLiteral(".html");
        m_pages << m_relative;
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
            if (c.outcome != TReadOutcome::Refused && page < m_pages.size())
                contact = QStringLiteral("<a href=\"%1\">%2</a>").arg(Html(Href(m_pages.at(page++))), contact);
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
    QStringList m_pages;
    bool m_open = false;
    bool m_first = true;
    qint64 m_session = -1;
};

class TPidginWriter : public TWriter {
public:
    void Begin(const TSource &s) override
    {
        const QString buddy = s.file->contactAddress.isEmpty() ? s.file->contact : s.file->contactAddress.toLower();
        m_folder = QStringLiteral("msn/") + PidginEscape(s.account) + u'/' + PidginEscape(buddy);
        m_buddy = buddy;
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
        const QString text = Html(EntryText(e));
        if (e.kind == TEntryKind::Message) {
            const TTextStyle &st = e.style;
            line += QLatin1String("<font color=\"#A82F2F\"><font size=\"2\">(");
            line += HhMmSs(e.time);
            line += QLatin1String(")</font> <b>");
            line += Html(e.from);
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
            line += text;
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
            line += HhMmSs(e.time);
            line += QLatin1String(")</font><b> ");
            line += text;
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
    if (IsSameOrInside(output, sourceFolder))
        return QStringLiteral("The output folder must not lie inside the history being exported:\r") + output;
    if (IsSameOrInside(sourceFolder, output))
        return QStringLiteral("The output folder must not hold the history being exported:\r") + output;
    const QFileInfo info(output);
    if (info.exists() && !info.isDir())
        return QStringLiteral("The output is not a folder:\r") + output;
    if (format != THistoryFormat::Pidgin && info.isDir()
        && !QDir(output).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot) && !HasMarker(output))
        return QStringLiteral("The output folder is not empty and was not made by a history export:\r") + output;
    return {};
}

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
    const QFileInfo outInfo(result.output);
    const bool ours = outInfo.isDir() && HasMarker(result.output);
    const bool empty = !outInfo.exists() || QDir(result.output).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    result.merged = !ours && !empty; // Pidgin only (refused otherwise)
    if (!QDir().mkpath(result.output))
        throw EInOutError(QStringLiteral("Cannot create the folder:\r") + result.output);
    TMarker marker;
    if (!result.merged) {
        RemoveEarlierExport(result.output);
        marker.Open(result.output);
        if (!marker.IsOpen())
            throw EInOutError(QStringLiteral("Cannot write into the folder:\r") + result.output);
    }

    std::unique_ptr<TWriter> writer;
    TJsonWriter *json = nullptr;
    switch (request.format) {
    case THistoryFormat::Json: writer = std::make_unique<TJsonWriter>(); json = static_cast<TJsonWriter *>(writer.get()); break;
    case THistoryFormat::Text: writer = std::make_unique<TTextWriter>(); break;
    case THistoryFormat::Html: writer = std::make_unique<THtmlWriter>(); break;
    case THistoryFormat::Pidgin: writer = std::make_unique<TPidginWriter>(); break;
    }
    writer->output = result.output;
    writer->marker = result.merged ? nullptr : &marker;
    writer->failures = &result.failures;
    if (json && !json->Start())
        return result;

    const QFileInfo sourceInfo(request.source);
    const QDir sourceDir(sourceInfo.isDir() ? sourceInfo.absoluteFilePath() : sourceInfo.absolutePath());
    const bool several = folders.size() > 1;
    named::TNameSet topNames;
    int done = 0;
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
            if (progress)
                progress(done, total, file.path);
            ++done;
            TExportedConversation c;
            c.file = sourceDir.relativeFilePath(file.path);
            c.contact = file.contact;
            c.contactAddress = file.contactAddress;
            THistoryReader reader(file.path);
            TSource s{&folder, &file, c.file, account, {}};
            if (request.format == THistoryFormat::Text || request.format == THistoryFormat::Html) {
                const QString ext = request.format == THistoryFormat::Text ? QStringLiteral(".txt") : QStringLiteral(".html");
                const QString name = names.Claim(file.contact, ext, QStringLiteral("conversation"));
                s.stem = prefix + name.left(name.size() - ext.size());
            }
            THistoryEntry e;
            bool begun = false;
            while (reader.Next(e)) {
                if (!begun) {
                    writer->written.clear();
                    writer->Begin(s);
                    begun = true;
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
                writer->Entry(e);
            }
            c.outcome = reader.Outcome();
            c.problem = reader.Problem();
            c.warnings = reader.Warnings();
            if (!begun && c.outcome != TReadOutcome::Refused) {
                // A file without entries is still a conversation of the listing.
                writer->written.clear();
                writer->Begin(s);
                begun = true;
            }
            if (begun) {
                writer->End(c);
                c.written = writer->written;
            }
            result.conversations << c;
        }
    }
    writer->Finish(result.conversations);
    if (progress)
        progress(total, total, QString());
    return result;
}

} // namespace zorvak::history
