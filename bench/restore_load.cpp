// Bounded load run against the restore's web server (zorvak-cli serve): a fixed number of GET
// requests over loopback from a few client threads, every reply checked (status 200, the
// expected length), and the server's resident memory sampled as the run goes.
//
// Usage: restore_load PORT PATH EXPECTED_BYTES SERVER_PID [REQUESTS=10000] [THREADS=8]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

long RssKiB(int pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// One request on its own connection; true when the reply is 200 with `expected` body bytes.
bool Fetch(int port, const std::string &path, long expected)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return false;
    }
    const std::string req = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    if (::send(fd, req.data(), req.size(), MSG_NOSIGNAL) != ssize_t(req.size())) {
        ::close(fd);
        return false;
    }
    std::string reply;
    char buf[65536];
    for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;)
        reply.append(buf, size_t(n));
    ::close(fd);
    const size_t end = reply.find("\r\n\r\n");
    return reply.rfind("HTTP/1.1 200 ", 0) == 0 && end != std::string::npos
           && long(reply.size() - end - 4) == expected;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "Usage: %s PORT PATH EXPECTED_BYTES SERVER_PID [REQUESTS] [THREADS]\n", argv[0]);
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const std::string path = argv[2];
    const long expected = std::atol(argv[3]);
    const int pid = std::atoi(argv[4]);
    const int total = argc > 5 ? std::atoi(argv[5]) : 10000;
    const int threads = argc > 6 ? std::atoi(argv[6]) : 8;

    const long rssStart = RssKiB(pid);
    std::atomic<int> next{0}, errors{0}, done{0};
    std::mutex samplesMutex;
    std::vector<long> samples;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> clients;
    for (int t = 0; t < threads; ++t)
        clients.emplace_back([&] {
            while (next.fetch_add(1) < total) {
                if (!Fetch(port, path, expected))
                    ++errors;
                if (++done % 1000 == 0) {
                    std::lock_guard<std::mutex> lock(samplesMutex);
                    samples.push_back(RssKiB(pid));
                }
            }
        });
    for (std::thread &c : clients)
        c.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long rssEnd = RssKiB(pid);

    std::printf("requests %d, threads %d, errors %d\n", total, threads, errors.load());
    std::printf("time %.2f s, %.0f requests/s, %.1f MB/s\n", seconds, total / seconds,
                double(expected) * total / seconds / 1e6);
    std::printf("server RSS KiB: start %ld, every 1000 requests:", rssStart);
    for (long s : samples)
        std::printf(" %ld", s);
    std::printf(", end %ld\n", rssEnd);
    return errors.load() == 0 ? 0 : 1;
}
