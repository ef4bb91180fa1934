// zorvak-demo-profile DIR: complete synthetic Windows profiles with Messenger content, so
// Zorvak can be tried (and its backup tested) without a Windows disk.
//
// DIR/Documents and Settings/
//   Alice/Application Data/Microsoft/Protect/<SID>/   master keys, Preferred; Protect/CREDHIST
//   Alice/Application Data/Microsoft/MSN Messenger/<folder ID of alice.demo@hotmail.com>/
//       CustomEmoticons UserTile Backgrounds Winks3 DeluxeDisplayPictures DynamicBackgrounds
//       MapFile VoiceClips
//   Alice/My Documents/My Received Files/alice.demo<ID>/History/   her conversations with two
//       contacts (one file cut short), and a received file
//   Bob/Application Data/...                            a second Messenger user
// DIR/Users/Dave/                                        a Windows 7 profile of a later Messenger
//   AppData/Roaming/Microsoft/Protect/<SID>/             master key, Preferred
//   AppData/Local/Microsoft/Messenger/dave.demo@hotmail.com/ObjectStore/
//       CustomEmoticons UserTile WebcamDDP Winks3 Backgrounds DynamicBackgrounds
//       (<name>.dt2 and <name>.id2 per object; <name>.png beside each wink)
//
// Every map is protected as Messenger protects it: with the account's DPAPI master key and the
// e-mail address as entropy. The account passwords are in kUsers below (and in the README).
#include "DemoMedia.h"
#include "DpapiProtect.h"
#include "common/EmailId.h"
#include "cabinet/cabfiles.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QSet>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

using namespace zorvak;
using namespace zorvak::dpapi;
using namespace zorvak::dpapi::protect;

namespace {

struct UserSpec {
    const char *windowsUser;
    const char *email;
    const char *sid;
    const char *password;
    const char *earlierPassword; // protects some older maps; reached through CREDHIST
};

const UserSpec kUsers[2] = {
    {"Alice", "alice.demo@hotmail.com", "S-1-5-21-1085031214-1563985344-725345543-1003", "zorvak-demo", "daisy2005"},
    {"Bob", "bob.demo@hotmail.com", "S-1-5-21-1085031214-1563985344-725345543-1004", "zorvak-demo", nullptr},
};

QTextStream &Err()
{
    static QTextStream err(stderr);
    return err;
}

// The tool's record in DIR: a first line that names it, then the path (relative to DIR) of every
// file it wrote there, one a line. A later run replaces exactly these files and refuses a DIR that
// holds anything else, so it can never delete what someone else put there (a real profile on a
// mounted Windows disk, for one).
const QString kMarkerName = QStringLiteral(".zorvak-demo-profile");
const QByteArray kMarkerHeader = "zorvak-demo-profile: the files below were written by this tool and are replaced by its next run\n";

// The folder being written and its record; files written elsewhere (temporary work) are not recorded.
QString g_root;

void Record(const QString &path)
{
    if (g_root.isEmpty() || !path.startsWith(g_root + u'/'))
        return;
    // Appended at once, so that even a run that stops half-way leaves a record of what it wrote.
    QFile marker(g_root + u'/' + kMarkerName);
    if (!marker.open(QIODevice::Append) || marker.write((path.mid(g_root.size() + 1) + u'\n').toUtf8()) < 0)
        throw std::runtime_error(("cannot write " + marker.fileName()).toStdString());
}

void WriteFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        throw std::runtime_error(("cannot write " + path).toStdString());
    Record(path);
}

// A record line names a file below DIR: relative, with no empty, "." or ".." element. Other lines
// (a record edited by hand or by someone else) name nothing.
bool IsInsideRecordPath(const QString &line)
{
    if (line.isEmpty() || line.startsWith(u'/'))
        return false;
    for (const QStringView element : QStringView(line).split(u'/'))
        if (element.isEmpty() || element == u"." || element == u"..")
            return false;
    return true;
}

