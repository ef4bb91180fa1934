#include "find/DiskSearch.h"

#include "common/ContentTypes.h"
#include "common/Cp1252.h"
#include "find/PlaceHeads.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvak::find {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

// `name` (its `length` bytes) equals the lower-case ASCII text `lower`, letter case ignored.
bool Is(const char *name, size_t length, const char *lower)
{
    for (size_t i = 0; i < length; ++i, ++lower)
        if (*lower == 0 || Lower(name[i]) != *lower)
            return false;
    return *lower == 0;
}
bool Is(const QByteArray &name, const char *lower) { return Is(name.constData(), size_t(name.size()), lower); }

bool EndsWith(const char *name, size_t length, const char *lowerSuffix)
{
    const size_t n = std::strlen(lowerSuffix);
    return length > n && Is(name + length - n, n, lowerSuffix);
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (Lower(c) >= 'a' && Lower(c) <= 'f'); }

// The content sub-folders of a Messenger user folder (lower case): the default folder of every
// content type, the other names Messenger versions used, and the folder of the content maps.
const std::vector<QByteArray> &ContentFolderNames()
{
    static const std::vector<QByteArray> names = [] {
        std::vector<QByteArray> list;
        for (const ContentTypeInfo &info : ContentTypes)
            list.push_back(QByteArray(info.defaultSubdir).toLower());
        for (const char *more : {"displaypictures", "webcamddp", "voiceclips", "myemoticons", "backgroundwinks", "mapfile"})
            list.push_back(more);
        return list;
    }();
    return names;
}
bool IsContentFolder(const char *name, size_t length)
{
    for (const QByteArray &known : ContentFolderNames())
        if (Is(name, length, known.constData()))
            return true;
    return false;
}

// What a folder may be, told by its own name and its parent's.
struct TRole {
    bool folderId = false;     // digits: a Messenger user folder if its content says so
    bool inMessenger = false;  // ... lying in a "MSN Messenger" folder
    bool address = false;      // an e-mail address: an account if it holds ObjectStore
    bool history = false;      // "History"
    bool userSid = false;      // "S-1-5-21-..." in "Protect"
    bool Any() const { return folderId || address || history || userSid; }
};
TRole RoleOf(const QByteArray &name, const QByteArray &parent)
{
    TRole r;
    r.folderId = IsFolderIdName(name);
    r.inMessenger = r.folderId && Is(parent, "msn messenger");
    r.address = IsAddressName(name);
    r.history = Is(name, "history");
    r.userSid = Is(parent, "protect") && IsUserSidName(name);
    return r;
}

// What the listing of a folder showed that matters for its role.
struct TFacts {
    bool subfolder = false;
    bool contentFolder = false;
    bool mapFile = false;
    bool objectStore = false;
    bool guidFile = false;
    std::vector<QByteArray> xmlFiles; // in a History folder: the first candidates
};
constexpr size_t kMaxXmlTried = 32;

// One folder on the way down: its open descriptor and the sub-folders still to walk.
struct TFrame {
    int fd = -1;
    QByteArray path;                 // native
    QByteArray name;                 // its own name (for its sub-folders' roles)
    std::vector<QByteArray> subfolders;
    size_t next = 0;
};

QByteArray Join(const QByteArray &path, const char *name, size_t length)
{
    QByteArray out;
    out.reserve(path.size() + qsizetype(length) + 1);
    out += path;
    if (!out.endsWith('/'))
        out += '/';
    out.append(name, qsizetype(length));
    return out;
}

