#include "core/auth/loopback_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "core/auth/loopback_answers.h"
#include "core/auth/redirect_request.h"
#include "core/auth/sign_in_cancel.h"
#include "core/platform/localization.h"
#include "core/platform/utf8.h"

namespace ambrel {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr std::size_t kRequestLimit = 16384;

// How long one connection may take to deliver its request line. Browsers open connections on
// speculation and may leave them idle; such a connection is closed after this, unanswered.
constexpr auto kConnectionReadLimit = std::chrono::seconds(5);

// Connections read side by side, so an idle one never holds up the redirect. More than these
// wait in the listen backlog until one of them is done.
constexpr std::size_t kConnectionLimit = 8;
constexpr int kBacklog = 16;

Error failure(const char* what, int number) {
    return OAuthError::token(std::string(what) + " (" + std::to_string(number) + ")");
}

Error cancelledError() {
    return OAuthError::token("sign-in cancelled");
}

// Milliseconds for poll(), rounded up so that a wait never ends just before its deadline.
int pollTimeout(SteadyClock::duration left) {
    const auto millis = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::clamp<long long>(millis, 0, INT_MAX));
}

// The request line is complete at the first CR LF that follows something other than CR LF
// pairs (a leading CR LF is passed over by the parser, so it completes nothing).
bool hasRequestLine(std::string_view received) {
    while (received.starts_with("\r\n")) received.remove_prefix(2);
    return received.find("\r\n") != std::string_view::npos;
}

// MSG_NOSIGNAL: a browser that has already gone away must not kill the program with SIGPIPE.
// The socket is non-blocking; the answers are small, so a full send buffer means a peer that
// does not read, which is given a moment and then left.
void sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd writable{fd, POLLOUT, 0};
            if (::poll(&writable, 1, pollTimeout(kConnectionReadLimit)) > 0) continue;
            return;
        }
        if (sent <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

// One browser connection while its request comes in.
struct Connection {
    UniqueFd fd;
    SteadyClock::time_point readDeadline;
    std::string received{};
    bool complete = false;

    // Takes what has arrived. Reading stops once the request line is complete, the buffer is
    // full or the peer has closed: browsers may deliver the request in several segments, and a
    // single read could see only part of the request line and lose the code.
    void readAvailable() {
        char buffer[4096];
        while (!complete) {
            const std::size_t room = std::min(sizeof buffer, kRequestLimit - received.size());
            ssize_t count = ::recv(fd.get(), buffer, room, 0);
            if (count < 0 && errno == EINTR) continue;
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            if (count <= 0) {
                complete = true;
                return;
            }
            received.append(buffer, static_cast<std::size_t>(count));
            complete = received.size() >= kRequestLimit || hasRequestLine(received);
        }
    }
};

// Answers a finished request. The redirect ends the wait with its code or its failure; any
// other request gets "not found", and a connection that sent nothing is closed unanswered
// (writing to it could confuse a browser that still means to use it). A redirect whose state is
// not this sign-in's leads to no exchange: another page may send the browser here with a code
// of its own choosing.
std::optional<Result<std::string>> answer(Connection& connection, std::string_view expectedState) {
    if (connection.received.empty()) return std::nullopt;
    RedirectParameters parameters = parseRedirectRequest(utf8::repair(connection.received));
    const int fd = connection.fd.get();
    const bool redirect = parameters.code || parameters.error || parameters.path == "/";
    if (redirect && parameters.state != expectedState) {
        sendAll(fd, loopback::notSignedInAnswer());
        return std::nullopt;
    }
    if (parameters.code) {
        // An `error` beside the code is ignored: the code is what was asked for.
        sendAll(fd, loopback::signedInAnswer());
        return std::move(*parameters.code);
    }
    if (parameters.error || parameters.path == "/") {
        // The user is told why in the application, not here.
        sendAll(fd, loopback::notSignedInAnswer());
        return std::unexpected(
            OAuthError::token(parameters.error.value_or("authorization code missing")));
    }
    sendAll(fd, loopback::notFoundAnswer());
    return std::nullopt;
}

// Accepts one waiting connection, if any. Errors that only concern that one connection
// (it was reset before it was taken, say) are passed over.
std::optional<Error> acceptOne(int listener, std::vector<Connection>& connections) {
    int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
        connections.push_back({UniqueFd(fd), SteadyClock::now() + kConnectionReadLimit});
        return std::nullopt;
    }
    int number = errno;
    if (number == EAGAIN || number == EWOULDBLOCK || number == EINTR || number == ECONNABORTED ||
        number == EPROTO)
        return std::nullopt;
    return failure("loopback connection not received", number);
}