// The files (relative paths) a DIR's record lists; false when DIR holds no record of this tool.
bool ReadRecord(const QString &root, QSet<QString> &files)
{
    QFile marker(root + u'/' + kMarkerName);
    const QFileInfo info(marker.fileName());
    if (info.isSymLink() || !info.isFile() || !marker.open(QIODevice::ReadOnly) || marker.readLine() != kMarkerHeader)
        return false;
    while (!marker.atEnd()) {
        const QString line = QString::fromUtf8(marker.readLine()).chopped(1);
        if (IsInsideRecordPath(line))
            files.insert(line);
    }
    return true;
}

// Whether the tool may write into root: it does not exist, is empty, or holds only what an earlier
// run recorded (regular files and the folders that lead to them). `made` receives that record.
// On refusal `error` names the first thing the tool did not make.
bool MayWriteInto(const QString &root, QSet<QString> &made, QString &error)
{
    const QFileInfo info(root);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (!info.isDir()) {
        error = root + QStringLiteral(": not a folder");
        return false;
    }
    const QDir::Filters everything = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    if (QDir(root).entryList(everything).isEmpty())
        return true;
    const QString refusal = QStringLiteral(
        "%1 holds %2, which this tool did not make; it writes only into a new or empty folder or into a "
        "demo profile it made before");
    if (!ReadRecord(root, made)) {
        error = refusal.arg(root, QDir(root).entryList(everything, QDir::Name).first());
        return false;
    }
    QSet<QString> folders;
    for (const QString &file : std::as_const(made))
        for (QString up = file.section(u'/', 0, -2); !up.isEmpty(); up = up.section(u'/', 0, -2))
            folders.insert(up);
    for (QDirIterator it(root, everything, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo entry(it.next());
        const QString relative = entry.filePath().mid(root.size() + 1);
        if (relative == kMarkerName)
            continue;
        const bool ours = !entry.isSymLink()
                          && ((entry.isDir() && folders.contains(relative)) || (entry.isFile() && made.contains(relative)));
        if (!ours) {
            error = refusal.arg(root, relative);
            return false;
        }
    }
    return true;
}

// Removes the files an earlier run recorded, then the folders left empty by that.
void RemoveEarlierRun(const QString &root, const QSet<QString> &made)
{
    QStringList folders;
    for (const QString &file : made) {
        // Only a regular file (not a link, whatever it points to) is the tool's to remove.
        const QFileInfo entry(root + u'/' + file);
        if (!entry.isSymLink() && entry.isFile())
            QFile::remove(entry.filePath());
        for (QString up = file.section(u'/', 0, -2); !up.isEmpty(); up = up.section(u'/', 0, -2))
            folders << up;
    }
    folders.removeDuplicates();
    // Deepest first, so that each folder is empty when its turn comes.
    std::sort(folders.begin(), folders.end(), [](const QString &a, const QString &b) { return a.count(u'/') > b.count(u'/'); });
    for (const QString &folder : std::as_const(folders))
        QDir(root).rmdir(folder);
}

// Starts the record of this run (the earlier one is replaced).
void StartRecord(const QString &root)
{
    QDir().mkpath(root);
    QFile marker(root + u'/' + kMarkerName);
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate) || marker.write(kMarkerHeader) != kMarkerHeader.size())
        throw std::runtime_error(("cannot write " + marker.fileName()).toStdString());
    g_root = root;
}

// A content file name as Messenger makes them: letters and digits, no extension.
QString ObjectName(const QByteArray &data, const QString &salt)
{
    return QString::fromLatin1(QCryptographicHash::hash(data + salt.toUtf8(), QCryptographicHash::Sha1).toHex().left(12)).toUpper();
}

QString B64(const QByteArray &data) { return QString::fromLatin1(data.toBase64()); }

// One Messenger object element for a content file.
QString MsnObject(const QString &creator, int type, const QString &location, const QByteArray &data,
                  const QString &friendly, const QString &extra = QString())
{
    const QByteArray sha1d = QCryptographicHash::hash(data, QCryptographicHash::Sha1);
    const QString friendlyB64 = B64(Utf16Le(friendly + QChar(u'\0')));
    QString obj = QStringLiteral("<msnobj Creator=\"%1\" Size=\"%2\" Type=\"%3\" Location=\"%4\" Friendly=\"%5\" SHA1D=\"%6\"")
                      .arg(creator)
                      .arg(data.size())
                      .arg(type)
                      .arg(location, friendlyB64, B64(sha1d));
    obj += QStringLiteral(" SHA1C=\"%1\"").arg(B64(QCryptographicHash::hash((obj + extra).toUtf8(), QCryptographicHash::Sha1)));
    if (!extra.isEmpty())
        obj += u' ' + extra;
    return obj + QStringLiteral("/>");
}

