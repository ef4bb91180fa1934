#include "restore/WebServer.h"
#include "common/PathBytes.h"

#include "restore/MimeTable.h"
#include "shell/unitCustomDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <httplib.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <list>
#include <mutex>
#include <thread>

namespace zorvak {

namespace {

const char *const kNotFoundPage = "<html><head><title>Error</title></head><body><h1>Not Found</h1></body></html>";
const char *const kForbiddenPage =
    "<html><head><title>Error</title></head><body><h1>Access denied</h1>\r"
    "You do not have sufficient priviligies to access this document.</body></html>";
constexpr size_t kChunk = 64 * 1024;
// Each read and each write of a connection waits at most this long.
constexpr int kReadTimeoutMs = 5000;
constexpr int kWriteTimeoutMs = 5000;

// Each connection on a thread of its own; finished threads are joined when the next connection
// arrives, and all of them when the server stops.
class ConnectionThreads : public httplib::TaskQueue {
public:
    void enqueue(std::function<void()> fn) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Reap();
        auto done = std::make_shared<std::atomic<bool>>(false);
        try {
            m_threads.emplace_back(std::thread([fn = std::move(fn), done]() mutable {
                fn();
                fn = nullptr;
                done->store(true);
            }), done);
        } catch (const std::system_error &) {
            // No thread left: serve on the listener thread rather than drop the connection.
            fn();
        }
    }

    void shutdown() override
    {
        std::list<Entry> all;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            all.swap(m_threads);
        }
        for (Entry &e : all)
            e.first.join();
    }

private:
    using Entry = std::pair<std::thread, std::shared_ptr<std::atomic<bool>>>;
    void Reap()
    {
        for (auto it = m_threads.begin(); it != m_threads.end();) {
            if (it->second->load()) {
                it->first.join();
                it = m_threads.erase(it);
            } else {
                ++it;
            }
        }
    }
    std::mutex m_mutex;
    std::list<Entry> m_threads;
};

