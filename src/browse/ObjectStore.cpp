#include "browse/ObjectStore.h"
#include "common/PathBytes.h"
#include "common/unitString.h"

#include "common/EmailId.h"
#include "browse/unitFileFolderUtil.h"
#include "platform/Platform.h"
#include "shell/uLanguage.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>

namespace zorvak::objstore {

namespace {


struct KnownKind {
    const char *folder;
    ContentType type;
};
// Tried in order: the first kind folder found for a type is the one backed up.
constexpr KnownKind kKnownKinds[] = {
    {"CustomEmoticons", ContentType::Emot},
    {"UserTile", ContentType::Dp},
    {"Backgrounds", ContentType::Bg},
    {"Winks3", ContentType::Wink},
    {"WebcamDDP", ContentType::Ddp},
    {"DeluxeDisplayPictures", ContentType::Ddp},
    {"DynamicBackgrounds", ContentType::Dbg},
};

bool HasSuffix(const QString &fileName, const char *suffix)
{
    return fileName.endsWith(QLatin1String(suffix), Qt::CaseInsensitive)
           && fileName.size() > qsizetype(std::char_traits<char>::length(suffix));
}

} // namespace

QString FindEntry(const QString &folder, const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return {};
    const QString base = WithSeparator(folder);
    if (fsys::Exists(base + name))
        return name;
    QString found;
    QStringList entries;
    fsys::Entries(base, entries);
    for (const QString &entry : std::as_const(entries)) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return {}; // names that differ only in case: none of them is the one
        found = entry;
    }
    return found;
}

QString ResolveFolder(const QString &base, const QString &rel)
{
    QString path = WithSeparator(base);
    for (const QString &part : rel.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QString entry = FindEntry(path, part);
        if (entry.isEmpty() || !fsys::IsDir(path + entry))
            return {};
        path += entry + QLatin1Char('/');
    }
    return path;
}

const QStringList &LocalAppDataLayouts()
{
    static const QStringList layouts{QStringLiteral("Local Settings/Application Data/"), QStringLiteral("AppData/Local/")};
    return layouts;
}

QString MessengerFolderName() { return QStringLiteral("Microsoft/Messenger/"); }

QString StoreFolderOf(const QString &accountFolder) { return ResolveFolder(accountFolder, QStringLiteral("ObjectStore")); }