class UserWriter {
public:
    UserWriter(const QString &root, const UserSpec &user) : m_user(user)
    {
        m_appData = root + "/Documents and Settings/" + user.windowsUser + "/Application Data";
        m_messenger = m_appData + "/Microsoft/MSN Messenger/" + EmailToId(user.email);
        MakeKeys();
    }

    // Writes a content file and returns its name.
    QString Content(const QString &folder, const QByteArray &data)
    {
        const QString name = ObjectName(data, folder);
        WriteFile(m_messenger + "/" + folder + "/" + name, data);
        return name;
    }

    // map.dat of a content folder naming its content map, and the content map in MapFile.
    void Maps(const QString &folder, const QString &mapText, bool earlierKey = false)
    {
        const QString mapName = ObjectName(mapText.toUtf8(), QStringLiteral("map"));
        const MadeMasterKey &key = earlierKey && m_earlier ? *m_earlier : m_current;
        const QString mapDat = QStringLiteral("<msnobj Creator=\"%1\" Type=\"11\" Location=\"%2\" stamp=\"%3\"/>")
                                   .arg(m_user.email, mapName, B64(RandomBytes(12)));
        WriteFile(m_messenger + "/" + folder + "/map.dat", MakeMapFile(mapDat, m_user.email, key.masterKey, key.guid, Flavour::Xp));
        WriteFile(m_messenger + "/MapFile/" + mapName, MakeMapFile(mapText, m_user.email, key.masterKey, key.guid, Flavour::Xp));
    }

    void Plain(const QString &relative, const QByteArray &data) { WriteFile(m_messenger + "/" + relative, data); }

    QString Stamp() const { return QStringLiteral("stamp=\"%1\"").arg(B64(RandomBytes(15))); }
    const char *email() const { return m_user.email; }

private:
    void MakeKeys()
    {
        const QString protect = m_appData + "/Microsoft/Protect";
        const QString sidFolder = protect + "/" + m_user.sid;
        QList<PasswordHashes> history;
        if (m_user.earlierPassword)
            history << PasswordHashes::Of(QString::fromUtf8(m_user.earlierPassword));
        history << PasswordHashes::Of(QString::fromUtf8(m_user.password));
        const MadeCredhist credhist = MakeCredhist(history, m_user.sid);
        WriteFile(protect + "/CREDHIST", credhist.file);

        MasterKeyParams params;
        params.sid = m_user.sid;
        if (m_user.earlierPassword) {
            params.passwordHash = history.first().sha1;
            params.credhistGuid = credhist.guids.first();
            m_earlier = MakeMasterKeyFile(params);
            WriteFile(sidFolder + "/" + m_earlier->guid, m_earlier->file);
        }
        params.passwordHash = history.last().sha1;
        params.credhistGuid = credhist.guids.last();
        m_current = MakeMasterKeyFile(params);
        WriteFile(sidFolder + "/" + m_current.guid, m_current.file);
        WriteFile(sidFolder + "/Preferred", MakePreferred(m_current.guid, QDateTime::currentDateTimeUtc().addDays(90)));
    }

    UserSpec m_user;
    QString m_appData, m_messenger;
    MadeMasterKey m_current;
    std::optional<MadeMasterKey> m_earlier;
};

// An MSZIP cabinet of `files` (made in `work`), as bytes; `what` names it in the error.
QByteArray PackCabinet(const QTemporaryDir &work, const QStringList &files, const char *what)
{
    TCABFile cab;
    cab.CABFile = work.filePath("packed.cab");
    cab.CompressionType = typMSZIP;
    for (const QString &file : files)
        cab.CABFileContents.Add().Name = file;
    QFile f(cab.CABFile);
    if (!cab.CreateCabinet() || !f.open(QIODevice::ReadOnly))
        throw std::runtime_error(std::string("cannot make the ") + what + " cabinet");
    return f.readAll();
}

