#include "history/HistoryReader.h"

#include "common/FileOps.h"

#include <array>
#include <cstring>

namespace zorvak::history {

namespace {

constexpr qint64 kChunk = 16 * 1024; // QXmlStreamReader parses larger pieces more slowly

// Up to `count` digits at `at`; -1 when a character there is not a digit.
int Digits(QStringView s, qsizetype at, int count)
{
    if (at + count > s.size())
        return -1;
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = s[at + i];
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

// "2005-03-01T14:02:03.123Z" (milliseconds and "Z" optional; the value is UTC either way).
QDateTime ParseUtc(QStringView s)
{
    s = s.trimmed();
    const int y = Digits(s, 0, 4), mo = Digits(s, 5, 2), d = Digits(s, 8, 2);
    const int h = Digits(s, 11, 2), mi = Digits(s, 14, 2), se = Digits(s, 17, 2);
    if (y < 0 || mo < 0 || d < 0 || h < 0 || mi < 0 || se < 0 || s[4] != u'-' || s[7] != u'-'
        || (s[10] != u'T' && s[10] != u' ') || s[13] != u':' || s[16] != u':')
        return {};
    int ms = 0;
    if (s.size() > 19 && s[19] == u'.') {
        qsizetype i = 20;
        int scale = 100;
        while (i < s.size() && s[i].isDigit()) {
            ms += (s[i].unicode() - u'0') * scale;
            scale /= 10;
            ++i;
        }
    }
    const QDate date(y, mo, d);
    const QTime time(h, mi, se == 60 ? 59 : se, ms);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

// The numbers of a date or time text, in order ("01.03.2005" gives 1, 3, 2005); their digit counts.
int Numbers(QStringView s, std::array<int, 4> &values, std::array<int, 4> &widths)
{
    int n = 0;
    qsizetype i = 0;
    while (i < s.size() && n < 4) {
        if (!s[i].isDigit()) {
            ++i;
            continue;
        }
        int v = 0, w = 0;
        while (i < s.size() && s[i].isDigit() && w < 9) {
            v = v * 10 + s[i].digitValue();
            ++w;
            ++i;
        }
        values[n] = v;
        widths[n] = w;
        ++n;
    }
    return n;
}

// A date in the common formats of the writer's locale: year first (2005-03-01, 2005/3/1), day
// first with dots or dashes (01.03.2005), month first with slashes unless the first number cannot
// be a month (3/1/2005, 25/12/2005). Two-digit years are of this century.
QDate ParseLocalDate(QStringView s)
{
    std::array<int, 4> v{}, w{};
    if (Numbers(s, v, w) < 3)
        return {};
    int y, m, d;
    if (w[0] == 4) {
        y = v[0], m = v[1], d = v[2];
    } else {
        y = v[2] < 100 && w[2] <= 2 ? 2000 + v[2] : v[2];
        const bool slash = s.contains(u'/');
        if (!slash || v[0] > 12)
            d = v[0], m = v[1];
        else
            m = v[0], d = v[1];
    }
    return QDate(y, m, d);
}

// A time as "14:02:03", "2:02:03 PM", "02:02 p.m.", "下午 2:02:03".
QTime ParseLocalTime(QStringView s)
{
    std::array<int, 4> v{}, w{};
    const int n = Numbers(s, v, w);
    if (n < 2)
        return {};
    int h = v[0];
    const bool pm = s.contains(QLatin1String("pm"), Qt::CaseInsensitive) || s.contains(QLatin1String("p.m"), Qt::CaseInsensitive)
        || s.contains(QStringView(u"下午")) || s.contains(QStringView(u"午後")) || s.contains(QStringView(u"오후"));
    const bool am = s.contains(QLatin1String("am"), Qt::CaseInsensitive) || s.contains(QLatin1String("a.m"), Qt::CaseInsensitive)
        || s.contains(QStringView(u"上午")) || s.contains(QStringView(u"午前")) || s.contains(QStringView(u"오전"));
    if (pm && h < 12)
        h += 12;
    else if (am && !pm && h == 12)
        h = 0;
    return QTime(h, v[1], n >= 3 ? v[2] : 0);
}

// XML 1.0 refuses these bytes anywhere in a document.
bool IsForbiddenByte(unsigned char b) { return b < 0x20 && b != 0x09 && b != 0x0A && b != 0x0D; }

// How many bytes of `bytes` XML refuses; eight bytes at a time are passed over when none is
// below 0x20.
qsizetype CountForbidden(QByteArrayView bytes)
{
    constexpr quint64 kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
    const char *data = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype bad = 0, i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, sizeof word);
        if (((word - kOnes * 0x20) & ~word & kHighs) == 0)
            continue;
        for (qsizetype k = i; k < i + 8; ++k)
            bad += IsForbiddenByte(static_cast<unsigned char>(data[k]));
    }
    for (; i < n; ++i)
        bad += IsForbiddenByte(static_cast<unsigned char>(data[i]));
    return bad;
}

// `target` set to `value`, in the room it already has when it is not shared.
void Assign(QString &target, QStringView value)
{
    target.resize(0);
    target.append(value);
}

// The entry made ready for the next one of `kind`. Its texts keep their room: entries of a file
// are much alike, so most need no new memory.
void Reset(THistoryEntry &entry, TEntryKind kind)
{
    entry.kind = kind;
    entry.time = QDateTime();
    entry.localTime = false;
    entry.session = 0;
    entry.from.resize(0);
    entry.to.clear();
    entry.text.resize(0);
    entry.style = TTextStyle{};
    entry.file.resize(0);
    entry.application.resize(0);
    entry.user.resize(0);
}

bool NameIs(QStringView name, const char *expected) { return history::NameIs(name, QLatin1StringView(expected)); }

} // namespace

THistoryReader::THistoryReader(const QString &path) : m_file(std::make_unique<QFile>(path))
{
    if (!fileops::IsRegularFile(path)) {
        Stop(TReadOutcome::Refused, QStringLiteral("not a file"));
        return;
    }
    if (!m_file->open(QIODevice::ReadOnly)) {
        Stop(TReadOutcome::Refused, m_file->errorString());
        return;
    }
    m_device = m_file.get();
    Init();
}

THistoryReader::THistoryReader(QIODevice *device) : m_device(device) { Init(); }

THistoryReader::~THistoryReader() = default;

void THistoryReader::Init()
{
    // Entity references inside the document would need a DTD, which is refused: nothing expands.
    m_xml.setNamespaceProcessing(false);
    m_xml.setEntityResolver(nullptr);
}

void THistoryReader::Stop(TReadOutcome outcome, const QString &problem)
{
    m_done = true;
    m_outcome = outcome;
    m_problem = problem;
}

void THistoryReader::Warn(const QString &warning)
{
    if (!m_warnings.contains(warning))
        m_warnings << warning;
}

// Gives the parser the next piece of the file; false at its end.
bool THistoryReader::Feed()
{
    if (m_eof || !m_device)
        return false;
    QByteArray chunk = m_device->read(kChunk);
    if (chunk.isEmpty()) {
        m_eof = true;
        return false;
    }
    if (!m_sniffed) {
        m_sniffed = true;
        const auto b = [&chunk](int i) { return i < chunk.size() ? static_cast<unsigned char>(chunk[i]) : 0x100; };
        m_utf16 = (b(0) == 0xFF && b(1) == 0xFE) || (b(0) == 0xFE && b(1) == 0xFF) || (b(0) == '<' && b(1) == 0)
            || (b(0) == 0 && b(1) == '<');
    }
    if (!m_utf16) {
        // Control characters written into a UTF-8 file are read as U+FFFD instead of stopping
        // the whole file at the first one.
        const qsizetype bad = CountForbidden(chunk);
        if (bad > 0) {
            QByteArray clean;
            clean.reserve(chunk.size() + 2 * bad);
            for (char c : std::as_const(chunk)) {
                if (IsForbiddenByte(static_cast<unsigned char>(c)))
                    clean += "\xEF\xBF\xBD";
                else
                    clean += c;
            }
            chunk = clean;
            m_invalidChars += bad;
        }
    }
    m_pending += chunk.size();
    m_xml.addData(chunk);
    return true;
}

void THistoryReader::Append(QString &field, QStringView text)
{
    const qsizetype room = kMaxFieldChars - field.size();
    if (text.size() > room) {
        text = text.left(qMax<qsizetype>(0, room));
        if (!m_truncated)
            Warn(QStringLiteral("a text longer than %1 characters was cut to that length").arg(kMaxFieldChars));
        m_truncated = true;
    }
    field += text;
}

bool THistoryReader::Next(THistoryEntry &entry)
{
    if (m_done)
        return false;
    enum class Field { None, From, To, Text, File, Application, User };
    bool inEntry = false;
    int depth = 0;           // below the entry element: 1 for its children
    Field field = Field::None;
    Field collect = Field::None;

    auto finish = [this]() {
        if (m_invalidChars > 0)
            Warn(QStringLiteral("%1 characters that XML does not allow were read as \uFFFD").arg(m_invalidChars));
    };

    while (true) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
                if (m_pending > kMaxTokenBytes) {
                    finish();
                    Stop(m_inLog ? TReadOutcome::Damaged : TReadOutcome::Refused,
                         QStringLiteral("line %1: a piece of markup or text longer than %2 MB").arg(m_xml.lineNumber()).arg(kMaxTokenBytes >> 20));
                    return false;
                }
                if (Feed())
                    continue;
                finish();
                if (!m_inLog && m_count == 0 && m_xml.lineNumber() <= 1 && m_xml.characterOffset() == 0)
                    Stop(TReadOutcome::Cut, QStringLiteral("the file is empty"));
                else
                    Stop(TReadOutcome::Cut, QStringLiteral("the file ends early, at line %1 (the entries before are kept)").arg(m_xml.lineNumber()));
                return false;
            }
            finish();
            const QString where = QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(m_xml.errorString());
            Stop(m_inLog ? TReadOutcome::Damaged : TReadOutcome::Refused,
                 m_inLog ? where + QStringLiteral(" (the entries before are kept)") : where);
            return false;
        }
        m_pending = 0;
        switch (token) {
        case QXmlStreamReader::DTD:
            finish();
            Stop(TReadOutcome::Refused, QStringLiteral("the file holds a document type declaration (DTD); it is not read"));
            return false;
        case QXmlStreamReader::EntityReference:
            finish();
            Stop(m_inLog ? TReadOutcome::Damaged : TReadOutcome::Refused,
                 QStringLiteral("line %1: a reference to the entity \"%2\", which is not read").arg(m_xml.lineNumber()).arg(m_xml.name()));
            return false;
        case QXmlStreamReader::StartElement: {
            if (m_skip > 0) {
                ++m_skip;
                break;
            }
            const QStringView name = m_xml.name();
            if (!m_inLog) {
                if (!NameIs(name, "Log")) {
                    Stop(TReadOutcome::Refused, QStringLiteral("not a Messenger history file (its first element is %1, not Log)").arg(name));
                    return false;
                }
                m_inLog = true;
                m_logonName = m_xml.attributes().value(QLatin1String("LogonName")).toString().trimmed();
                break;
            }
            if (!inEntry) {
                const std::optional<TEntryKind> kind = KindOfElement(name);
                if (!kind) {
                    ++m_skip;
                    break;
                }
                inEntry = true;
                depth = 0;
                field = collect = Field::None;
                Reset(entry, *kind);
                const QXmlStreamAttributes attributes = m_xml.attributes();
                for (const QXmlStreamAttribute &a : attributes) {
                    const QStringView n = a.name();
                    if (NameIs(n, "DateTime"))
                        entry.time = ParseUtc(a.value());
                    else if (NameIs(n, "SessionID"))
                        entry.session = a.value().trimmed().toLongLong();
                }
                if (!entry.time.isValid()) {
                    const QDate date = ParseLocalDate(attributes.value(QLatin1String("Date")));
                    const QTime time = ParseLocalTime(attributes.value(QLatin1String("Time")));
                    if (date.isValid()) {
                        entry.time = QDateTime(date, time.isValid() ? time : QTime(0, 0), Qt::UTC);
                        entry.localTime = true;
                    }
                }
                break;
            }
            ++depth;
            if (depth == 1) {
                field = NameIs(name, "From")          ? Field::From
                        : NameIs(name, "To")          ? Field::To
                        : NameIs(name, "Text")        ? Field::Text
                        : NameIs(name, "File")        ? Field::File
                        : NameIs(name, "Application") ? Field::Application
                        : NameIs(name, "User")        ? Field::User
                                                      : Field::None;
                collect = (field == Field::Text || field == Field::File || field == Field::Application) ? field : Field::None;
                if (field == Field::Text) {
                    // Most texts of a file share one style: it is parsed once.
                    const QXmlStreamAttributes attributes = m_xml.attributes();
                    const QStringView style = attributes.value(QLatin1String("Style"));
                    if (style != m_lastStyle) {
                        auto known = m_styles.constFind(style.toString());
                        if (known == m_styles.cend()) {
                            if (m_styles.size() >= 64)
                                m_styles.clear();
                            known = m_styles.insert(style.toString(), ParseStyle(style));
                        }
                        m_lastStyle = known.key();
                        m_lastParsed = *known;
                    }
                    entry.style = m_lastParsed;
                }
                if (field == Field::User && entry.user.isEmpty())
                    Assign(entry.user, m_xml.attributes().value(QLatin1String("FriendlyName")));
            } else if (depth == 2 && NameIs(name, "User")) {
                const QXmlStreamAttributes attributes = m_xml.attributes();
                const QStringView friendly = attributes.value(QLatin1String("FriendlyName"));
                if (field == Field::From && entry.from.isEmpty())
                    Assign(entry.from, friendly);
                else if (field == Field::To)
                    entry.to << friendly.toString();
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (m_skip > 0) {
                --m_skip;
                break;
            }
            if (!inEntry) {
                if (m_inLog && NameIs(m_xml.name(), "Log")) {
                    // Whatever follows the Log element is not read.
                    finish();
                    Stop(TReadOutcome::Complete, QString());
                    return false;
                }
                break;
            }
            if (depth == 0) {
                ++m_count;
                return true;
            }
            if (depth == 1)
                field = collect = Field::None;
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (inEntry && collect != Field::None && depth >= 1) {
                QString &target = collect == Field::Text ? entry.text : collect == Field::File ? entry.file : entry.application;
                Append(target, m_xml.text());
            }
            break;
        case QXmlStreamReader::EndDocument:
            finish();
            Stop(m_inLog ? TReadOutcome::Complete : TReadOutcome::Refused, m_inLog ? QString() : QStringLiteral("no Log element"));
            return false;
        default:
            break;
        }
    }
}

} // namespace zorvak::history
