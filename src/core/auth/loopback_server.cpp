#include "core/auth/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "core/auth/redirect_request.h"
#include "core/platform/localization.h"
#include "core/platform/utf8.h"

namespace ambrel {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr std::size_t kRequestLimit = 16384;

constexpr std::string_view kPage =
    "<!doctype html><html><head><meta charset=\"utf-8\"><title>Ambrel</title></head>\n"
    "<body style=\"font-family:-apple-system,system-ui;text-align:center;padding-top:80px;"
    "background:#0A1628;color:#FFE89B\">\n"
    "<h2>Ambrel</h2><p>Signed in. You can close this tab.</p></body></html>";

std::string answerBytes() {
    std::string answer =
        "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: ";
    answer += std::to_string(kPage.size());
    answer += "\r\nConnection: close\r\n\r\n";
    answer += kPage;
    return answer;
}

Error failure(const char* what, int number) {
    return OAuthError::token(std::string(what) + " (" + std::to_string(number) + ")");
}

// A zero SO_RCVTIMEO means "wait forever", so a time that has (almost) run out is rounded up
// to one millisecond instead.
void setReceiveTimeout(int fd, SteadyClock::duration limit) {
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(limit).count();
    if (micros < 1000) micros = 1000;
    timeval timeout{};
    timeout.tv_sec = static_cast<time_t>(micros / 1000000);
    timeout.tv_usec = static_cast<suseconds_t>(micros % 1000000);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
}

Result<UniqueFd> acceptConnection(int listener, SteadyClock::time_point deadline) {
    for (;;) {
        int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) return UniqueFd(fd);
        int number = errno;
        if (number == EINTR && SteadyClock::now() < deadline) {
            // A signal is not the browser: wait again, for what is left of the limit only.
            setReceiveTimeout(listener, deadline - SteadyClock::now());
            continue;
        }
        if (number == EAGAIN || number == EWOULDBLOCK || number == EINTR)
            return std::unexpected(OAuthError::token(tr("Timed out — sign-in not completed.")));
        return std::unexpected(failure("loopback connection not received", number));
    }
}

// The request line is complete at the first CR LF that follows something other than CR LF
// pairs (a leading CR LF is passed over by the parser, so it completes nothing).
bool hasRequestLine(std::string_view received) {
    while (received.starts_with("\r\n")) received.remove_prefix(2);
    return received.find("\r\n") != std::string_view::npos;
}

// Browsers may deliver the request in several segments; a single read could see only part of
// the request line and lose the code. Reads stop once the request line is complete, the
// buffer is full, the peer closes, or the time runs out.
std::string readRequest(int fd, SteadyClock::time_point deadline) {
    std::string bytes(kRequestLimit, '\0');
    std::size_t filled = 0;
    while (filled < kRequestLimit && !hasRequestLine({bytes.data(), filled})) {
        auto left = deadline - SteadyClock::now();
        if (left <= SteadyClock::duration::zero()) break;
        setReceiveTimeout(fd, left);
        ssize_t count = ::recv(fd, bytes.data() + filled, kRequestLimit - filled, 0);
        if (count > 0) {
            filled += static_cast<std::size_t>(count);
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    bytes.resize(filled);
    return bytes;
}

// MSG_NOSIGNAL: a browser that has already gone away must not kill the program with SIGPIPE.
void sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        reset();
        fd_ = other.release();
    }
    return *this;
}

int UniqueFd::release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

Result<LoopbackServer> LoopbackServer::create(std::chrono::seconds waitLimit) {
    // CLOEXEC: the browser is started as a child process and must not inherit the listener.
    UniqueFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (listener.get() < 0) return std::unexpected(failure("could not create socket", errno));

    int reuse = 1;
    ::setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    setReceiveTimeout(listener.get(), waitLimit);

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

    if (::listen(listener.get(), 1) != 0) {
        int number = errno;
        listener.reset();
        return std::unexpected(failure("could not listen on loopback", number));
    }
    return LoopbackServer(ntohs(bound.sin_port), std::move(listener), waitLimit);
}

Result<std::string> LoopbackServer::waitForCode() {
    auto deadline = SteadyClock::now() + waitLimit_;
    auto connection = acceptConnection(listener_.get(), deadline);
    if (!connection) {
        listener_.reset();
        return std::unexpected(connection.error());
    }

    std::string request = utf8::repair(readRequest(connection->get(), deadline));
    RedirectParameters parameters = parseRedirectRequest(request);
    // Every accepted browser gets the same page; a refusal is shown by the application.
    sendAll(connection->get(), answerBytes());
    connection->reset();
    listener_.reset();

    if (parameters.code) return std::move(*parameters.code);
    return std::unexpected(
        OAuthError::token(parameters.error.value_or("authorization code missing")));
}

}  // namespace ambrel