// A wink: a cabinet holding the Flash movie and its thumbnail.
QByteArray MakeWinkCabinet(const QString &name, QColor colour, int frames)
{
    QTemporaryDir work;
    const QString swf = work.filePath(name + ".swf"), png = work.filePath(name + ".png");
    WriteFile(swf, demo::MakeFlash(100, 100, frames, colour));
    WriteFile(png, demo::MakePicture("png", 50, 50, colour, 1));
    return PackCabinet(work, {swf, png}, "wink");
}

void WriteAlice(const QString &root)
{
    UserWriter u(root, kUsers[0]);
    const QString me = QString::fromLatin1(u.email());

    // Custom emoticons: Key TAB Name TAB object TAB, records back to back.
    struct Emot { const char *key; QString name; QByteArray data; const char *contentType; };
    const Emot emots[] = {
        {"(wink)", QStringLiteral("Blinking smile"), demo::MakeAnimatedGif(19, QColor(255, 210, 0)), "D"},
        {"<3", QStringLiteral("Heart & <Soul>"), demo::MakePicture("png", 19, 19, QColor(220, 30, 60), 0), nullptr},
        {"\"hi\"", QStringLiteral("\"Hi\" there"), demo::MakePicture("jpg", 40, 40, QColor(60, 140, 220), 1), "P"},
        {"(caf\u00e9)", QStringLiteral("Caf\u00e9 cr\u00e8me"), demo::MakePicture("bmp", 19, 19, QColor(120, 70, 30), 2), "D"},
        {"(&)", QStringLiteral("Gr\u00fc\u00dfe 'n' more"), demo::MakePicture("tif", 24, 24, QColor(40, 170, 90), 1), ""},
    };
    QString emotMap;
    for (const Emot &e : emots) {
        const QString location = u.Content("CustomEmoticons", e.data);
        const QString extra = e.contentType ? QStringLiteral("contenttype=\"%1\"").arg(QLatin1String(e.contentType)) : QString();
        emotMap += QString::fromUtf8(e.key) + u'\t' + e.name + u'\t' + MsnObject(me, 2, location, e.data, e.name, extra) + u'\t';
    }
    emotMap += QStringLiteral("\r\n"); // trailing text without a TAB is ignored
    u.Maps("CustomEmoticons", emotMap);
    // Files that no map names: an icon and a cursor.
    u.Content("CustomEmoticons", demo::MakePicture("ico", 32, 32, QColor(90, 90, 200), 1));
    u.Content("CustomEmoticons", demo::MakeCursor(32, QColor(200, 90, 90)));

    // Display pictures: Name TAB object TAB. "Orange Daisy" is one of Messenger's own.
    const QByteArray daisy = demo::MakeJpegOfSize(96, 96, QColor(255, 140, 0), 0, 20559);
    if (daisy.size() != 20559)
        throw std::runtime_error("the Orange Daisy picture does not fit in 20559 bytes");
    struct Dp { QString name; QByteArray data; };
    const Dp dps[] = {
        {QStringLiteral("Orange Daisy"), daisy},
        {QStringLiteral("Me & my <bike>"), demo::MakePicture("png", 96, 96, QColor(30, 120, 200), 2)},
        {QStringLiteral("\u00c9t\u00e9 \u00e0 \"Nice\""), demo::MakePicture("jpg", 96, 96, QColor(240, 200, 80), 1)},
    };
    QString dpMap;
    for (const Dp &d : dps)
        dpMap += d.name + u'\t' + MsnObject(me, 3, u.Content("UserTile", d.data), d.data, d.name, u.Stamp()) + u'\t';
    u.Maps("UserTile", dpMap);

    // Line maps: Name TAB object TAB anything LF. An empty object drops its line; text after the
    // last LF is ignored. Backgrounds and winks are under the earlier password's master key.
    const auto line = [&](const QString &folder, int type, const QString &name, const QByteArray &data) {
        return name + u'\t' + MsnObject(me, type, u.Content(folder, data), data, name, u.Stamp()) + u'\t'
               + QStringLiteral("0\n");
    };
    QString bgMap;
    bgMap += line("Backgrounds", 5, QStringLiteral("Sunset & <Sea>"), demo::MakePicture("jpg", 320, 240, QColor(250, 120, 60), 2));
    bgMap += QStringLiteral("Removed background\t\t\n");
    bgMap += line("Backgrounds", 5, QStringLiteral("Ch\u00e2teau \"Fort\""), demo::MakePicture("png", 320, 240, QColor(100, 160, 90), 0));
    bgMap += QStringLiteral("Half written\t<msnobj");
    u.Maps("Backgrounds", bgMap, true);

    QString winkMap;
    winkMap += line("Winks3", 8, QStringLiteral("Dancing <Daisy>"), MakeWinkCabinet("daisy", QColor(255, 140, 0), 24));
    winkMap += line("Winks3", 8, QStringLiteral("Pl\u00e4tzchen & Tea"), MakeWinkCabinet("tea", QColor(150, 90, 40), 12));
    u.Maps("Winks3", winkMap, true);

    QString ddpMap;
    ddpMap += line("DeluxeDisplayPictures", 14, QStringLiteral("Waving 'me'"), demo::MakeFlash(96, 96, 36, QColor(30, 120, 200)));
    ddpMap += line("DeluxeDisplayPictures", 14, QStringLiteral("Still & calm"), demo::MakePicture("png", 96, 96, QColor(80, 80, 160), 1));
    u.Maps("DeluxeDisplayPictures", ddpMap);

    QString dbgMap;
    dbgMap += line("DynamicBackgrounds", 16, QStringLiteral("Aquarium <live>"), demo::MakeFlash(320, 240, 48, QColor(20, 90, 160)));
    u.Maps("DynamicBackgrounds", dbgMap);

    // Voice clips have no map.
    u.Content("VoiceClips", demo::MakeWave(0.6, 660));
    u.Content("VoiceClips", demo::MakeMp3());
    u.Content("VoiceClips", demo::MakeMidi());
    u.Content("VoiceClips", demo::MakeAsf());
}

