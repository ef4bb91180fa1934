// The local web server over real loopback sockets.
#include "HttpProbe.h"
#include "restore/MimeTable.h"
#include "restore/RestoreCore.h"
#include "restore/WebServer.h"
#include "shell/uLanguage.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using namespace zorvak;
using namespace zorvak::test;

namespace {

const QByteArray kNotFound = "<html><head><title>Error</title></head><body><h1>Not Found</h1></body></html>";
const QByteArray kForbidden = "<html><head><title>Error</title></head><body><h1>Access denied</h1>\r"
                              "You do not have sufficient priviligies to access this document.</body></html>";

QByteArray RandomBytes(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator gen(42);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char(gen.generate() & 0xff);
    return data;
}

class WebServerTest : public EnvTest {
protected:
    void SetUp() override
    {
        served = env.path(QStringLiteral("served/"));
        QDir().mkpath(served);
        server.SetServedFolder(served);
        server.SetBinding(QStringLiteral("127.0.0.1"), 0);
        server.Activate();
        port = server.Port();
    }
    // Runs a request on another thread while the main thread keeps its event loop going.
    HttpReply Pumped(const QByteArray &method, const QByteArray &path)
    {
        auto reply = std::async(std::launch::async, [this, method, path] { return Request(port, method, path); });
        while (reply.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return reply.get();
    }
    QString served;
    THTTPServer server;
    int port = 0;
};

TEST_F(WebServerTest, PackageByGetAndHead)
{
    const QByteArray package = RandomBytes(300 * 1024 + 7);
    ASSERT_TRUE(WriteFile(served + QStringLiteral("~tmpToInstall.mco"), package));
    ASSERT_TRUE(WriteFile(served + QStringLiteral("pic.PNG"), "png"));

    HttpReply get = Request(port, "GET", "/~tmpToInstall.mco");
    EXPECT_EQ(get.statusLine, "HTTP/1.1 200 OK");
    EXPECT_EQ(get.headers.value("content-type"), "text/html");
    EXPECT_EQ(get.headers.value("content-length"), QByteArray::number(package.size()));
    EXPECT_TRUE(get.body == package);

    HttpReply head = Request(port, "HEAD", "/~tmpToInstall.mco");
    EXPECT_EQ(head.statusLine, "HTTP/1.1 200 OK");
    EXPECT_EQ(head.headers.value("content-type"), "application/octet-stream");
    EXPECT_EQ(head.headers.value("content-length"), QByteArray::number(package.size()));
    EXPECT_TRUE(head.body.isEmpty());

    // the table's type, looked up by the lower-cased extension; percent-decoding applies
    EXPECT_EQ(Request(port, "HEAD", "/pic.PNG").headers.value("content-type"), "image/png");
    EXPECT_EQ(Request(port, "GET", "/%7EtmpToInstall.mco?x=1").body.size(), package.size());
    // POST is served like GET
    EXPECT_TRUE(SendRaw(port, "POST /~tmpToInstall.mco HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc").body == package);
}

TEST_F(WebServerTest, MissingFilesFoldersAndEscapes)
{
    // no index.html: the folder itself is not a file
    HttpReply root = Request(port, "GET", "/");
    EXPECT_EQ(root.statusLine, "HTTP/1.1 404 Not Found");
    EXPECT_EQ(root.body, kNotFound);
    EXPECT_EQ(root.headers.value("content-length"), QByteArray::number(kNotFound.size()));

    ASSERT_TRUE(WriteFile(served + QStringLiteral("sub/index.html"), "<p>index</p>"));
    EXPECT_EQ(Request(port, "GET", "/sub").body, "<p>index</p>");
    EXPECT_EQ(Request(port, "GET", "/sub/").body, "<p>index</p>");

    // beside the served folder
    ASSERT_TRUE(WriteFile(env.path(QStringLiteral("x")), "secret"));
    HttpReply up = Request(port, "GET", "/../x");
    EXPECT_EQ(up.statusLine, "HTTP/1.1 403 Forbidden");
    EXPECT_EQ(up.body, kForbidden);
    EXPECT_EQ(Request(port, "GET", "/%2e%2e/x").Status(), 403);
    EXPECT_EQ(Request(port, "GET", "/../nothing").body, kNotFound);

    // a folder whose name only differs in letter case is another folder
    const QString twin = env.path(QStringLiteral("Served/"));
    ASSERT_TRUE(WriteFile(twin + QStringLiteral("y"), "twin"));
    EXPECT_EQ(Request(port, "GET", "/../Served/y").Status(), 403);

    // a symbolic link inside the folder that leads out of it
    ASSERT_TRUE(QFile::link(env.path(QStringLiteral("x")), served + QStringLiteral("link")));
    HttpReply viaLink = Request(port, "GET", "/link");
    EXPECT_EQ(viaLink.Status(), 403);
    EXPECT_EQ(viaLink.body, kForbidden);
    ASSERT_TRUE(QFile::link(env.path(QStringLiteral("")), served + QStringLiteral("up")));
    EXPECT_EQ(Request(port, "GET", "/up/x").Status(), 403);
    // one that stays inside is followed
    ASSERT_TRUE(WriteFile(served + QStringLiteral("real"), "inside"));
    ASSERT_TRUE(QFile::link(served + QStringLiteral("real"), served + QStringLiteral("alias")));
    EXPECT_EQ(Request(port, "GET", "/alias").body, "inside");
}

// The program's folder may come with a doubled separator or a "." part (an XDG_DATA_HOME with a
// trailing slash gives one): its files are still served, and climbing out is still refused.
TEST_F(WebServerTest, UncleanServedFolderStillServesItsFiles)
{
    ASSERT_TRUE(WriteFile(served + QStringLiteral("~tmpToInstall.mco"), "package"));
    ASSERT_TRUE(WriteFile(env.path(QStringLiteral("x")), "secret"));
    server.Deactivate();
    server.SetServedFolder(env.path(QStringLiteral("/./served//")));
    server.Activate();
    port = server.Port();
    EXPECT_EQ(Request(port, "GET", "/~tmpToInstall.mco").body, "package");
    EXPECT_EQ(Request(port, "HEAD", "/~tmpToInstall.mco").Status(), 200);
    EXPECT_EQ(Request(port, "GET", "/../x").Status(), 403);
}

TEST_F(WebServerTest, SessionPathShowsMessageThenEmptyReply)
{
    ASSERT_TRUE(WriteFile(served + QStringLiteral("SESSION/x"), "file"));
    HttpReply reply = Pumped("GET", "/SESSION/x");
    EXPECT_EQ(reply.statusLine, "HTTP/1.1 200 OK");
    EXPECT_TRUE(reply.body.isEmpty());
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls[0].kind, DialogCall::Plain);
    EXPECT_EQ(env.dialogs().calls[0].text, QStringLiteral("ServeVirtualFolder is not implemented here."));
}

// The stop does not wait for a message the main thread has not shown yet: the connection gives
// up waiting, and the message is dropped.
TEST_F(WebServerTest, StopWhileSessionMessageIsPending)
{
    auto reply = std::async(std::launch::async, [this] { return Request(port, "GET", "/session"); });
    // the request reaches the handler, which waits for the main thread that does not run events
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    server.Deactivate();
    const HttpReply r = reply.get();
    EXPECT_FALSE(server.Active());
    QCoreApplication::processEvents();
    EXPECT_TRUE(env.dialogs().calls.empty());
    EXPECT_EQ(r.statusLine, "HTTP/1.1 200 OK");
    EXPECT_TRUE(r.body.isEmpty());
}

TEST_F(WebServerTest, OtherMethodsDoNotReachTheHandler)
{
    ASSERT_TRUE(WriteFile(served + QStringLiteral("f"), "content"));
    for (const char *method : {"PUT", "DELETE", "OPTIONS", "PATCH"}) {
        HttpReply reply = Request(port, method, "/f");
        EXPECT_TRUE(reply.received) << method;
        EXPECT_NE(reply.Status(), 200) << method;
        EXPECT_FALSE(reply.body.contains("content")) << method;
    }
    EXPECT_EQ(ReadFile(served + QStringLiteral("f")), "content");
}

TEST_F(WebServerTest, FiftyParallelDownloadsAreByteExact)
{
    const QByteArray big = RandomBytes(5 * 1024 * 1024);
    ASSERT_TRUE(WriteFile(served + QStringLiteral("~tmpToInstall.mco"), big));
    std::vector<std::future<HttpReply>> downloads;
    for (int i = 0; i < 50; ++i)
        downloads.push_back(std::async(std::launch::async, [this] { return Request(port, "GET", "/~tmpToInstall.mco"); }));
    int exact = 0;
    for (auto &d : downloads) {
        const HttpReply r = d.get();
        exact += (r.Status() == 200 && r.body == big) ? 1 : 0;
    }
    EXPECT_EQ(exact, 50);
}

TEST_F(WebServerTest, StopDuringSlowDownloadClosesTheConnection)
{
    const QByteArray big = RandomBytes(8 * 1024 * 1024);
    ASSERT_TRUE(WriteFile(served + QStringLiteral("~tmpToInstall.mco"), big));
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int small = 4096;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(quint16(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    const QByteArray req = "GET /~tmpToInstall.mco HTTP/1.1\r\nHost: x\r\n\r\n";
    ASSERT_EQ(::send(fd, req.constData(), size_t(req.size()), 0), req.size());
    char buf[1024];
    ASSERT_GT(::recv(fd, buf, sizeof buf, 0), 0); // the download has begun; the client stalls

    server.Deactivate();
    EXPECT_FALSE(server.Active());
    // the server closed the connection: the rest arrives cut short
    qsizetype total = 0;
    timeval tv{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;)
        total += n;
    ::close(fd);
    EXPECT_LT(total, big.size());
    // and nothing listens any more
    EXPECT_FALSE(Request(port, "GET", "/~tmpToInstall.mco").received);
    server.Deactivate(); // stopping a stopped server does nothing
}

// Clients that keep a request open (one header line now and then, or nothing at all after
// connecting) do not hold the stop: every connection is ended at once.
TEST_F(WebServerTest, StopIsPromptWhateverClientsDo)
{
    const auto connectTo = [this] {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(quint16(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
        return fd;
    };
    const int slow = connectTo();
    const int idle = connectTo();
    std::atomic<bool> done{false};
    // one header line every 200 ms for up to 20 s, each well within the read time limit
    std::thread trickle([&] {
        const QByteArray start = "GET /~tmpToInstall.mco HTTP/1.1\r\n";
        if (::send(slow, start.constData(), size_t(start.size()), MSG_NOSIGNAL) != start.size())
            return;
        for (int i = 0; i < 100 && !done.load(); ++i) {
            const QByteArray line = "X-Slow-" + QByteArray::number(i) + ": 1\r\n";
            if (::send(slow, line.constData(), size_t(line.size()), MSG_NOSIGNAL) != line.size())
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(700));

    const auto before = std::chrono::steady_clock::now();
    server.Deactivate();
    const auto took = std::chrono::steady_clock::now() - before;
    done = true;
    trickle.join();
    EXPECT_FALSE(server.Active());
    EXPECT_LT(took, std::chrono::seconds(5));
    // both connections were closed by the server (at most an error status came first)
    char buf[256];
    timeval tv{5, 0};
    for (int fd : {slow, idle}) {
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        QByteArray got;
        ssize_t n;
        while ((n = ::recv(fd, buf, sizeof buf, 0)) > 0)
            got.append(buf, n);
        EXPECT_EQ(n, 0) << "the connection is still open";
        EXPECT_FALSE(got.startsWith("HTTP/1.1 200")) << got.constData();
        ::close(fd);
    }
}

TEST(MimeTable, SystemTypesAndFallback)
{
    EXPECT_GT(MimeTable().Count(), 100);
    EXPECT_EQ(GetMimeType(QStringLiteral("a/b.GIF")), QStringLiteral("image/gif"));
    EXPECT_EQ(GetMimeType(QStringLiteral("x.jpg")), QStringLiteral("image/jpeg"));
    EXPECT_EQ(GetMimeType(QStringLiteral("x.mco")), QStringLiteral("application/octet-stream"));
    EXPECT_EQ(GetMimeType(QStringLiteral("noext")), QStringLiteral("application/octet-stream"));
}

// ---- the start with its port rules ----

class StartTest : public EnvTest {
protected:
    QStringList shownPorts;
    std::function<void(const QString &)> show = [this](const QString &p) { shownPorts << p; };
};

TEST_F(StartTest, PortFieldRules)
{
    bool replaced = false;
    for (const char *text : {"abc", "0", "70000", "-5", ""}) {
        EXPECT_EQ(PortFromText(QString::fromLatin1(text), &replaced), 79) << text;
        EXPECT_TRUE(replaced) << text;
    }
    EXPECT_EQ(PortFromText(QStringLiteral("65535"), &replaced), 65535);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(PortFromText(QStringLiteral("1")), 1);
}

TEST_F(StartTest, SimpleModeDrawsAnotherPortWhenBusy)
{
    PortBlocker busy;
    THTTPServer server;
    TListenSettings taken;
    ASSERT_TRUE(StartWebServer(server, QStringLiteral("127.0.0.1"), QString::number(busy.port()), true, show, &taken));
    EXPECT_TRUE(server.Active());
    EXPECT_NE(server.Port(), busy.port());
    EXPECT_GE(server.Port(), 1);
    EXPECT_LE(server.Port(), 65534);
    ASSERT_FALSE(shownPorts.isEmpty());
    EXPECT_EQ(shownPorts.last(), QString::number(server.Port()));
    // the drawn port is not the run's port
    EXPECT_EQ(taken.port, busy.port());
    EXPECT_EQ(taken.address, QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(env.dialogs().calls.empty());
    server.Deactivate();
}

TEST_F(StartTest, AdvancedModeReportsBusyPortWithHint)
{
    PortBlocker busy;
    THTTPServer server;
    EXPECT_FALSE(StartWebServer(server, QStringLiteral("127.0.0.1"), QString::number(busy.port()), false, show));
    EXPECT_FALSE(server.Active());
    EXPECT_TRUE(shownPorts.isEmpty());
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    const DialogCall &call = env.dialogs().calls[0];
    EXPECT_EQ(call.type, TMsgDlgType::mtError);
    EXPECT_EQ(call.buttons, TMsgDlgButtons(mbOK));
    EXPECT_EQ(call.text, QStringLiteral("Error activating web server, exception ESocketError:\r"
                                        "Could not bind socket. Address and port are already in use.\r\r")
                             + CurrentLanguage().Get(QStringLiteral("PortUsed")));
}

TEST_F(StartTest, OtherBindErrorsAreNotRetried)
{
    THTTPServer server;
    // an address that is not this machine's
    EXPECT_FALSE(StartWebServer(server, QStringLiteral("192.0.2.1"), QString::number(FreePort()), true, show));
    EXPECT_TRUE(shownPorts.isEmpty());
    ASSERT_EQ(env.dialogs().calls.size(), 1u);
    EXPECT_EQ(env.dialogs().calls[0].text, QStringLiteral("Error activating web server, exception ESocketError:\r"
                                                          "Could not bind socket. Cannot assign requested address."));
}

} // namespace
