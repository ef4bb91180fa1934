#include "backup/MsnMap.h"

#include "common/Exceptions.h"
#include "common/unitString.h"

namespace zorvak {

const char *const kTabNotFoundEndOfData = "Tab character not found. Unexpected end of data in a map file.";
const char *const kLinefeedNotFound =
    "Linefeed character not found. Unexpected format of map file.\r\r"
    "If this occurs constantly, could you please report this problem,\r"
    "along with your Messenger version and on which content this error occurs\r"
    "(eg. Backgrounds or Emoticons or other content)";
const char *const kTabNotFoundFormat =
    "Tab character not found. Unexpected format of map file.\r\r"
    "If this occurs constantly, could you please report this problem,\r"
    "along with your Messenger version and on which content this error occurs\r"
    "(eg. Backgrounds or Emoticons or other content)";

namespace {
constexpr QChar kTab(u'\t');
constexpr QChar kLf(u'\n');

// The five XML entities the grid writes, then the numeric apostrophe that some maps hold: escaping
// takes the first entry of a character, so it writes "&apos;" and reads both.
const TEscape kXmlEntities[] = {
    {u'&', QLatin1String("&amp;")},   {u'<', QLatin1String("&lt;")},    {u'>', QLatin1String("&gt;")},
    {u'"', QLatin1String("&quot;")},  {u'\'', QLatin1String("&apos;")}, {u'\'', QLatin1String("&#39;")},
};

TDefaultTable MakeTable(std::initializer_list<std::pair<const char *, qint32>> entries)
{
    TDefaultTable table;
    for (const auto &[name, size] : entries)
        table.append({QString::fromLatin1(name), size});
    return table;
}

// Trim as the original runtime does it: every character up to and including the space.
QString TrimControls(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b).unicode() <= 32)
        ++b;
    while (e > b && text.at(e - 1).unicode() <= 32)
        --e;
    return text.mid(b, e - b);
}

[[noreturn]] void Raise(const char *message) { throw Exception(QString::fromLatin1(message)); }

QString Escaped(const QString &map, qsizetype from, qsizetype to) { return XmlEscapeValue(map.mid(from, to - from)); }

// The TAB-ended fields of a map, one after the other.
class TTabFields {
public:
    explicit TTabFields(const QString &map) : m_map(map) {}
    // True while a TAB follows: another record starts here.
    bool More() const { return m_map.indexOf(kTab, m_start) >= 0; }
    // The text up to the next TAB, which is passed over; raises when no TAB follows.
    QString Next()
    {
        const qsizetype tab = m_map.indexOf(kTab, m_start);
        if (tab < 0)
            Raise(kTabNotFoundEndOfData);
        QString field = m_map.mid(m_start, tab - m_start);
        m_start = tab + 1;
        return field;
    }

private:
    const QString &m_map;
    qsizetype m_start = 0;
};

// Appends the item unless its object name could leave the content folder (an object without a
// name is kept: it names no file, and every step passes over it).
void Keep(TMsnList &items, const TMsnStuff &item, QStringList *dropped)
{
    if (item.Location.isEmpty() || IsSafeObjectName(item.Location))
        items.append(item);
    else if (dropped)
        dropped->append(item.Location);
}
} // namespace

bool IsSafeObjectName(const QString &location)
{
    if (location.isEmpty() || location == QLatin1String(".") || location.contains(QLatin1String(".."))
        || location.contains(QLatin1Char('/')) || location.contains(QLatin1Char('\\')))
        return false;
    const bool driveLetter = location.size() >= 2 && location.at(1) == QLatin1Char(':')
                             && ((location.at(0) >= u'A' && location.at(0) <= u'Z')
                                 || (location.at(0) >= u'a' && location.at(0) <= u'z'));
    return !driveLetter && !location.contains(QChar(0));
}

const TDefaultTable &DefaultDp()
{
    static const TDefaultTable t = MakeTable({{"Orange Daisy", 20559}, {"Soccer Ball", 28922}, {"Chess Pieces", 25288},
                                              {"Beach Chairs", 25072}, {"Rocket Launch", 27113}, {"Rubber Ducky", 11840},
                                              {"Friendly Dog", 20628}, {"Dirt Bike", 24040}, {"Palm Trees", 23985},
                                              {"Running Horses", 23062}, {"Skateboarder", 18476}});
    return t;
}

