#include "history/HistoryFind.h"

#include "common/EmailId.h"
#include "common/FileOps.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace zorvak::history {

namespace {

const QDir::Filters kFolders = QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;

bool IsDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// A folder ID as Messenger writes it: a number from 1 to 2^32 without leading zeros.
bool IsFolderId(QStringView s)
{
    return IsDigits(s) && s.size() <= 10 && s[0] != u'0' && s.toULongLong() <= 4294967296ull;
}

// The entry of `folder` named `name`, letter case ignored; empty when none (or several).
QString Child(const QString &folder, const QString &name, QDir::Filters filters = kFolders)
{
    const QString exact = folder + u'/' + name;
    if (QFileInfo::exists(exact))
        return exact;
    QString found;
    for (const QString &entry : QDir(folder).entryList(filters)) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return {};
        found = folder + u'/' + entry;
    }
    return found;
}

QStringList Subfolders(const QString &folder)
{
    QStringList out;
    for (const QString &entry : QDir(folder).entryList(kFolders, QDir::Name))
        out << folder + u'/' + entry;
    return out;
}

QString Absolute(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

bool IsHistoryFileName(const QString &name) { return name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) && name.size() > 4; }

// The Messenger data folders of a profile, by the layouts Messenger used: ID -> folder.
QList<QPair<QString, QString>> MessengerUsers(const QString &profile)
{
    static const char *const kLayouts[] = {
        "Application Data/Microsoft/MSN Messenger",
        "AppData/Roaming/Microsoft/MSN Messenger",
        "Local Settings/Application Data/Microsoft/MSN Messenger",
        "AppData/Local/Microsoft/MSN Messenger",
    };
    QList<QPair<QString, QString>> users;
    for (const char *layout : kLayouts) {
        QString folder = profile;
        for (const QString &part : QString::fromLatin1(layout).split(u'/')) {
            folder = Child(folder, part);
            if (folder.isEmpty())
                break;
        }
        if (folder.isEmpty())
            continue;
        for (const QString &entry : QDir(folder).entryList(kFolders, QDir::Name))
            if (IsFolderId(entry))
                users.append({entry, folder + u'/' + entry});
    }
    return users;
}

THistoryFolder FolderAt(const QString &historyFolder, const QString &onlyFile = QString())
{
    THistoryFolder f;
    f.folder = Absolute(historyFolder);
    const QFileInfo user(QFileInfo(f.folder).absolutePath());
    f.userFolder = user.absoluteFilePath();
    f.userName = user.fileName();
    const QFileInfo received(user.absolutePath());
    QList<QPair<QString, QString>> messengerUsers;
    if (received.fileName().compare(QLatin1String("My Received Files"), Qt::CaseInsensitive) == 0) {
        f.receivedFiles = received.absoluteFilePath();
        // My Received Files lies in the profile's documents folder.
        f.profile = QFileInfo(QFileInfo(received.absolutePath()).absolutePath()).absoluteFilePath();
        messengerUsers = MessengerUsers(f.profile);
    }
    QStringList ids;
    for (const auto &u : std::as_const(messengerUsers))
        ids << u.first;
    const TNameParts parts = SplitName(f.userName, ids);
    f.userId = parts.id;
    f.userAddress = parts.address;
    for (const auto &u : std::as_const(messengerUsers))
        if (u.first == f.userId && !f.userId.isEmpty()) {
            f.messengerFolder = u.second;
            break;
        }
    const QStringList names = onlyFile.isEmpty()
        ? QDir(f.folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)
        : QStringList{QFileInfo(onlyFile).fileName()};
    for (const QString &name : names) {
        if (!IsHistoryFileName(name))
            continue;
        const QString path = f.folder + u'/' + name;
        if (onlyFile.isEmpty() && !fileops::IsRegularFile(path))
            continue;
        THistoryFile file;
        file.path = path;
        file.contact = name.left(name.size() - 4);
        const TNameParts contact = SplitName(file.contact);
        file.contactId = contact.id;
        file.contactAddress = contact.address;
        f.files << file;
    }
    return f;
}

// The History folder of a user's folder in My Received Files; empty when none.
QString HistoryIn(const QString &userFolder) { return Child(userFolder, QStringLiteral("History")); }

} // namespace

const QStringList &CommonMailDomains()
{
    static const QStringList domains = [] {
        QStringList d{QStringLiteral("hotmail.com"), QStringLiteral("msn.com"), QStringLiteral("live.com"),
                      QStringLiteral("passport.com"), QStringLiteral("windowslive.com"), QStringLiteral("webtv.net"),
                      QStringLiteral("msn.cn")};
        for (const char *suffix : {"co.uk", "fr", "de", "it", "es", "be", "nl", "se", "no", "dk", "fi", "ch", "at",
                                   "ca", "ie", "gr", "pt", "ru", "co.jp", "jp", "co.kr", "com.ar", "com.br", "com.mx",
                                   "com.au", "co.nz", "co.in", "co.za", "co.th", "com.tw", "com.hk", "com.sg", "my",
                                   "cl", "com.tr", "cz", "hu", "lv", "lt", "sk", "rs", "com.vn", "co.id", "ph", "cn"}) {
            d << QStringLiteral("hotmail.") + QLatin1String(suffix);
            d << QStringLiteral("live.") + QLatin1String(suffix);
        }
        return d;
    }();
    return domains;
}

