// latency_relay: a local TCP relay that makes 127.0.0.1 behave like a distant server.
//
//   latency_relay --listen PORT --target PORT --rtt-ms MS
//
// Every byte is held for half the round-trip time in each direction, so each exchange (a
// request and its answer, a TLS handshake flight and its reply) costs one round trip more; a
// new connection costs one round trip more again before its first byte goes through, as a TCP
// handshake would. It prints "connection N" for each accepted connection, so a caller can count
// them, and runs until SIGINT or SIGTERM. Both ends are on 127.0.0.1.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::atomic<bool> stopping{false};

// Bytes read from one side, to be written to the other once their time has come.
class DelayLine {
  public:
    void push(Clock::time_point due, std::string bytes) {
        std::lock_guard lock(mutex_);
        chunks_.push_back({due, std::move(bytes)});
        changed_.notify_one();
    }
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_one();
    }
    // The next chunk once it is due; empty when the line is closed and drained.
    std::optional<std::string> pop() {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (!chunks_.empty()) {
                const auto due = chunks_.front().first;
                if (Clock::now() >= due) {
                    std::string bytes = std::move(chunks_.front().second);
                    chunks_.pop_front();
                    return bytes;
                }
                changed_.wait_until(lock, due);
                continue;
            }
            if (closed_) return std::nullopt;
            changed_.wait(lock);
        }
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<Clock::time_point, std::string>> chunks_;
    bool closed_ = false;
};

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// One direction: read `from`, hold each chunk for `oneWay` (and none before `notBefore`), write
// to `to`; the end of `from` becomes the end of writing on `to`.
void pump(int from, int to, milliseconds oneWay, Clock::time_point notBefore) {
    DelayLine line;
    std::thread writer([&] {
        while (auto bytes = line.pop())
            if (!writeAll(to, *bytes)) break;
        ::shutdown(to, SHUT_WR);
    });
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::recv(from, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        const auto due = std::max(Clock::now(), notBefore) + oneWay;
        line.push(due, std::string(buffer, static_cast<std::size_t>(got)));
    }
    line.close();
    writer.join();
}

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) ::close(fd);
        return -1;
    }
    return fd;
}

void relay(int client, int targetPort, milliseconds rtt) {
    const int server = connectTo(targetPort);
    if (server < 0) {
        ::close(client);
        return;
    }
    for (int fd : {client, server}) {
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    // The handshake a real connection would have made: nothing passes before one round trip.
    const auto open = Clock::now() + rtt;
    std::thread up([&] { pump(client, server, rtt / 2, open); });
    pump(server, client, rtt / 2, open);
    up.join();
    ::close(client);
    ::close(server);
}

int listenOn(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    // The fake server's connections on this port, closed by a bench moments ago, linger in
    // TIME_WAIT with its SO_REUSEPORT; binding past them needs the same option.
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 64) != 0)
        return -1;
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    int listenPort = 0, targetPort = 0, rttMs = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (name == "--listen")
            listenPort = value;
        else if (name == "--target")
            targetPort = value;
        else if (name == "--rtt-ms")
            rttMs = value;
    }
    if (listenPort <= 0 || targetPort <= 0 || rttMs < 0) {
        std::fprintf(stderr, "usage: latency_relay --listen PORT --target PORT --rtt-ms MS\n");
        return 2;
    }
    const int listener = listenOn(listenPort);
    if (listener < 0) {
        std::fprintf(stderr, "latency_relay: cannot listen on 127.0.0.1:%d: %s\n", listenPort,
                     std::strerror(errno));
        return 1;
    }
    signal(SIGINT, [](int) { stopping = true; });
    signal(SIGTERM, [](int) { stopping = true; });
    std::printf("listening on 127.0.0.1:%d, relaying to %d with %d ms round trips\n", listenPort,
                targetPort, rttMs);
    std::fflush(stdout);
    long accepted = 0;
    while (!stopping) {
        pollfd waiting{listener, POLLIN, 0};
        if (::poll(&waiting, 1, 200) <= 0) continue;
        const int client = ::accept(listener, nullptr, nullptr);
        if (client < 0) continue;
        std::printf("connection %ld\n", ++accepted);
        std::fflush(stdout);
        std::thread(relay, client, targetPort, milliseconds(rttMs)).detach();
    }
    ::close(listener);
    return 0;
}