const TDefaultTable &DefaultBg()
{
    static const TDefaultTable t =
        MakeTable({{"Car", 61437}, {"Fish", 74231}, {"Hearts", 63439}, {"Lavender", 95297}, {"Planets", 72589}});
    return t;
}

const TDefaultTable &DefaultDbg()
{
    static const TDefaultTable t =
        MakeTable({{"Koi Pond", 215635}, {"World Clocks", 275855}, {"Mad Scientist", 162094}, {"Pixies", 120930}});
    return t;
}

const TDefaultTable &DefaultWink()
{
    static const TDefaultTable t = MakeTable(
        {{"Water Balloon", 46021}, {"Bouncy Ball", 16178}, {"Lightbulb", 23608}, {"Crying", 20560}, {"UFO", 46660},
         {"Frog", 40950}, {"Dancer", 59218}, {"Bow", 23262}, {"Heart", 21122}, {"Silly Face", 23427}, {"Pig", 62753},
         {"Kiss", 10225}, {"Guitar Smash", 35574}, {"Knock", 67994}, {"Laugh", 37885}});
    return t;
}

const TDefaultTable &DefaultsOf(ContentType type)
{
    static const TDefaultTable none;
    switch (type) {
    case ContentType::Dp: return DefaultDp();
    case ContentType::Bg: return DefaultBg();
    case ContentType::Wink: return DefaultWink();
    case ContentType::Dbg: return DefaultDbg();
    case ContentType::Emot:
    case ContentType::Ddp: break;
    }
    return none;
}

bool IsDefaultContent(const QString &name, qint32 size, const TDefaultTable &defaults)
{
    for (const TDefaultContent &d : defaults)
        if (d.Name == name && d.Size == size)
            return true;
    return false;
}

QString XmlEscapeValue(const QString &text)
{
    // The same five entities as EscapeXml; carriage returns are dropped.
    return EscapeXml(text).remove(QLatin1Char('\r'));
}

QString EscapeXml(const QString &text) { return EscapeChars(text, kXmlEntities); }

QString UnescapeXml(const QString &text) { return UnescapeSequences(text, kXmlEntities); }

qint32 StrToInt(const QString &text)
{
    auto fail = [&text]() -> qint32 {
        throw EConvertError(QLatin1Char('\'') + text + QStringLiteral("' is not a valid integer value"));
    };
    QString s = text;
    qsizetype i = 0;
    while (i < s.size() && s.at(i) == QLatin1Char(' '))
        ++i;
    s = s.mid(i);
    bool negative = false;
    if (!s.isEmpty() && (s.at(0) == QLatin1Char('-') || s.at(0) == QLatin1Char('+'))) {
        negative = s.at(0) == QLatin1Char('-');
        s = s.mid(1);
    }
    int base = 10;
    if (s.startsWith(QLatin1Char('$'))) {
        base = 16;
        s = s.mid(1);
    } else if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        s = s.mid(2);
    }
    if (s.isEmpty())
        return fail();
    qint64 value = 0;
    for (QChar c : s) {
        const int d = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                      : base == 16 && c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')
                          ? c.toLower().unicode() - 'a' + 10
                          : -1;
        if (d < 0)
            return fail();
        value = value * base + d;
        if (value > qint64(0x80000000))
            return fail();
    }
    if (negative)
        value = -value;
    if (value > 0x7FFFFFFF || value < -qint64(0x80000000))
        return fail();
    return qint32(value);
}

