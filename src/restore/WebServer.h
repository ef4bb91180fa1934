#pragma once
// THTTPServer: the temporary web server that serves one folder (the restore's: the folder that
// holds only the package copy) on the loopback address while a package is being installed.
//
// One listening binding; a listener thread accepts connections and each connection runs on a
// thread of its own, carries one request and is closed after the response. Only GET, POST and
// HEAD reach HTTPServerCommandGet; other methods are answered 501 without touching the folder.
// Deactivate closes the listener and ends every open connection at once, whatever its state (a
// request still arriving, however slowly; a download to a client that does not read), and
// returns once all connection threads have ended.
#include "common/Exceptions.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace zorvak {

// A failed bind or listen. PortUnavailable() is true when the port is taken by another socket
// or refused for lack of privileges (ports below 1024): both mean "try another port".
class ESocketBindError : public ESocketError {
public:
    ESocketBindError(const QString &message, int systemError)
        : ESocketError(message), m_systemError(systemError) {}
    QString ClassName() const override { return QStringLiteral("ESocketError"); }
    int SystemError() const { return m_systemError; }
    bool PortUnavailable() const;

private:
    int m_systemError;
};

struct TWebRequest {
    QString method;  // as received
    QString path;    // percent-decoded, without the query
};

// What HTTPServerCommandGet decided. When `file` is set the body is that file's bytes (or, for
// HEAD, only its length); otherwise `body`.
struct TWebResponse {
    int code = 200;
    QString reason = QStringLiteral("OK");
    QByteArray contentType = "text/html";
    QByteArray body;
    QString file;
    qint64 contentLength = -1;
    bool headOnly = false;
};

// The local path a request path names below the served folder (absolute, clean, with a trailing
// separator): the two joined and cleaned. `inside` tells whether the result stays within the
// folder (the folder itself counts); a path that climbs out with ".." does not. Links are not
// followed here: the handler checks the file's real location as well.
QString RequestLocalPath(const QString &servedFolder, const QString &requestPath, bool *inside);

inline constexpr const char *SessionMessage = "ServeVirtualFolder is not implemented here.";

class THTTPServer {
public:
    THTTPServer();
    ~THTTPServer(); // deactivates
    THTTPServer(const THTTPServer &) = delete;
    THTTPServer &operator=(const THTTPServer &) = delete;

    // The one binding. Port 0 lets the system choose (tests).
    void SetBinding(const QString &address, int port);
    QString Address() const { return m_address; }
    // The bound port while active (the chosen one when the binding said 0), else the binding's.
    int Port() const;

    // The folder served, made absolute and clean, with a trailing separator. Fixed while the
    // server is active.
    void SetServedFolder(const QString &folder);
    QString ServedFolder() const { return m_servedFolder; }

    // Binds and starts listening. Raises ESocketBindError when the bind fails; the server is
    // then stopped again.
    void Activate();
    // Closes the listener and all connections; returns when every connection thread has ended.
    // Does nothing on a stopped server.
    void Deactivate();
    bool Active() const;

    // The request handler; runs on connection threads (tests may call it directly).
    // For a path beginning with "/session" it shows SessionMessage through the dialog service on
    // the main thread and waits until it is dismissed (or the server stops).
    TWebResponse HTTPServerCommandGet(const TWebRequest &request) const;

    // Called on the connection thread after each request that reached the handler, with the
    // method, the request path and the status code. Set before Activate.
    std::function<void(const QString &method, const QString &path, int code)> OnCommand;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    QString m_address = QStringLiteral("127.0.0.1");
    int m_port = 79;
    QString m_servedFolder;
};

} // namespace zorvak