QString RecoverAddress(const QString &localPart, const QString &id)
{
    if (localPart.isEmpty() || !IsFolderId(id))
        return {};
    for (const QString &domain : CommonMailDomains()) {
        const QString address = localPart + u'@' + domain;
        if (EmailToId(address) == id)
            return address;
    }
    return {};
}

TNameParts SplitName(const QString &name, const QStringList &knownIds)
{
    TNameParts parts;
    if (name.contains(u'@')) {
        parts.address = name;
        parts.localPart = name.left(name.indexOf(u'@'));
        parts.id = EmailToId(name);
        return parts;
    }
    for (const QString &id : knownIds) {
        if (name.size() > id.size() && name.endsWith(id)) {
            parts.localPart = name.left(name.size() - id.size());
            parts.id = id;
            parts.address = RecoverAddress(parts.localPart, id);
            return parts;
        }
    }
    // Every number that may end the name, longest first.
    qsizetype start = name.size();
    while (start > 0 && name[start - 1].isDigit() && name[start - 1] < u'\x80')
        --start;
    QString fallback;
    for (qsizetype at = qMax<qsizetype>(start, name.size() - 10); at < name.size(); ++at) {
        const QString id = name.mid(at);
        if (at == 0 || !IsFolderId(id))
            continue;
        if (fallback.isEmpty())
            fallback = id;
        if (const QString address = RecoverAddress(name.left(at), id); !address.isEmpty()) {
            parts.localPart = name.left(at);
            parts.id = id;
            parts.address = address;
            return parts;
        }
    }
    parts.id = fallback;
    parts.localPart = name.left(name.size() - fallback.size());
    return parts;
}

QStringList ReceivedFilesFolders(const QString &profile)
{
    QStringList out;
    for (const QString &documents : Subfolders(Absolute(profile))) {
        const QString received = Child(documents, QStringLiteral("My Received Files"));
        if (!received.isEmpty() && QFileInfo(received).isDir())
            out << received;
    }
    return out;
}

std::vector<THistoryFolder> HistoryOfProfile(const QString &profile)
{
    std::vector<THistoryFolder> out;
    for (const QString &received : ReceivedFilesFolders(profile))
        for (const QString &user : Subfolders(received))
            if (const QString history = HistoryIn(user); !history.isEmpty())
                out.push_back(FolderAt(history));
    return out;
}

namespace {

// The histories of a folder above the profiles: a profile, a My Received Files folder under any
// name, or, `levels` deep at most, a folder holding such folders (a profiles folder, a volume).
void SearchBelow(const QString &folder, int levels, std::vector<THistoryFolder> &found)
{
    std::vector<THistoryFolder> own = HistoryOfProfile(folder);
    if (own.empty())
        for (const QString &user : Subfolders(folder))
            if (const QString history = HistoryIn(user); !history.isEmpty())
                own.push_back(FolderAt(history));
    if (!own.empty() || levels == 0) {
        for (THistoryFolder &f : own)
            found.push_back(std::move(f));
        return;
    }
    for (const QString &sub : Subfolders(folder))
        SearchBelow(sub, levels - 1, found);
}

} // namespace

std::vector<THistoryFolder> FindHistory(const QString &given)
{
    // "History/" is the History folder too: its name is read without the separator.
    const QString path = given.size() > 1 ? QDir::cleanPath(given) : given;
    std::vector<THistoryFolder> found;
    const QFileInfo info(path);
    const QString absolute = Absolute(path);
    if (info.isFile()) {
        if (fileops::IsRegularFile(absolute))
            found.push_back(FolderAt(info.absolutePath(), absolute));
        return found;
    }
    if (!info.isDir())
        return found;
    if (info.fileName().compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        found.push_back(FolderAt(absolute));
    else if (const QString history = HistoryIn(absolute); !history.isEmpty())
        found.push_back(FolderAt(history));
    else
        SearchBelow(absolute, 2, found);
    // Each folder once (a profile reached twice through links).
    QSet<QString> seen;
    std::vector<THistoryFolder> unique;
    for (THistoryFolder &f : found) {
        const QString real = QFileInfo(f.folder).canonicalFilePath();
        if (seen.contains(real))
            continue;
        seen.insert(real);
        unique.push_back(std::move(f));
    }
    return unique;
}

TConversationSummary Summarize(const THistoryFile &file)
{
    TConversationSummary s;
    s.file = file;
    THistoryReader reader(file.path);
    THistoryEntry e;
    bool first = true;
    qint64 session = 0;
    while (reader.Next(e)) {
        ++s.entries;
        if (e.kind == TEntryKind::Message)
            ++s.messages;
        if (first || e.session != session)
            ++s.sessions;
        first = false;
        session = e.session;
        if (e.time.isValid()) {
            if (!s.first.isValid() || e.time < s.first)
                s.first = e.time;
            if (!s.last.isValid() || e.time > s.last)
                s.last = e.time;
            s.localTime = s.localTime || e.localTime;
        }
    }
    s.logonName = reader.LogonName();
    s.outcome = reader.Outcome();
    s.problem = reader.Problem();
    s.warnings = reader.Warnings();
    return s;
}

QString OwnAddress(const THistoryFolder &folder, const QList<TConversationSummary> &summaries)
{
    if (!folder.userAddress.isEmpty())
        return folder.userAddress;
    for (const TConversationSummary &s : summaries)
        if (!s.logonName.isEmpty() && s.logonName.contains(u'@'))
            return s.logonName;
    return {};
}

} // namespace zorvak::history