namespace {
// The attributes of one element in order, each name with its value, as ParseMsnObject reads them.
template <typename F> void ForEachAttribute(const QString &xml, F &&store)
{
    if (xml.size() <= 9)
        Raise("Invalid data. xmlStr is too short.");
    if (xml.left(7).toLower() != QLatin1String("<msnobj") || !xml.endsWith(QLatin1String("/>")))
        Raise("Invalid data. Unexpected XML tag.");
    const QString inner = TrimControls(xml.mid(7, xml.size() - 7 - 2));
    const QStringList pieces = inner.split(QLatin1Char(' '));
    for (const QString &raw : pieces) {
        const QString piece = TrimControls(raw);
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString name = TrimControls(piece.left(eq));
        QString value = TrimControls(piece.mid(eq + 1));
        if (!value.isEmpty() && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.size() >= 2 ? value.mid(1, value.size() - 2) : QString();
        store(name, value);
    }
}

// The four attributes the backup reads. Keeping only these makes an object with a huge number
// of attributes cost linear time (the attribute table searches its keys one by one).
struct TObjectAttributes {
    QString Location, contenttype, Size, stamp;
    explicit TObjectAttributes(const QString &xml)
    {
        ForEachAttribute(xml, [this](const QString &name, const QString &value) {
            if (name.compare(QLatin1String("Location"), Qt::CaseInsensitive) == 0)
                Location = value;
            else if (name.compare(QLatin1String("contenttype"), Qt::CaseInsensitive) == 0)
                contenttype = value;
            else if (name.compare(QLatin1String("Size"), Qt::CaseInsensitive) == 0)
                Size = value;
            else if (name.compare(QLatin1String("stamp"), Qt::CaseInsensitive) == 0)
                stamp = value;
        });
    }
};

// Keeps an object read with its file and stamp, unless `skipDefault` and it is one of `defaults`
// (same name, same size).
void KeepUnlessDefault(TMsnList &items, TMsnStuff item, const TObjectAttributes &attributes,
                       const TDefaultTable &defaults, bool skipDefault, QStringList *dropped)
{
    if (skipDefault && IsDefaultContent(item.Name, StrToInt(attributes.Size), defaults))
        return;
    item.Location = attributes.Location;
    item.Stamp = attributes.stamp;
    Keep(items, item, dropped);
}
} // namespace

void ParseMsnObject(const QString &xml, THash &table)
{
    ForEachAttribute(xml, [&table](const QString &name, const QString &value) { table.SetValue(name, value); });
}

QString MsnObjectLocation(const QString &xml) { return TObjectAttributes(xml).Location; }

TMsnArr ParseEmoticonMap(const QString &map, QStringList *dropped)
{
    TMsnArr items = NewMsnArr();
    TTabFields fields(map);
    while (fields.More()) {
        TMsnStuff item;
        item.Key = XmlEscapeValue(fields.Next());
        item.Name = XmlEscapeValue(fields.Next());
        const TObjectAttributes attributes(fields.Next());
        item.Location = attributes.Location;
        item.ContentType = attributes.contenttype;
        if (item.ContentType.isEmpty())
            item.ContentType = QStringLiteral("D");
        Keep(*items, item, dropped);
    }
    return items;
}

TMsnArr ParsePictureMap(const QString &map, const TDefaultTable &defaults, bool skipDefault, QStringList *dropped)
{
    TMsnArr items = NewMsnArr();
    TTabFields fields(map);
    while (fields.More()) {
        TMsnStuff item;
        item.Name = XmlEscapeValue(fields.Next());
        KeepUnlessDefault(*items, item, TObjectAttributes(fields.Next()), defaults, skipDefault, dropped);
    }
    return items;
}

TMsnArr ParseLineMap(const QString &map, const TDefaultTable &defaults, bool skipDefault, QStringList *dropped)
{
    TMsnArr items = NewMsnArr();
    qsizetype lf = map.indexOf(kLf);
    if (lf < 0)
        Raise(kLinefeedNotFound);
    qsizetype lineStart = 0;
    while (lf >= 0) {
        // The first TAB of the line; only the line itself is searched, so that a long run of
        // lines without a TAB costs linear time.
        const qsizetype inLine = QStringView(map).mid(lineStart, lf - lineStart).indexOf(kTab);
        const qsizetype tab = inLine < 0 ? -1 : lineStart + inLine;
        if (tab >= 0) {
            TMsnStuff item;
            item.Name = Escaped(map, lineStart, tab);
            const qsizetype second = map.indexOf(kTab, tab + 1);
            if (second < 0)
                Raise(kTabNotFoundFormat);
            const QString object = map.mid(tab + 1, second - tab - 1);
            if (!object.isEmpty())
                KeepUnlessDefault(*items, item, TObjectAttributes(object), defaults,
                                  skipDefault && !defaults.isEmpty(), dropped);
        }
        lineStart = lf + 1;
        lf = map.indexOf(kLf, lineStart);
    }
    return items;
}

TMsnArr ParseContentMap(ContentType type, const QString &map, bool skipDefault, QStringList *dropped)
{
    switch (type) {
    case ContentType::Emot: return ParseEmoticonMap(map, dropped);
    case ContentType::Dp: return ParsePictureMap(map, DefaultDp(), skipDefault, dropped);
    default: return ParseLineMap(map, DefaultsOf(type), skipDefault, dropped);
    }
}

} // namespace zorvak
