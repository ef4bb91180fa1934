// zorvak-cli find: every place holding Messenger data below the folders given, found by a walk
// of the whole tree.
#include "cli/CliCommand.h"
#include "cli/Progress.h"
#include "cli/VerbOptions.h"
#include "find/DiskSearch.h"

#include <QJsonArray>
#include <atomic>
#include <csignal>
#include <sys/resource.h>

namespace {

std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) { g_interrupted.store(true); }

// Ctrl+C (and TERM) stop the walk instead of the program, while alive.
class InterruptStopsWalk {
public:
    InterruptStopsWalk()
    {
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_int);
        sigaction(SIGTERM, &action, &m_term);
    }
    ~InterruptStopsWalk()
    {
        sigaction(SIGINT, &m_int, nullptr);
        sigaction(SIGTERM, &m_term, nullptr);
    }

private:
    struct sigaction m_int {}, m_term {};
};

// A path on one line: control characters (a newline in a hostile name) become '?'. The JSON
// form gives names exactly.
QString OneLine(QString path)
{
    for (QChar &c : path)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    return path;
}

int Run(const QStringList &args)
{
    using namespace zorvak;
    using namespace zorvak::cli;
    VerbOptions options("find");
    options.Flag(QStringLiteral("json"))
        .Flag(QStringLiteral("any-name"))
        .Flag(QStringLiteral("cross-file-systems"))
        .Flag(QStringLiteral("quiet"));
    if (!options.Parse(args))
        return options.UsageStatus();
    const QStringList roots = options.Positional();
    if (roots.isEmpty())
        return options.Usage(QStringLiteral("give the folders to search"));

    // One descriptor is open per level of the folders on the way down: a deep tree needs more than
    // the usual soft limit.
    struct rlimit files {};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    Progress progress(Progress::Wanted(options.IsSet(QStringLiteral("quiet"))));
    find::TSearchOptions search;
    search.anyName = options.IsSet(QStringLiteral("any-name"));
    search.crossFileSystems = options.IsSet(QStringLiteral("cross-file-systems"));
    search.cancel = &g_interrupted;
    if (progress.Shown())
        search.onProgress = [&progress](const find::TSearchProgress &p) {
            progress.Show(QStringLiteral("%1 folders, %2 found").arg(p.folders).arg(p.found), p.currentFolder);
        };
    find::TSearchResult result;
    {
        InterruptStopsWalk interrupt;
        result = find::Search(roots, search);
    }
    progress.Clear();

    if (options.IsSet(QStringLiteral("json"))) {
        QJsonArray found, unreadable;
        for (const find::TFoundPlace &place : result.found)
            found.append(QJsonObject{{QStringLiteral("kind"), find::KindName(place.kind)}, {QStringLiteral("path"), place.path}});
        for (const QString &path : std::as_const(result.unreadable))
            unreadable.append(path);
        QJsonObject document{{QStringLiteral("found"), found},
                             {QStringLiteral("folders"), result.folders},
                             {QStringLiteral("files"), result.files},
                             {QStringLiteral("links"), result.links},
                             {QStringLiteral("other_file_systems"), result.otherFileSystems},
                             {QStringLiteral("unreadable"), unreadable},
                             {QStringLiteral("unreadable_count"), result.unreadableCount},
                             {QStringLiteral("seconds"), result.seconds}};
        if (result.cancelled)
            document.insert(QStringLiteral("cancelled"), true);
        WriteJson(document);
    } else {
        for (const find::TFoundPlace &place : result.found)
            Out() << find::KindName(place.kind) << '\t' << OneLine(place.path) << '\n';
        Out().flush();
        for (const QString &path : std::as_const(result.unreadable))
            Err() << "zorvak-cli find: cannot read " << OneLine(path) << '\n';
        if (result.unreadableCount > result.unreadable.size())
            Err() << "zorvak-cli find: " << (result.unreadableCount - result.unreadable.size())
                  << " more folders cannot be read\n";
        Err().flush();
    }
    int status = 0;
    for (const QString &root : std::as_const(result.missingRoots))
        status = PrintError("find", QStringLiteral("no such folder: ") + root);
    if (result.cancelled)
        status = PrintError("find", QStringLiteral("interrupted after %1 folders").arg(result.folders));
    return status;
}

} // namespace

ZORVAK_CLI_COMMAND("find", "find every place holding Messenger data below folders",
                   "Usage: zorvak-cli find PATH... [--json] [--any-name] [--cross-file-systems] [--quiet]\n"
                   "Walks the whole tree below each PATH (a mounted disk, a copy of one, a home folder) and\n"
                   "prints every place that holds Messenger data, whatever the folders above it are called,\n"
                   "one a line sorted by path: the kind, a tab, the path. The kinds:\n"
                   "  messenger-user       a Messenger user folder (a folder ID holding content folders)\n"
                   "  objectstore-account  an e-mail address folder holding ObjectStore (later versions)\n"
                   "  history              a History folder holding conversation files\n"
                   "  package              a *.mco or *.cab file that is a cabinet holding content.xml\n"
                   "  master-keys          a data-protection master-key folder (Protect/S-1-5-21-...)\n"
                   "Symbolic links are never followed, FIFOs and devices never opened, nothing is\n"
                   "written; the walk stays on each PATH's file system (--cross-file-systems enters the\n"
                   "others, but never /proc, /sys, /dev or /run from /). Folders that cannot be read are\n"
                   "named on standard error and the walk goes on. Control characters of a path show as ?.\n"
                   "--any-name identifies files of any name by their first bytes, to find renamed\n"
                   "packages: it opens every file, so it is much slower.\n"
                   "--json prints one JSON document instead: {\"found\": [{\"kind\", \"path\"}], \"folders\",\n"
                   "\"files\", \"links\", \"other_file_systems\", \"unreadable\": [paths], \"unreadable_count\",\n"
                   "\"seconds\"}, and \"cancelled\": true when interrupted. On a terminal the folders walked\n"
                   "show on standard error; --quiet leaves that out. Ctrl+C stops the walk and prints\n"
                   "what was found so far. Exit status 0 when the walk finished, found or not; 1 when a\n"
                   "PATH is not a folder or the walk was interrupted.",
                   Run);
