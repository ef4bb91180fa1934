#include "browse/FolderScan.h"
#include "common/PathBytes.h"

#include "browse/ObjectStore.h"
#include "browse/unitFileFolderUtil.h"
#include "history/HistoryFind.h"
#include "platform/Platform.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFileInfo>

namespace zorvak {

namespace {

// Only A to Z are folded.
QString AsciiLower(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return out;
}

QString StripSeparator(const QString &entry)
{
    return entry.endsWith(QLatin1Char('/')) ? entry.left(entry.size() - 1) : entry;
}

bool FolderExists(const QString &path) { return fsys::IsDir(path); }

// The My Received Files folders of a profile and its History folders, into the Windows user's
// node: each History folder under the Messenger user node of its ID when there is one.
void AddHistoryNodes(TFolderNode &windowsUser, const QStringList &received, const std::vector<history::THistoryFolder> &histories)
{
    for (const history::THistoryFolder &h : histories) {
        const QString hint = h.userAddress.isEmpty() ? h.userName : h.userAddress;
        TFolderNode historyNode{QStringLiteral("History"), iconFolder, WithSeparator(h.folder), {}, hint};
        TFolderNode *owner = nullptr;
        for (TFolderNode &child : windowsUser.children)
            if (child.icon == iconMessengerUser && !h.userId.isEmpty() && child.caption == h.userId)
                owner = &child;
        if (!owner)
            historyNode.caption = QStringLiteral("History (%1)").arg(hint);
        (owner ? owner : &windowsUser)->children.push_back(std::move(historyNode));
    }
    for (const QString &folder : received)
        windowsUser.children.push_back(TFolderNode{QFileInfo(folder).fileName(), iconFolder, WithSeparator(folder), {}, {}});
}

} // namespace

void AddProfileHistory(TFolderNode &windowsUser, const QString &profile)
{
    AddHistoryNodes(windowsUser, history::ReceivedFilesFolders(profile), history::HistoryOfProfile(profile));
}

void AddChosenHistory(TFolderNode &root, const QString &chosen)
{
    const QString folder = QDir::cleanPath(chosen);
    std::vector<history::THistoryFolder> found = history::FindHistory(folder);
    if (found.empty()) {
        // A Messenger folder inside a profile (".../<profile>/Application Data/Microsoft/MSN
        // Messenger[/<ID>]"): the nearest folder above it with My Received Files is the profile,
        // whose History folders of the users shown are added.
        QSet<QString> ids;
        if (const QString name = QFileInfo(folder).fileName(); !name.isEmpty() && IsAllDigits(name))
            ids << name;
        for (const TFolderNode &child : root.children)
            if (child.icon == iconMessengerUser)
                ids << child.caption;
        QDir up(folder);
        for (int depth = 0; !ids.isEmpty() && depth < 6 && up.cdUp(); ++depth) {
            if (history::ReceivedFilesFolders(up.path()).isEmpty())
                continue;
            for (history::THistoryFolder &h : history::HistoryOfProfile(up.path()))
                if (ids.contains(h.userId))
                    found.push_back(std::move(h));
            break;
        }
    }
    AddHistoryNodes(root, {}, found);
}

TScanOptions TScanOptions::From(const TSettingsValues &s, bool hideEmpty, bool history)
{
    TScanOptions o;
    o.history = history;
    o.appDatDir = s.appDatDir;
    o.msnDatDir = s.msnDatDir;
    o.subdirEmot = s.subdirEmot;
    o.subdirBg = s.subdirBg;
    o.subdirWink = s.subdirWink;
    o.subdirDp = s.subdirDp;
    o.subdirDdp = s.subdirDdp;
    o.hideEmpty = hideEmpty;
    return o;
}

bool IsAllDigits(const QString &text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

int ContentFolderIcon(const QString &name, const TScanOptions &o)
{
    const QString lower = AsciiLower(name);
    auto contains = [&lower](const char *part) { return lower.contains(QLatin1String(part)); };
    if (contains("emoticon") || name == o.subdirEmot)
        return iconEmoticons;
    if (contains("background") || name == o.subdirBg)
        return iconBackgrounds;
    if (contains("wink") || name == o.subdirWink)
        return iconWinks;
    if (contains("displaypicture") || contains("usertile") || name == o.subdirDp || name == o.subdirDdp)
        return iconDisplayPictures;
    if (contains("voice"))
        return iconVoiceClips;
    return iconNone;
}

void ScanFolders(TFolderForest &into, int level, const QString &path, const TScanOptions &o, QSet<QString> *seen)
{
    const QString base = WithSeparator(path);
    const QStringList entries = ListFolders(base);
    QSet<QString> own;
    QSet<QString> &done = seen ? *seen : own;
    for (const QString &e : entries) {
        const QString n = StripSeparator(e);
        if (level == 0) {
            // The Messenger folders of this profile: the one of the layout settings, the same
            // layout below the local application data (some Vista installations kept it there)
            // and the account folders of the later versions. A folder already scanned (the
            // profile reached twice through links, or by another layout pass) is not scanned
            // again; a profile without any new one is left out.
            const QString profile = base + e;
            QStringList idRoots, storeRoots;
            auto fresh = [&](const QString &folder) {
                const QString real = fsys::Canonical(folder);
                if (real.isEmpty() || done.contains(real))
                    return false;
                done.insert(real);
                return true;
            };
            for (const QString &appDat : QStringList{o.appDatDir} + o.moreAppDatDirs) {
                const QString messenger = profile + appDat + o.msnDatDir;
                if (FolderExists(messenger) && fresh(messenger))
                    idRoots << messenger;
            }
            for (const QString &layout : objstore::LocalAppDataLayouts()) {
                const QString local = objstore::ResolveFolder(profile, layout);
                if (local.isEmpty())
                    continue;
                const QString older = objstore::ResolveFolder(local, o.msnDatDir);
                if (!older.isEmpty() && fresh(older))
                    idRoots << older;
                const QString later = objstore::ResolveFolder(local, objstore::MessengerFolderName());
                if (!later.isEmpty() && !objstore::AccountsIn(later).isEmpty() && fresh(later))
                    storeRoots << later;
            }
            const QStringList received = o.history ? history::ReceivedFilesFolders(profile) : QStringList();
            const std::vector<history::THistoryFolder> histories = o.history ? history::HistoryOfProfile(profile)
                                                                             : std::vector<history::THistoryFolder>();
            if (idRoots.isEmpty() && storeRoots.isEmpty() && received.isEmpty())
                continue;
            TFolderNode node{DisplayPath(n), iconWindowsUser, profile, {}, {}};
            for (const QString &root : std::as_const(idRoots))
                ScanFolders(node.children, 1, root, o, seen);
            for (const QString &root : std::as_const(storeRoots))
                for (const QString &account : objstore::AccountsIn(root)) {
                    TFolderNode accountNode = objstore::AccountNode(account, o);
                    if (o.hideEmpty && accountNode.children.empty())
                        continue;
                    node.children.push_back(std::move(accountNode));
                }
            AddHistoryNodes(node, received, histories);
            into.push_back(std::move(node));
        } else if (level == 1) {
            if (!IsAllDigits(n))
                continue;
            if (o.hideEmpty) {
                // A folder that cannot be listed (-1) is shown: nothing says it is empty.
                const int files = CountEntries(base + e, QString(), false, true);
                if (files == 0)
                    continue;
                if (files > 0 && ListFolders(base + e).isEmpty())
                    continue;
            }
            TFolderNode node{DisplayPath(n), iconMessengerUser, base + e, {}, {}};
            ScanFolders(node.children, 2, base + e, o, seen);
            into.push_back(std::move(node));
        } else {
            if (o.hideEmpty && CountEntries(base + e) == 0)
                continue;
            into.push_back(TFolderNode{DisplayPath(n), ContentFolderIcon(n, o), base + e, {}, {}});
        }
    }
}

bool SplitAppDataPath(const QString &appData, QString &profiles, QString &appDatDir)
{
    QStringList parts = appData.split(QLatin1Char('/'));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    const bool roaming = parts.size() >= 2 && parts.at(parts.size() - 1).compare(QLatin1String("Roaming"), Qt::CaseInsensitive) == 0
        && parts.at(parts.size() - 2).compare(QLatin1String("AppData"), Qt::CaseInsensitive) == 0;
    const int keep = roaming ? 2 : 1;        // components of the Application Data folder
    if (parts.size() < keep + 2)              // at least a profiles folder and a user folder
        return false;
    appDatDir = QStringList(parts.mid(parts.size() - keep)).join(QLatin1Char('/')) + QLatin1Char('/');
    profiles = QStringList(parts.mid(0, parts.size() - keep - 1)).join(QLatin1Char('/')) + QLatin1Char('/');
    return true;
}

bool SplitLocalAppDataPath(const QString &local, QString &profiles, QString &appDatDir)
{
    QStringList parts = local.split(QLatin1Char('/'));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    auto endsWith = [&parts](const char *a, const char *b) {
        return parts.size() >= 4 && parts.at(parts.size() - 2).compare(QLatin1String(a), Qt::CaseInsensitive) == 0
               && parts.last().compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
    };
    if (endsWith("AppData", "Local"))
        appDatDir = QStringLiteral("AppData/Roaming/");
    else if (endsWith("Local Settings", "Application Data"))
        appDatDir = QStringLiteral("Application Data/");
    else
        return false;
    profiles = QStringList(parts.mid(0, parts.size() - 3)).join(QLatin1Char('/')) + QLatin1Char('/');
    return true;
}

TFolderForest AutoScan(TSettingsValues &settings, bool hideEmpty, bool history)
{
    TFolderForest roots;
    ScanFolders(roots, 0, settings.docSetDir, TScanOptions::From(settings, hideEmpty, history));
    if (!roots.empty())
        return roots;

    // Second pass: the current user's Application Data folder tells where the profiles are.
    const QString appData = Platform::Get().AppDataFolder();
    QString profiles, appDat;
    if (!appData.isEmpty() && SplitAppDataPath(appData, profiles, appDat)) {
        settings.docSetDir = profiles;
        settings.appDatDir = appDat;
        ScanFolders(roots, 0, settings.docSetDir, TScanOptions::From(settings, hideEmpty, history));
        if (!roots.empty())
            return roots;
    }

    // Then the current user's local application data folder (LOCALAPPDATA, or the profile's
    // Local Settings), where the later Messenger versions keep their accounts.
    const QString local = Platform::Get().ShellFolder(QStringLiteral("Local AppData"));
    if (!local.isEmpty() && SplitLocalAppDataPath(local, profiles, appDat)) {
        TSettingsValues tried = settings;
        tried.docSetDir = profiles;
        tried.appDatDir = appDat;
        ScanFolders(roots, 0, tried.docSetDir, TScanOptions::From(tried, hideEmpty, history));
        if (!roots.empty()) {
            settings.docSetDir = tried.docSetDir;
            settings.appDatDir = tried.appDatDir;
            return roots;
        }
    }

    // Third pass: where Windows profiles lie on this machine.
    QStringList profileFolders;
    for (const QString &volume : Platform::Get().WindowsVolumes()) {
        profileFolders << WithSeparator(volume) + QStringLiteral("Documents and Settings/");
        profileFolders << WithSeparator(volume) + QStringLiteral("Users/");
    }
    for (const QString &prefix : Platform::Get().WinePrefixes())
        profileFolders << WithSeparator(prefix) + QStringLiteral("drive_c/users/");
    QSet<QString> seen;
    for (const QString &folder : profileFolders) {
        if (!FolderExists(folder))
            continue;
        // Both layouts at once, so that a profile shows once with everything it holds.
        TScanOptions o = TScanOptions::From(settings, hideEmpty, history);
        o.appDatDir = QStringLiteral("Application Data/");
        o.moreAppDatDirs = {QStringLiteral("AppData/Roaming/")};
        ScanFolders(roots, 0, folder, o, &seen);
    }
    return roots;
}

int CountNodes(const TFolderForest &forest)
{
    int n = 0;
    for (const TFolderNode &node : forest)
        n += 1 + CountNodes(node.children);
    return n;
}

} // namespace zorvak