// Alice's conversation history, as Messenger kept it in her My Received Files folder: one file per
// contact named "<local part><folder ID>.xml", entries back to back on one line, times in UTC
// (DateTime) and in the writer's local format. Bob's file: two sessions, a file transfer and a
// text that looks like HTML. Carol's (a regional domain): a group conversation with Join and
// Leave, non-Latin text and an emoji, and the file cut short in its last message, as when
// Messenger was stopped while writing it.
void WriteAliceHistory(const QString &root)
{
    const QString alice = QString::fromLatin1(kUsers[0].email);
    const QString received = root + "/Documents and Settings/Alice/My Documents/My Received Files/alice.demo" + EmailToId(alice);
    const QString style = QStringLiteral("font-family:Segoe UI; color:#000000; ");
    struct Line { const char *element; const char *utc; int session; QString from; QStringList to; QString text; QString style; QString extra; };
    const auto entry = [](const Line &l) {
        const QDateTime t = QDateTime::fromString(QString::fromLatin1(l.utc), Qt::ISODateWithMs);
        const QString local = t.toOffsetFromUtc(3600).toString(QStringLiteral("d/M/yyyy"));
        const QString localTime = t.toOffsetFromUtc(3600).toString(QStringLiteral("HH:mm:ss"));
        const auto esc = [](QString text) { return text.toHtmlEscaped(); };
        QString x = QStringLiteral("<%1 Date=\"%2\" Time=\"%3\" DateTime=\"%4\" SessionID=\"%5\">")
                        .arg(QLatin1String(l.element), local, localTime, QLatin1String(l.utc)).arg(l.session);
        if (!l.from.isEmpty())
            x += QStringLiteral("<From><User FriendlyName=\"%1\"/></From>").arg(esc(l.from));
        if (!l.to.isEmpty()) {
            x += QStringLiteral("<To>");
            for (const QString &to : l.to)
                x += QStringLiteral("<User FriendlyName=\"%1\"/>").arg(esc(to));
            x += QStringLiteral("</To>");
        }
        x += l.extra;
        x += QStringLiteral("<Text Style=\"%1\">%2</Text></%3>").arg(esc(l.style), esc(l.text), QLatin1String(l.element));
        return x;
    };
    const auto log = [&](const QList<Line> &lines, int first, int last) {
        QString x = QStringLiteral("<?xml version=\"1.0\"?>\r\n<?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>\r\n"
                                   "<Log FirstSessionID=\"%1\" LastSessionID=\"%2\">").arg(first).arg(last);
        for (const Line &l : lines)
            x += entry(l);
        return x + QStringLiteral("</Log>\r\n");
    };
    const QString me = QStringLiteral("Alice \u273F");
    const QString bob = QStringLiteral("Bob (at work)");
    const QString path = QStringLiteral("C:\\Documents and Settings\\Alice\\My Documents\\My Received Files\\alice.demo%1\\holiday.jpg").arg(EmailToId(alice));
    const QList<Line> bobLines = {
        {"Message", "2005-03-01T14:02:03.120Z", 1, me, {bob}, QStringLiteral("Hi Bob! Are you there?"), style, {}},
        {"Message", "2005-03-01T14:02:31.540Z", 1, bob, {me}, QStringLiteral("Yes, just back from lunch."),
         QStringLiteral("font-family:Comic Sans MS; font-weight:bold; color:#0000ff; "), {}},
        {"Message", "2005-03-01T14:03:10.000Z", 1, me, {bob}, QStringLiteral("Is <b>this</b> bold? <script>alert(\"no\")</script> & so on"),
         QStringLiteral("font-family:Arial; font-style:italic; text-decoration:underline; color:#c00000; "), {}},
        {"Invitation", "2005-03-02T09:15:00.250Z", 2, bob, {}, QStringLiteral("Bob (at work) sends holiday.jpg"), style,
         QStringLiteral("<File>holiday.jpg</File>")},
        {"InvitationResponse", "2005-03-02T09:15:42.800Z", 2, me, {}, QStringLiteral("You have received %1 from Bob (at work).").arg(path), style,
         QStringLiteral("<File>%1</File>").arg(path.toHtmlEscaped())},
        {"Message", "2005-03-02T09:16:05.000Z", 2, me, {bob}, QStringLiteral("Lovely beach!\r\nWhere is it?"), style, {}},
    };
    WriteFile(received + "/History/bob.demo" + EmailToId(QStringLiteral("bob.demo@hotmail.com")) + ".xml", log(bobLines, 1, 2).toUtf8());
    WriteFile(received + "/holiday.jpg", demo::MakePicture("jpg", 160, 120, QColor(40, 150, 220), 1));

    const QString carol = QStringLiteral("Carol \u2600");
    const QString dave = QStringLiteral("Dave");
    const QList<Line> carolLines = {
        {"Message", "2006-07-14T20:00:00.000Z", 3, carol, {me}, QStringLiteral("Bonsoir Alice ! Привет! 你好 \U0001F389"),
         QStringLiteral("font-family:MS Shell Dlg 2; color:#800080; "), {}},
        {"Join", "2006-07-14T20:00:45.000Z", 3, {}, {}, QStringLiteral("Dave has joined the conversation."), style,
         QStringLiteral("<User FriendlyName=\"%1\"/>").arg(dave)},
        {"Message", "2006-07-14T20:01:02.000Z", 3, dave, {me, carol}, QStringLiteral("Hello both of you"), style, {}},
        {"Leave", "2006-07-14T20:05:00.000Z", 3, {}, {}, QStringLiteral("Dave has left the conversation."), style,
         QStringLiteral("<User FriendlyName=\"%1\"/>").arg(dave)},
        {"Message", "2006-07-14T20:05:30.000Z", 3, me, {carol}, QStringLiteral("\u00C0 bient\u00F4t, Carol \U0001F44B"), style, {}},
    };
    // The last message is cut in its text: Messenger stopped while writing.
    QByteArray carolLog = log(carolLines, 3, 3).toUtf8();
    carolLog.truncate(carolLog.lastIndexOf("bient"));
    WriteFile(received + "/History/carol.demo" + EmailToId(QStringLiteral("carol.demo@live.fr")) + ".xml", carolLog);
}