QStringList AccountsIn(const QString &messengerFolder)
{
    QStringList accounts;
    const QString base = WithSeparator(messengerFolder);
    QStringList entries;
    fsys::Entries(base, entries);
    for (const QString &entry : std::as_const(entries))
        if (fsys::IsDir(base + entry) && !StoreFolderOf(base + entry).isEmpty())
            accounts << base + entry + QLatin1Char('/');
    std::sort(accounts.begin(), accounts.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return accounts;
}

std::optional<ContentType> KindOfFolder(const QString &name)
{
    for (const KnownKind &kind : kKnownKinds)
        if (name.compare(QLatin1String(kind.folder), Qt::CaseInsensitive) == 0)
            return kind.type;
    return std::nullopt;
}

QString KindFolder(const QString &storeFolder, ContentType type)
{
    for (const KnownKind &kind : kKnownKinds) {
        if (kind.type != type)
            continue;
        const QString folder = ResolveFolder(storeFolder, QString::fromLatin1(kind.folder));
        if (!folder.isEmpty())
            return folder;
    }
    return {};
}

std::optional<TStorePlace> PlaceOf(const QString &path)
{
    const QString p = WithoutTrailingSeparators(QDir::cleanPath(path));
    if (p.isEmpty() || !fsys::IsDir(p))
        return std::nullopt;
    // The account folder itself.
    if (!StoreFolderOf(p).isEmpty())
        return TStorePlace{WithSeparator(p), LastPathElement(p), std::nullopt};
    const QString parent = QFileInfo(p).path();
    // Its ObjectStore folder.
    if (LastPathElement(p).compare(QLatin1String("ObjectStore"), Qt::CaseInsensitive) == 0 && parent != p)
        return TStorePlace{WithSeparator(parent), LastPathElement(parent), std::nullopt};
    // A kind folder inside that.
    if (LastPathElement(parent).compare(QLatin1String("ObjectStore"), Qt::CaseInsensitive) == 0) {
        const QString account = QFileInfo(parent).path();
        if (account != parent)
            return TStorePlace{WithSeparator(account), LastPathElement(account), KindOfFolder(LastPathElement(p))};
    }
    return std::nullopt;
}

bool IsDataFile(const QString &fileName) { return HasSuffix(fileName, ".dt2"); }
bool IsMetadataFile(const QString &fileName) { return HasSuffix(fileName, ".id2"); }

QList<TStoreObject> ListObjects(const QString &kindFolder)
{
    const QString base = WithSeparator(kindFolder);
    // Every regular file once, by its name folded to lower case, for the companions.
    QHash<QString, QString> byLower;
    QStringList data;
    // The folder walk gives regular files only (no FIFO, device or dangling link) from the
    // directory entries, without a look at each file.
    for (const QString &name : ListFiles(base)) {
        byLower.insert(name.toLower(), name);
        if (IsDataFile(name))
            data << name;
    }
    std::sort(data.begin(), data.end());
    QList<TStoreObject> objects;
    objects.reserve(data.size());
    for (const QString &name : std::as_const(data)) {
        TStoreObject object;
        object.baseName = name.left(name.size() - 4);
        object.data = base + name;
        const QString lower = object.baseName.toLower();
        if (const auto it = byLower.constFind(lower + QStringLiteral(".id2")); it != byLower.cend())
            object.metadata = base + *it;
        if (const auto it = byLower.constFind(lower + QStringLiteral(".png")); it != byLower.cend())
            object.thumbnail = base + *it;
        objects.append(object);
    }
    return objects;
}

std::optional<TStoreMetadata> ReadMetadata(const QString &metadataFile)
{
    (void)metadataFile;
    return std::nullopt;
}

TFolderNode AccountNode(const QString &accountFolder, const TScanOptions &options)
{
    const QString account = WithSeparator(accountFolder);
    const QString email = LastPathElement(account);
    // The hint gives the folder ID the older versions used for the address, and why no names show.
    const QString hint = WithColon(Lang("PassportId")) + QLatin1Char(' ') + EmailToId(email) + QLatin1Char('\n')
                         + Lang("StoreNamesNotRead");
    TFolderNode node{DisplayPath(email), iconMessengerUser, account, {}, hint};
    const QString store = StoreFolderOf(account);
    if (store.isEmpty())
        return node;
    QStringList kinds = ListFolders(store);
    std::sort(kinds.begin(), kinds.end(), [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    for (const QString &entry : std::as_const(kinds)) {
        const QString name = WithoutTrailingSeparators(entry);
        if (options.hideEmpty && CountEntries(store + entry) == 0)
            continue;
        const std::optional<ContentType> kind = KindOfFolder(name);
        const int icon = kind ? InfoOf(*kind).treeIcon : ContentFolderIcon(name, options);
        node.children.push_back(TFolderNode{DisplayPath(name), icon, store + entry, {}, {}});
    }
    return node;
}

std::vector<TFolderNode> AccountNodesBelow(const QStringList &localFolders, const TScanOptions &options)
{
    std::vector<TFolderNode> nodes;
    QSet<QString> done;
    for (const QString &local : localFolders) {
        const QString messenger = ResolveFolder(local, MessengerFolderName());
        const QString real = fsys::Canonical(messenger);
        if (messenger.isEmpty() || real.isEmpty() || done.contains(real))
            continue;
        done.insert(real);
        for (const QString &account : AccountsIn(messenger)) {
            TFolderNode node = AccountNode(account, options);
            if (!options.hideEmpty || !node.children.empty())
                nodes.push_back(std::move(node));
        }
    }
    return nodes;
}

} // namespace zorvak::objstore
