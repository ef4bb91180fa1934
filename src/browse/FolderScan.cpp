#include "browse/FolderScan.h"

#include "browse/unitFileFolderUtil.h"
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

bool FolderExists(const QString &path) { return QFileInfo(path).isDir(); }

} // namespace

TScanOptions TScanOptions::From(const TSettingsValues &s, bool hideEmpty)
{
    TScanOptions o;
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
    for (const QString &e : entries) {
        const QString n = StripSeparator(e);
        if (level == 0) {
            const QString messenger = base + e + o.appDatDir + o.msnDatDir;
            if (!FolderExists(messenger))
                continue;
            if (seen) {
                const QString real = QFileInfo(messenger).canonicalFilePath();
                if (seen->contains(real))
                    continue;
                seen->insert(real);
            }
            TFolderNode node{n, iconWindowsUser, base + e, {}};
            ScanFolders(node.children, 1, messenger, o, seen);
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
            TFolderNode node{n, iconMessengerUser, base + e, {}};
            ScanFolders(node.children, 2, base + e, o, seen);
            into.push_back(std::move(node));
        } else {
            if (o.hideEmpty && CountEntries(base + e) == 0)
                continue;
            into.push_back(TFolderNode{n, ContentFolderIcon(n, o), base + e, {}});
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

TFolderForest AutoScan(TSettingsValues &settings, bool hideEmpty)
{
    TFolderForest roots;
    ScanFolders(roots, 0, settings.docSetDir, TScanOptions::From(settings, hideEmpty));
    if (!roots.empty())
        return roots;

    // Second pass: the current user's Application Data folder tells where the profiles are.
    const QString appData = Platform::Get().AppDataFolder();
    QString profiles, appDat;
    if (!appData.isEmpty() && SplitAppDataPath(appData, profiles, appDat)) {
        settings.docSetDir = profiles;
        settings.appDatDir = appDat;
        ScanFolders(roots, 0, settings.docSetDir, TScanOptions::From(settings, hideEmpty));
        if (!roots.empty())
            return roots;
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
        for (const char *layout : {"Application Data/", "AppData/Roaming/"}) {
            TScanOptions o = TScanOptions::From(settings, hideEmpty);
            o.appDatDir = QString::fromLatin1(layout);
            ScanFolders(roots, 0, folder, o, &seen);
        }
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
