#pragma once
// A raw HTTP/1.1 client for the server tests: one request per connection, the reply read until
// the server closes, so the tests see exactly what went over the socket.
#include <QByteArray>
#include <QMap>

namespace zorvak::test {

struct HttpReply {
    bool received = false;     // a status line arrived
    QByteArray statusLine;     // without the line break
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
    int Status() const;
};

// Sends `request` verbatim to 127.0.0.1:port and reads until the connection closes.
HttpReply SendRaw(int port, const QByteArray &request);
// "METHOD path HTTP/1.1" with Host and no body.
HttpReply Request(int port, const QByteArray &method, const QByteArray &path);

// A listening TCP socket on 127.0.0.1 that occupies a port (0: a free one) until destroyed.
class PortBlocker {
public:
    explicit PortBlocker(int port = 0);
    ~PortBlocker();
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

// A port that was free a moment ago.
int FreePort();

} // namespace zorvak::test