QByteArray LastName(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

class TWalker {
public:
    TWalker(const TSearchOptions &options, TSearchResult &result) : m_options(options), m_result(result)
    {
        m_clock.start();
        if (::stat("/", &m_systemRoot) != 0)
            m_systemRoot = {};
    }
    void Walk(const QString &root);
    void Finish();

private:
    bool Cancelled()
    {
        if (m_options.cancel && m_options.cancel->load(std::memory_order_relaxed))
            m_result.cancelled = true;
        return m_result.cancelled;
    }
    int OpenFolderAt(int parent, const char *name, int extra);
    int OpenFileAt(int folder, const char *name, struct stat &st);
    void Enter(size_t parentIndex, const QByteArray &name);
    void List(TFrame &frame, const QByteArray &parentName, bool systemRoot);
    bool IsPackageAt(int folder, const char *name);
    bool IsConversationAt(int folder, const char *name);
    void Found(TPlaceKind kind, const QByteArray &path);
    void Unreadable(const QByteArray &path);
    QString Shown(const QByteArray &path) const;
    void Tick(const QByteArray &folder, bool force = false);
    bool IsSystemRoot(const struct stat &st) const
    {
        return st.st_dev == m_systemRoot.st_dev && st.st_ino == m_systemRoot.st_ino;
    }

    const TSearchOptions &m_options;
    TSearchResult &m_result;
    QElapsedTimer m_clock;
    qint64 m_lastTick = 0;
    struct stat m_systemRoot {};
    dev_t m_rootDevice = 0;
    QByteArray m_rootPath;   // native, as given
    QString m_rootShown;
    bool m_noAtime = true;   // O_NOATIME allowed (dropped at the first refusal)
    std::vector<TFrame> m_stack;
    std::array<char, 64 * 1024> m_buffer{};
};

int TWalker::OpenFolderAt(int parent, const char *name, int extra)
{
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | extra;
    if (m_noAtime) {
        const int fd = ::openat(parent, name, flags | O_NOATIME);
        if (fd >= 0 || errno != EPERM)
            return fd;
        m_noAtime = false; // not the owner: access times cannot be spared
    }
    return ::openat(parent, name, flags);
}

int TWalker::OpenFileAt(int folder, const char *name, struct stat &st)
{
    // Never a FIFO, device or socket: without following a link, without waiting, and checked once
    // open (the entry may have changed since it was listed).
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY;
    int fd = ::openat(folder, name, flags | (m_noAtime ? O_NOATIME : 0));
    if (fd < 0 && errno == EPERM && m_noAtime) {
        m_noAtime = false;
        fd = ::openat(folder, name, flags);
    }
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool TWalker::IsPackageAt(int folder, const char *name)
{
    struct stat st {};
    const int fd = OpenFileAt(folder, name, st);
    if (fd < 0)
        return false;
    const bool package = IsPackageCabinet(
        [fd](qint64 offset, char *into, qint64 length) -> qint64 {
            qint64 done = 0;
            while (done < length) {
                const ssize_t n = ::pread(fd, into + done, size_t(length - done), off_t(offset + done));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0)
                    return done > 0 ? done : -1;
                if (n == 0)
                    break;
                done += n;
            }
            return done;
        },
        qint64(st.st_size));
    ::close(fd);
    return package;
}

bool TWalker::IsConversationAt(int folder, const char *name)
{
    struct stat st {};
    const int fd = OpenFileAt(folder, name, st);
    if (fd < 0)
        return false;
    QByteArray head(kConversationHeadBytes, Qt::Uninitialized);
    ssize_t n;
    do
        n = ::pread(fd, head.data(), size_t(head.size()), 0);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n <= 0)
        return false;
    head.truncate(n);
    return IsConversationHead(head);
}

QString TWalker::Shown(const QByteArray &path) const
{
    QString shown = m_rootShown;
    const QByteArray rest = path.mid(m_rootPath.size());
    for (const QByteArray &part : rest.split('/')) {
        if (part.isEmpty())
            continue;
        if (!shown.endsWith(QLatin1Char('/')))
            shown += QLatin1Char('/');
        shown += DecodeUtf8OrCp1252(part);
    }
    return shown;
}

void TWalker::Found(TPlaceKind kind, const QByteArray &path)
{
    m_result.found.push_back(TFoundPlace{kind, Shown(path), path});
    if (m_options.onFound)
        m_options.onFound(m_result.found.back());
}

void TWalker::Unreadable(const QByteArray &path)
{
    ++m_result.unreadableCount;
    if (m_result.unreadable.size() < kMaxUnreadableListed)
        m_result.unreadable.append(Shown(path));
}

void TWalker::Tick(const QByteArray &folder, bool force)
{
    if (!m_options.onProgress)
        return;
    const qint64 now = m_clock.elapsed();
    if (!force && now - m_lastTick < m_options.progressIntervalMs)
        return;
    m_lastTick = now;
    m_options.onProgress(TSearchProgress{m_result.folders, m_result.files, qint64(m_result.found.size()),
                                         folder.isNull() ? QString() : Shown(folder)});
}