void WriteBob(const QString &root)
{
    UserWriter u(root, kUsers[1]);
    const QString me = QString::fromLatin1(u.email());
    const QByteArray smile = demo::MakeAnimatedGif(19, QColor(120, 220, 90));
    u.Maps("CustomEmoticons", QStringLiteral(":-b\tBob's grin\t") + MsnObject(me, 2, u.Content("CustomEmoticons", smile), smile, "Bob's grin") + u'\t');
    const QByteArray picture = demo::MakePicture("png", 96, 96, QColor(90, 60, 160), 1);
    u.Maps("UserTile", QStringLiteral("Bob\t") + MsnObject(me, 3, u.Content("UserTile", picture), picture, "Bob", u.Stamp()) + u'\t');
}

// Dave: a Windows 7 profile whose Messenger (a later version) keeps an account in the
// ObjectStore layout: below AppData/Local, one folder per kind, each object a ".dt2" file with its
// bytes and a ".id2" file with its protected metadata beside it; winks add a ".png" thumbnail.
const UserSpec kDave{"Dave", "dave.demo@hotmail.com", "S-1-5-21-1085031214-1563985344-725345543-1005", "zorvak-demo", nullptr};

// A wink cabinet that carries its own manifest naming it.
QByteArray MakeNamedWinkCabinet(const QString &file, const QString &name, QColor colour, int frames)
{
    QTemporaryDir work;
    const QString swf = work.filePath(file + ".swf"), png = work.filePath(file + ".png"),
                  xml = work.filePath("content.xml");
    WriteFile(swf, demo::MakeFlash(100, 100, frames, colour));
    WriteFile(png, demo::MakePicture("png", 50, 50, colour, 1));
    const QString manifest = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        "<package xmlns=\"http://messenger.msn.com/messengercontent/1.0\" version=\"1.0\" type=\"wink\">\r\n"
        "<item contenttype=\"D\" type=\"wink\" mimetype=\"application/x-shockwave-flash\" file=\"%1.swf\" "
        "name=\"%2\" keysequence=\"#wave\" />\r\n"
        "<item contenttype=\"T\" type=\"wink\" mimetype=\"image/png\" file=\"%1.png\" />\r\n"
        "</package>\r\n").arg(file, name);
    WriteFile(xml, manifest.toUtf8());
    return PackCabinet(work, {xml, swf, png}, "wink");
}

