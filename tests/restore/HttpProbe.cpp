#include "HttpProbe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <stdexcept>

namespace zorvak::test {

int HttpReply::Status() const
{
    const QList<QByteArray> parts = statusLine.split(' ');
    return parts.size() >= 2 ? parts.at(1).toInt() : -1;
}

HttpReply SendRaw(int port, const QByteArray &request)
{
    HttpReply reply;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval tv{20, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(quint16(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return reply;
    }
    qsizetype sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += n;
    }
    QByteArray raw;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        raw.append(buf, n);
    }
    ::close(fd);
    const qsizetype end = raw.indexOf("\r\n\r\n");
    if (end < 0)
        return reply;
    const QList<QByteArray> lines = raw.left(end).split('\n');
    reply.received = true;
    reply.statusLine = lines.value(0).trimmed();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0)
            reply.headers.insert(lines.at(i).left(colon).trimmed().toLower(), lines.at(i).mid(colon + 1).trimmed());
    }
    reply.body = raw.mid(end + 4);
    return reply;
}

HttpReply Request(int port, const QByteArray &method, const QByteArray &path)
{
    return SendRaw(port, method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}

PortBlocker::PortBlocker(int port)
{
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(quint16(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(m_fd, 4) != 0)
        throw std::runtime_error("cannot occupy a port");
    socklen_t len = sizeof addr;
    getsockname(m_fd, reinterpret_cast<sockaddr *>(&addr), &len);
    m_port = ntohs(addr.sin_port);
}

PortBlocker::~PortBlocker() { ::close(m_fd); }

int FreePort()
{
    PortBlocker blocker;
    return blocker.port();
}

} // namespace zorvak::test