void TWalker::List(TFrame &frame, const QByteArray &parentName, bool systemRoot)
{
    const TRole role = RoleOf(frame.name, parentName);
    TFacts facts;
    Tick(frame.path);
    for (;;) {
        if (Cancelled())
            return;
        const long got = ::getdents64(frame.fd, m_buffer.data(), m_buffer.size());
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            Unreadable(frame.path); // listed in part: what was read still counts
            break;
        }
        for (long at = 0; at < got;) {
            const auto *entry = reinterpret_cast<const struct dirent64 *>(m_buffer.data() + at);
            at += entry->d_reclen;
            const char *name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            const size_t length = std::strlen(name);
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN) {
                // Some file systems give no types: only then is an entry looked at.
                struct stat st {};
                if (::fstatat(frame.fd, name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0)
                    type = DT_UNKNOWN;
                else
                    type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : S_ISLNK(st.st_mode) ? DT_LNK : DT_UNKNOWN;
            }
            if (type == DT_DIR) {
                if (systemRoot && (Is(name, length, "proc") || Is(name, length, "sys") || Is(name, length, "dev")
                                   || Is(name, length, "run")))
                    continue;
                facts.subfolder = true;
                if (role.folderId && !facts.contentFolder && IsContentFolder(name, length))
                    facts.contentFolder = true;
                if (role.address && Is(name, length, "objectstore"))
                    facts.objectStore = true;
                frame.subfolders.emplace_back(name, qsizetype(length));
                continue;
            }
            ++m_result.files;
            if (type == DT_LNK) {
                ++m_result.links;
                continue;
            }
            if (type != DT_REG)
                continue; // FIFOs, devices, sockets: never opened
            if (role.Any()) {
                if (role.folderId && Is(name, length, "map.dat"))
                    facts.mapFile = true;
                if (role.history && facts.xmlFiles.size() < kMaxXmlTried && EndsWith(name, length, ".xml"))
                    facts.xmlFiles.emplace_back(name, qsizetype(length));
                if (role.userSid && IsGuidName(QByteArray::fromRawData(name, qsizetype(length))))
                    facts.guidFile = true;
            }
            if (m_options.anyName || EndsWith(name, length, ".mco") || EndsWith(name, length, ".cab")) {
                if (IsPackageAt(frame.fd, name))
                    Found(TPlaceKind::Package, Join(frame.path, name, length));
                if (Cancelled())
                    return;
            }
        }
        Tick(frame.path);
    }
    ++m_result.folders;
    if (role.folderId && ((role.inMessenger && facts.subfolder) || facts.contentFolder || facts.mapFile))
        Found(TPlaceKind::MessengerUser, frame.path);
    if (role.address && facts.objectStore)
        Found(TPlaceKind::ObjectStoreAccount, frame.path);
    if (role.userSid && facts.guidFile)
        Found(TPlaceKind::MasterKeys, frame.path);
    for (const QByteArray &xml : facts.xmlFiles) {
        if (Cancelled())
            return;
        if (IsConversationAt(frame.fd, xml.constData())) {
            Found(TPlaceKind::History, frame.path);
            break;
        }
    }
}

void TWalker::Enter(size_t parentIndex, const QByteArray &name)
{
    const int parentFd = m_stack[parentIndex].fd;
    const QByteArray path = Join(m_stack[parentIndex].path, name.constData(), size_t(name.size()));
    bool systemRoot = false;
    if (!m_options.crossFileSystems) {
        // The file system a folder lies on, without mounting what an automounter would mount.
        struct stat st {};
        if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0) {
            if (errno != ENOENT)
                Unreadable(path);
            return;
        }
        if (!S_ISDIR(st.st_mode))
            return; // replaced since it was listed
        if (st.st_dev != m_rootDevice) {
            ++m_result.otherFileSystems;
            return;
        }
        systemRoot = IsSystemRoot(st);
    }
    const int fd = OpenFolderAt(parentFd, name.constData(), O_NOFOLLOW);
    if (fd < 0) {
        // Gone, or replaced by a link or a file since it was listed: nothing to walk.
        if (errno != ENOENT && errno != ELOOP && errno != ENOTDIR)
            Unreadable(path);
        return;
    }
    TFrame frame;
    frame.fd = fd;
    frame.path = path;
    frame.name = name;
    List(frame, m_stack[parentIndex].name, systemRoot);
    if (frame.subfolders.empty() || m_result.cancelled) {
        ::close(fd);
        return;
    }
    m_stack.push_back(std::move(frame));
}

