// The web server's decision which local file a request path names: it never leaves the served
// folder, neither by the path alone nor, for the handler, through the files of a real folder.
#include "fuzz/FuzzSupport.h"
#include "restore/WebServer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak;
    const QString requestPath = QString::fromUtf8(fuzz::Bytes(data, size));

    // 1. the decision alone, for a folder that need not exist
    const QString folder = QStringLiteral("/srv/zorvak/served/");
    bool inside = false;
    const QString local = RequestLocalPath(folder, requestPath, &inside);
    if (inside) {
        FUZZ_CHECK(local == folder.chopped(1) || local.startsWith(folder));
        FUZZ_CHECK(!local.split(QLatin1Char('/')).contains(QStringLiteral("..")));
    }

    // 2. the handler over a real folder with a file beside it that must stay out of reach
    static const QString root = [] {
        const QString r = fuzz::Scratch();
        QDir().mkpath(r + QStringLiteral("/served/sub"));
        fuzz::WriteAll(r + QStringLiteral("/served/index.html"), "<html></html>");
        fuzz::WriteAll(r + QStringLiteral("/served/sub/a.png"), "png");
        fuzz::WriteAll(r + QStringLiteral("/secret.txt"), "secret");
        fuzz::WriteAll(r + QStringLiteral("/served2.txt"), "secret");
        QFile::link(r + QStringLiteral("/secret.txt"), r + QStringLiteral("/served/link.txt"));
        return r;
    }();
    if (requestPath.toLower().startsWith(QLatin1String("/session")))
        return 0; // shows a message and waits for the user
    THTTPServer server;
    server.SetServedFolder(root + QStringLiteral("/served"));
    for (const char *method : {"GET", "HEAD"}) {
        const TWebResponse res = server.HTTPServerCommandGet({QLatin1String(method), requestPath});
        if (!res.file.isEmpty()) {
            FUZZ_CHECK(res.code == 200);
            FUZZ_CHECK(res.file.startsWith(root + QStringLiteral("/served/")));
            FUZZ_CHECK(QFileInfo(res.file).canonicalFilePath().startsWith(root + QStringLiteral("/served/")));
        }
    }
    return 0;
}