// A deluxe display picture of the later versions: a cabinet of a Flash movie and its still.
QByteArray MakeWebcamDdpCabinet()
{
    QTemporaryDir work;
    const QString swf = work.filePath("ddp.swf"), png = work.filePath("ddp.png");
    WriteFile(swf, demo::MakeFlash(96, 96, 30, QColor(200, 60, 160)));
    WriteFile(png, demo::MakePicture("png", 96, 96, QColor(200, 60, 160), 2));
    return PackCabinet(work, {swf, png}, "deluxe display picture");
}

void WriteDave(const QString &root)
{
    const UserSpec &user = kDave;
    const QString profile = root + "/Users/" + user.windowsUser;
    const QString email = QString::fromLatin1(user.email);
    const QString store = profile + "/AppData/Local/Microsoft/Messenger/" + email + "/ObjectStore";

    // The account's master key (Windows 7: AES-256 and SHA-512), which protects the metadata.
    const QString sidFolder = profile + "/AppData/Roaming/Microsoft/Protect/" + user.sid;
    MasterKeyParams params;
    params.sid = user.sid;
    params.passwordHash = PasswordHashes::Of(QString::fromUtf8(user.password)).sha1;
    params.flavour = Flavour::Modern;
    const MadeMasterKey key = MakeMasterKeyFile(params);
    WriteFile(sidFolder + "/" + key.guid, key.file);
    WriteFile(sidFolder + "/Preferred", MakePreferred(key.guid, QDateTime::currentDateTimeUtc().addDays(90)));

    // The object's name: the Base64 text of a 20-byte hash, "/" written as "_" (Windows takes no
    // "/" in a name). The first object's salt is chosen so that its name holds a "+" too.
    int salt = 0;
    bool wantPlus = true;
    const auto object = [&](const QString &kind, const QByteArray &data, const QString &name, const QString &shortcut) {
        QString base;
        do {
            base = QString::fromLatin1(QCryptographicHash::hash(data + QByteArray::number(salt++), QCryptographicHash::Sha1)
                                           .toBase64())
                       .replace(u'/', u'_');
        } while (wantPlus && !base.contains(u'+') && salt < 1000);
        wantPlus = false;
        WriteFile(store + "/" + kind + "/" + base + ".dt2", data);
        const QByteArray metadata = Utf16Le(name + u'\t' + shortcut + QChar(u'\0'));
        WriteFile(store + "/" + kind + "/" + base + ".id2",
                  MakeBlob(key.masterKey, key.guid, metadata, QByteArray(), Flavour::Modern, email));
        return base;
    };

    object("CustomEmoticons", demo::MakePicture("png", 19, 19, QColor(30, 160, 220), 1), QStringLiteral("Dave's wave"), QStringLiteral("(dw)"));
    object("CustomEmoticons", demo::MakeAnimatedGif(19, QColor(240, 120, 20)), QStringLiteral("Spinning grin"), QStringLiteral(":dg"));
    object("CustomEmoticons", demo::MakePicture("jpg", 40, 40, QColor(90, 200, 120), 2), QStringLiteral("Tea time"), QStringLiteral("(tea)"));

    object("UserTile", demo::MakePicture("png", 96, 96, QColor(60, 90, 200), 0), QStringLiteral("Dave"), QString());
    object("UserTile", demo::MakeAnimatedGif(96, QColor(220, 40, 80)), QStringLiteral("Dave animated"), QString());
    object("UserTile", demo::MakePicture("jpg", 96, 96, QColor(120, 120, 120), 1), QStringLiteral("Webcam shot"), QString());

    object("WebcamDDP", MakeWebcamDdpCabinet(), QStringLiteral("Dave live"), QString());

    object("Backgrounds", demo::MakePicture("jpg", 320, 240, QColor(40, 120, 200), 2), QStringLiteral("Lake"), QString());
    object("DynamicBackgrounds", demo::MakeFlash(320, 240, 24, QColor(20, 160, 90)), QStringLiteral("Forest"), QString());

    // Winks: the cabinet and its thumbnail; one cabinet names itself in its manifest.
    const struct {
        QByteArray cabinet;
        QColor colour;
        QString name;
    } winks[] = {
        {MakeNamedWinkCabinet(QStringLiteral("wave"), QStringLiteral("Big Wave"), QColor(30, 144, 255), 20), QColor(30, 144, 255), QStringLiteral("Big Wave")},
        {MakeWinkCabinet(QStringLiteral("jump"), QColor(255, 200, 0), 16), QColor(255, 200, 0), QStringLiteral("Jump")},
    };
    for (const auto &wink : winks) {
        const QString base = object("Winks3", wink.cabinet, wink.name, QString());
        WriteFile(store + "/Winks3/" + base + ".png", demo::MakePicture("png", 50, 50, wink.colour, 1));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        Err() << "Usage: zorvak-demo-profile DIR\n"
                 "Writes a synthetic Windows XP profile with Messenger content for two users under\n"
                 "DIR/Documents and Settings, and a Windows 7 profile whose account keeps its content in\n"
                 "the ObjectStore layout under DIR/Users. DIR must be new or empty, or hold a demo profile\n"
                 "this tool wrote before, which is then replaced; anything else in DIR makes it refuse.\n";
        return 2;
    }
    const QString root = QDir::cleanPath(QDir(args.first()).absolutePath());
    QSet<QString> earlier;
    QString refusal;
    if (!MayWriteInto(root, earlier, refusal)) {
        Err() << "zorvak-demo-profile: " << refusal << "\n";
        return 1;
    }
    try {
        RemoveEarlierRun(root, earlier);
        StartRecord(root);
        WriteAlice(root);
        WriteAliceHistory(root);
        WriteBob(root);
        WriteDave(root);
    } catch (const std::exception &e) {
        Err() << "zorvak-demo-profile: " << e.what() << "\n";
        return 1;
    }
    QTextStream out(stdout);
    for (const UserSpec &user : kUsers)
        out << root << "/Documents and Settings/" << user.windowsUser << "/Application Data\t" << user.email << '\t'
            << EmailToId(QString::fromLatin1(user.email)) << '\t' << user.password << '\n';
    out << root << "/Users/" << kDave.windowsUser << "/AppData/Roaming\t" << kDave.email << '\t'
        << EmailToId(QString::fromLatin1(kDave.email)) << '\t' << kDave.password << '\n';
    return 0;
}