void TWalker::Walk(const QString &root)
{
    m_rootShown = root == QLatin1String("/") ? root : QDir::cleanPath(root);
    m_rootPath = QFile::encodeName(m_rootShown);
    const int fd = OpenFolderAt(AT_FDCWD, m_rootPath.constData(), 0);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR || errno == ELOOP)
            m_result.missingRoots.append(root);
        else
            Unreadable(m_rootPath);
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        Unreadable(m_rootPath);
        return;
    }
    m_rootDevice = st.st_dev;
    // The starting folder's own role needs its real name and its parent's.
    QByteArray real = m_rootPath;
    if (char *resolved = ::realpath(m_rootPath.constData(), nullptr)) {
        real = resolved;
        std::free(resolved);
    }
    TFrame top;
    top.fd = fd;
    top.path = m_rootPath;
    top.name = LastName(real);
    const qsizetype slash = real.lastIndexOf('/');
    List(top, slash > 0 ? LastName(real.left(slash)) : QByteArray(), IsSystemRoot(st));
    m_stack.push_back(std::move(top));
    while (!m_stack.empty() && !Cancelled()) {
        TFrame &frame = m_stack.back();
        if (frame.next >= frame.subfolders.size()) {
            ::close(frame.fd);
            m_stack.pop_back();
            continue;
        }
        const QByteArray name = std::move(frame.subfolders[frame.next++]);
        Enter(m_stack.size() - 1, name);
    }
    for (const TFrame &frame : m_stack)
        ::close(frame.fd);
    m_stack.clear();
}

void TWalker::Finish()
{
    std::sort(m_result.found.begin(), m_result.found.end(), [](const TFoundPlace &a, const TFoundPlace &b) {
        return a.path != b.path ? a.path < b.path : a.nativePath < b.nativePath;
    });
    m_result.unreadable.sort();
    m_result.seconds = double(m_clock.nsecsElapsed()) / 1e9;
    Tick(QByteArray(), true);
}

} // namespace

QString KindName(TPlaceKind kind)
{
    switch (kind) {
    case TPlaceKind::MessengerUser: return QStringLiteral("messenger-user");
    case TPlaceKind::ObjectStoreAccount: return QStringLiteral("objectstore-account");
    case TPlaceKind::History: return QStringLiteral("history");
    case TPlaceKind::Package: return QStringLiteral("package");
    case TPlaceKind::MasterKeys: return QStringLiteral("master-keys");
    }
    return {};
}

bool IsFolderIdName(const QByteArray &name)
{
    if (name.isEmpty() || name.size() > 10)
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsAddressName(const QByteArray &name)
{
    const qsizetype at = name.indexOf('@');
    if (at <= 0 || name.size() > 254 || name.indexOf('@', at + 1) >= 0)
        return false;
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < at + 2 || dot == name.size() - 1)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return quint8(c) <= ' ' || c == 0x7F; });
}

bool IsGuidName(const QByteArray &name)
{
    if (name.size() != 36)
        return false;
    for (int i = 0; i < 36; ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? name[i] != '-' : !IsHex(name[i]))
            return false;
    }
    return true;
}

bool IsUserSidName(const QByteArray &name)
{
    static const char kPrefix[] = "s-1-5-21-";
    const qsizetype prefix = qsizetype(sizeof kPrefix) - 1;
    if (name.size() <= prefix || !Is(name.left(prefix), kPrefix) || name.endsWith('-'))
        return false;
    return std::all_of(name.begin() + prefix, name.end(), [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
}

TSearchResult Search(const QStringList &roots, const TSearchOptions &options)
{
    TSearchResult result;
    TWalker walker(options, result);
    for (const QString &root : roots) {
        walker.Walk(root);
        if (result.cancelled)
            break;
    }
    walker.Finish();
    return result;
}

} // namespace zorvak::find