QString NumericHost(const sockaddr_storage &addr, socklen_t len, int *port)
{
    char host[NI_MAXHOST];
    char serv[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<const sockaddr *>(&addr), len, host, sizeof host, serv, sizeof serv,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return {};
    *port = std::atoi(serv);
    return QString::fromLatin1(host);
}

// The server's stop, as something a connection can wait on together with its socket: an event
// descriptor that becomes readable, for good, once the server stops.
class StopEvent {
public:
    StopEvent() : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~StopEvent()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    StopEvent(const StopEvent &) = delete;
    StopEvent &operator=(const StopEvent &) = delete;
    bool Valid() const { return m_fd >= 0; }
    void Raise()
    {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_fd, &one, sizeof one);
    }
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

// Waits until `sock` is ready for `events`; false after `timeoutMs`, or at once when the server
// stops and the socket is not ready. So a stop ends every wait of every connection: a request
// still arriving, a download to a client that does not read; an answer that can be written
// still is.
bool WaitFor(int sock, short events, int timeoutMs, const StopEvent &stop)
{
    pollfd p[2] = {{sock, events, 0}, {stop.Fd(), POLLIN, 0}};
    for (;;) {
        const int n = ::poll(p, 2, timeoutMs);
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0 && (p[0].revents & (events | POLLHUP | POLLERR)) != 0;
    }
}

// One connection as the library reads and writes it: the accepted socket, with the server's
// read and write time limits and its stop.
class ConnectionStream : public httplib::Stream {
public:
    ConnectionStream(int sock, int readTimeoutMs, int writeTimeoutMs, const StopEvent &stop)
        : m_sock(sock), m_readMs(readTimeoutMs), m_writeMs(writeTimeoutMs), m_stop(stop)
    {
    }
    bool is_readable() const override { return WaitFor(m_sock, POLLIN, m_readMs, m_stop); }
    bool is_writable() const override { return WaitFor(m_sock, POLLOUT, m_writeMs, m_stop); }
    ssize_t read(char *ptr, size_t size) override
    {
        if (!is_readable())
            return -1;
        return RetryInterrupted([&] { return ::recv(m_sock, ptr, size, 0); });
    }
    ssize_t write(const char *ptr, size_t size) override
    {
        if (!is_writable())
            return -1;
        return RetryInterrupted([&] { return ::send(m_sock, ptr, size, MSG_NOSIGNAL); });
    }
    void get_remote_ip_and_port(std::string &ip, int &port) const override { Endpoint(getpeername, ip, port); }
    void get_local_ip_and_port(std::string &ip, int &port) const override { Endpoint(getsockname, ip, port); }
    socket_t socket() const override { return m_sock; }

private:
    // A call of recv or send, made again when a signal interrupted it before any byte moved.
    template <typename F> static ssize_t RetryInterrupted(F call)
    {
        for (;;) {
            const ssize_t n = call();
            if (n < 0 && errno == EINTR)
                continue;
            return n;
        }
    }
    // The numeric address and port of one end of the connection (`name`: getpeername for the
    // client's end, getsockname for the server's); port 0 when the socket cannot say.
    void Endpoint(int (*name)(int, sockaddr *, socklen_t *), std::string &ip, int &port) const
    {
        sockaddr_storage addr{};
        socklen_t len = sizeof addr;
        port = 0;
        if (name(m_sock, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
            ip = NumericHost(addr, len, &port).toStdString();
    }

    int m_sock;
    int m_readMs;
    int m_writeMs;
    const StopEvent &m_stop;
};

// The library's server, with each accepted connection read and written through a
// ConnectionStream, one request per connection, closed after the response.
class StoppableServer : public httplib::Server {
public:
    StoppableServer(const StopEvent &stop, int readTimeoutMs, int writeTimeoutMs)
        : m_stop(stop), m_readMs(readTimeoutMs), m_writeMs(writeTimeoutMs)
    {
    }

private:
    // The library calls this on the connection's thread with the accepted socket.
    bool process_and_close_socket(socket_t sock) override
    {
        ConnectionStream stream(sock, m_readMs, m_writeMs, m_stop);
        bool closed = false;
        const bool ok = process_request(stream, true, closed, nullptr);
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
        return ok;
    }
    const StopEvent &m_stop;
    int m_readMs;
    int m_writeMs;
};

bool StartsWithFolder(const QString &path, const QString &folder)
{
    // Case matters: on this file system /A/app and /a/app are different folders.
    return !folder.isEmpty() && path.startsWith(folder, Qt::CaseSensitive);
}

QString WithSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

QString RequestLocalPath(const QString &servedFolder, const QString &requestPath, bool *inside)
{
    const QString local = QDir::cleanPath(servedFolder + requestPath);
    if (inside)
        *inside = !servedFolder.isEmpty()
                  && (StartsWithFolder(local, WithSlash(servedFolder)) || WithSlash(local) == WithSlash(servedFolder));
    return local;
}

bool ESocketBindError::PortUnavailable() const
{
    return m_systemError == EADDRINUSE || m_systemError == EACCES || m_systemError == EPERM;
}

struct THTTPServer::Impl {
    std::unique_ptr<httplib::Server> server;
    std::unique_ptr<StopEvent> stop; // raised by Deactivate; every connection waits on it too
    std::thread listener;
    std::atomic<bool> listenerDone{false};
    std::atomic<bool> stopping{false};
    int activePort = 0;
};

THTTPServer::THTTPServer() : d(std::make_unique<Impl>()) {}

THTTPServer::~THTTPServer()
{
    try {
        Deactivate();
    } catch (...) {
    }
}

void THTTPServer::SetBinding(const QString &address, int port)
{
    m_address = address;
    m_port = port;
}

void THTTPServer::SetServedFolder(const QString &folder)
{
    // Request paths are made absolute and cleaned before they are compared with the folder, so
    // the folder is too.
    m_servedFolder = folder.isEmpty() ? QString() : WithSlash(QDir::cleanPath(QDir(folder).absolutePath()));
}

bool THTTPServer::Active() const { return d->server != nullptr; }

void THTTPServer::Activate()
{
    Deactivate();
    auto stop = std::make_unique<StopEvent>();
    if (!stop->Valid())
        throw ESocketBindError(QStringLiteral("Could not listen on socket. %1.").arg(QString::fromLocal8Bit(std::strerror(errno))), errno);
    auto server = std::make_unique<StoppableServer>(*stop, kReadTimeoutMs, kWriteTimeoutMs);
    // Only SO_REUSEADDR: with the library's SO_REUSEPORT a busy port would bind without error.
    server->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server->new_task_queue = [] { return new ConnectionThreads; };
    server->set_keep_alive_max_count(1);
    server->set_keep_alive_timeout(2);
    server->set_payload_max_length(1 << 20);
    server->set_pre_routing_handler([](const httplib::Request &req, httplib::Response &res) {
        if (req.method == "GET" || req.method == "POST" || req.method == "HEAD")
            return httplib::Server::HandlerResponse::Unhandled;
        res.status = 501;
        return httplib::Server::HandlerResponse::Handled;
    });
    auto serve = [this](const httplib::Request &req, httplib::Response &res) {
        const TWebRequest request{QString::fromStdString(req.method), QString::fromUtf8(req.path)};
        TWebResponse answer;
        int fd = -1;
        try {
            answer = HTTPServerCommandGet(request);
            if (!answer.file.isEmpty() && !answer.headOnly) {
                fd = ::open(PathToBytes(answer.file).constData(), O_RDONLY | O_CLOEXEC);
                struct stat st {};
                if (fd < 0 || fstat(fd, &st) != 0) {
                    const int err = errno;
                    if (fd >= 0)
                        ::close(fd);
                    throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2")
                                          .arg(answer.file, QString::fromLocal8Bit(std::strerror(err))));
                }
                answer.contentLength = st.st_size;
            }
        } catch (const std::exception &e) {
            answer = TWebResponse{};
            answer.code = 500;
            answer.reason = QStringLiteral("Internal Server Error");
            answer.body = QByteArray(e.what());
        }
        res.status = answer.code;
        if (!answer.file.isEmpty() && answer.headOnly) {
            res.set_content_provider(size_t(answer.contentLength), answer.contentType.toStdString(),
                                     [](size_t, size_t, httplib::DataSink &) { return false; });
        } else if (!answer.file.isEmpty()) {
            Impl *impl = d.get();
            res.set_content_provider(
                size_t(answer.contentLength), answer.contentType.toStdString(),
                [fd, impl](size_t offset, size_t length, httplib::DataSink &sink) {
                    if (impl->stopping.load())
                        return false;
                    char buf[kChunk];
                    const ssize_t n = ::pread(fd, buf, std::min(length, kChunk), off_t(offset));
                    if (n <= 0)
                        return false;
                    return sink.write(buf, size_t(n));
                },
                [fd](bool) { ::close(fd); });
        } else if (!answer.body.isEmpty()) {
            res.set_content(answer.body.constData(), size_t(answer.body.size()), answer.contentType.toStdString());
        }
        if (OnCommand)
            OnCommand(request.method, request.path, answer.code);
    };
    server->Get(".*", serve);
    server->Post(".*", serve);

    const std::string host = m_address.toStdString();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo *resolved = nullptr;
    const int gai = getaddrinfo(host.c_str(), "0", &hints, &resolved);
    if (gai != 0)
        throw ESocketBindError(QStringLiteral("Could not bind socket. Cannot resolve \"%1\": %2.")
                                   .arg(m_address, QString::fromLocal8Bit(gai_strerror(gai))),
                               0);
    freeaddrinfo(resolved);
    errno = 0;
    int port = m_port;
    bool bound;
    if (port == 0) {
        port = server->bind_to_any_port(host);
        bound = port > 0;
    } else {
        bound = server->bind_to_port(host, port);
    }
    const int err = errno;
    if (!bound) {
        QString text = QStringLiteral("Could not bind socket.");
        if (err == EADDRINUSE)
            text += QStringLiteral(" Address and port are already in use.");
        else if (err != 0)
            text += QLatin1Char(' ') + QString::fromLocal8Bit(std::strerror(err)) + QLatin1Char('.');
        throw ESocketBindError(text, err);
    }
    d->stopping = false;
    d->listenerDone = false;
    d->activePort = port;
    d->server = std::move(server);
    d->stop = std::move(stop);
    httplib::Server *s = d->server.get();
    Impl *impl = d.get();
    d->listener = std::thread([s, impl] {
        s->listen_after_bind();
        impl->listenerDone = true;
    });
    // Deactivate may only stop a server whose accept loop has begun.
    while (!s->is_running() && !d->listenerDone.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (d->listenerDone.load()) {
        d->listener.join();
        d->server.reset();
        d->stop.reset();
        throw ESocketBindError(QStringLiteral("Could not listen on socket."), 0);
    }
}

void THTTPServer::Deactivate()
{
    if (!d->server)
        return;
    d->stopping = true;
    d->stop->Raise();
    d->server->stop();
    if (d->listener.joinable())
        d->listener.join(); // the library joins every connection thread before it returns
    d->server.reset();
    d->stop.reset();
}

int THTTPServer::Port() const { return d->server ? d->activePort : m_port; }

TWebResponse THTTPServer::HTTPServerCommandGet(const TWebRequest &request) const
{
    TWebResponse res;
    // 1. the virtual-folder request: a message on the main thread while the connection waits
    if (request.path.toLower().startsWith(QLatin1String("/session"))) {
        QCoreApplication *app = QCoreApplication::instance();
        if (!app || QThread::currentThread() == app->thread()) {
            PlainMessageBox(QString::fromLatin1(SessionMessage));
        } else {
            struct Wait {
                std::promise<void> shown;
                std::atomic<bool> abandoned{false};
            };
            auto wait = std::make_shared<Wait>();
            std::future<void> shown = wait->shown.get_future();
            QMetaObject::invokeMethod(
                app,
                [wait] {
                    if (!wait->abandoned.load())
                        PlainMessageBox(QString::fromLatin1(SessionMessage));
                    wait->shown.set_value();
                },
                Qt::QueuedConnection);
            while (shown.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
                if (d->stopping.load()) {
                    wait->abandoned = true;
                    break;
                }
            }
        }
        res.contentType.clear();
        return res;
    }
    // 2. the local path
    const QString folder = m_servedFolder;
    bool inside = false;
    QString local = RequestLocalPath(folder, request.path, &inside);
    // 3. a folder with its index page
    QFileInfo info(local);
    if (!info.isFile() && info.isDir()) {
        const QString index = QDir::cleanPath(local + QStringLiteral("/index.html"));
        if (QFileInfo(index).isFile()) {
            local = index;
            info = QFileInfo(local);
        }
    }
    // 4. nothing there
    if (!info.isFile()) {
        res.code = 404;
        res.reason = QStringLiteral("Not Found");
        res.body = kNotFoundPage;
        return res;
    }
    // 5. outside the served folder, by ".." or through a symbolic link
    const QString canonicalFolder = WithSlash(QFileInfo(folder).canonicalFilePath());
    if (!inside || !StartsWithFolder(local, folder) || !StartsWithFolder(info.canonicalFilePath(), canonicalFolder)) {
        res.code = 403;
        res.reason = QStringLiteral("Forbidden");
        res.body = kForbiddenPage;
        return res;
    }
    res.file = local;
    // 6. HEAD: type and length only
    if (request.method.toUpper() == QLatin1String("HEAD")) {
        QFile f(local);
        if (!f.open(QIODevice::ReadOnly))
            throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(local, f.errorString()));
        res.contentLength = f.size();
        f.close();
        res.contentType = GetMimeType(local).toLatin1();
        res.headOnly = true;
        return res;
    }
    // 7. GET, POST: the file itself, with the default content type
    res.contentLength = info.size();
    return res;
}

} // namespace zorvak