// Waits, reads and answers until the redirect has arrived or `deadline` has passed. The other
// connections still open are closed on return, before the caller closes the listener.
Result<std::string> serveUntilRedirect(int listener, SteadyClock::time_point deadline,
                                       std::string_view expectedState,
                                       const SignInCancel* cancel) {
    std::vector<Connection> connections;
    std::vector<pollfd> watched;
    for (;;) {
        if (cancel != nullptr && cancel->isCancelled()) return std::unexpected(cancelledError());
        const auto now = SteadyClock::now();
        for (Connection& connection : connections) {
            if (now >= connection.readDeadline) connection.complete = true;
            if (!connection.complete) continue;
            if (auto outcome = answer(connection, expectedState)) return std::move(*outcome);
        }
        std::erase_if(connections, [](const Connection& c) { return c.complete; });
        if (now >= deadline)
            return std::unexpected(OAuthError::token(tr("Timed out — sign-in not completed.")));

        auto wakeUp = deadline;
        watched.clear();
        for (const Connection& connection : connections) {
            watched.push_back({connection.fd.get(), POLLIN, 0});
            wakeUp = std::min(wakeUp, connection.readDeadline);
        }
        const bool accepting = connections.size() < kConnectionLimit;
        if (accepting) watched.push_back({listener, POLLIN, 0});
        // Last, so the indexes above stay those of the connections; its wake-up is read at the
        // top of the loop.
        if (cancel != nullptr && cancel->fd() >= 0) watched.push_back({cancel->fd(), POLLIN, 0});

        int ready = ::poll(watched.data(), watched.size(), pollTimeout(wakeUp - now));
        if (ready < 0 && errno != EINTR)
            return std::unexpected(failure("loopback connection not received", errno));
        if (ready <= 0) continue;
        for (std::size_t i = 0; i < connections.size(); ++i) {
            if (watched[i].revents != 0) connections[i].readAvailable();
        }
        if (accepting && watched[connections.size()].revents != 0) {
            if (auto error = acceptOne(listener, connections)) return std::unexpected(*error);
        }
    }
}

}  // namespace

Result<LoopbackServer> LoopbackServer::create(std::chrono::seconds waitLimit) {
    // CLOEXEC: the browser is started as a child process and must not inherit the listener.
    // NONBLOCK: a connection that poll() announced may be gone by the time it is accepted.
    UniqueFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (listener.get() < 0) return std::unexpected(failure("could not create socket", errno));

    int reuse = 1;
    ::setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);

    // Only the loopback address: the code must never be reachable from another machine.
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(0);
    ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        int number = errno;
        listener.reset();
        return std::unexpected(failure("could not bind loopback", number));
    }

    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    // Without the port there is no redirect URI to give the browser.
    if (::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        int number = errno;
        listener.reset();
        return std::unexpected(failure("could not bind loopback", number));
    }

    // Room for a browser's speculative connections beside the redirect itself.
    if (::listen(listener.get(), kBacklog) != 0) {
        int number = errno;
        listener.reset();
        return std::unexpected(failure("could not listen on loopback", number));
    }
    return LoopbackServer(ntohs(bound.sin_port), std::move(listener), waitLimit);
}

Result<std::string> LoopbackServer::waitForCode(std::string_view expectedState,
                                                 const SignInCancel* cancel) {
    auto outcome = serveUntilRedirect(listener_.get(), SteadyClock::now() + waitLimit_,
                                      expectedState, cancel);
    listener_.reset();
    return outcome;
}

}  // namespace ambrel
