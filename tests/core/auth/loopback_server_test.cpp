// The one-shot loopback listener over real sockets: what the browser receives, what the
// program gets back, and that nothing stays open afterwards.

#include "core/auth/loopback_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>
#include <thread>

namespace ambrel {
namespace {

using namespace std::chrono_literals;

// The state this sign-in sent in its consent URL.
constexpr std::string_view kState = "Zs8-q_1";

const std::string kAnswer =
    "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: 267\r\n"
    "Connection: close\r\n\r\n"
    "<!doctype html><html><head><meta charset=\"utf-8\"><title>Ambrel</title></head>\n"
    "<body style=\"font-family:-apple-system,system-ui;text-align:center;padding-top:80px;"
    "background:#0A1628;color:#FFE89B\">\n"
    "<h2>Ambrel</h2><p>Signed in. You can close this tab.</p></body></html>";

// A connected client socket, or an invalid one when the connection was refused.
UniqueFd connectTo(std::uint16_t port, const char* host = "127.0.0.1") {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    ::inet_pton(AF_INET, host, &address.sin_addr);
    if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return UniqueFd();
    return fd;
}

void sendText(int fd, std::string_view text) {
    ASSERT_EQ(::send(fd, text.data(), text.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(text.size()));
}

std::string readToEnd(int fd) {
    std::string received;
    char buffer[1024];
    ssize_t count;
    while ((count = ::recv(fd, buffer, sizeof buffer, 0)) > 0) received.append(buffer, count);
    return received;
}

struct Exchange {
    Result<std::string> result;
    std::string received;  // what the "browser" got back
};

// Runs waitForCode while a client sends `pieces` (pausing between them), then half-closes
// and reads the answer.
Exchange exchange(std::vector<std::string> pieces, std::chrono::milliseconds pause = 0ms) {
    auto server = LoopbackServer::create();
    EXPECT_TRUE(server.has_value());
    std::uint16_t port = server->port();
    auto waiting = std::async(std::launch::async, [&] { return server->waitForCode(kState); });
    UniqueFd client = connectTo(port);
    EXPECT_GE(client.get(), 0);
    for (const auto& piece : pieces) {
        sendText(client.get(), piece);
        std::this_thread::sleep_for(pause);
    }
    ::shutdown(client.get(), SHUT_WR);
    std::string received = readToEnd(client.get());
    Result<std::string> result = waiting.get();
    // One connection only: the listener is gone once the wait is over.
    EXPECT_LT(connectTo(port).get(), 0);
    return {std::move(result), std::move(received)};
}

TEST(LoopbackServer, AnswersTheRedirectAndReturnsTheCode) {
    auto done =
        exchange({"GET /?state=Zs8-q_1&code=4/abc&scope=x HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"});
    EXPECT_EQ(done.result.value_or("failed"), "4/abc");
    EXPECT_EQ(done.received, kAnswer);
}

TEST(LoopbackServer, RequestLineSplitOverSeveralWritesStillYieldsTheCode) {
    auto done = exchange(
        {"GE", "T /?co", "de=split", "ted&state=Zs8", "-q_1 HTTP/1.1", "\r\nHost: x\r\n\r\n"},
        50ms);
    EXPECT_EQ(done.result.value_or("failed"), "splitted");
    EXPECT_EQ(done.received, kAnswer);
}

// The browser page must not claim success when there was none; the reason is shown in the
// application.
TEST(LoopbackServer, RefusalIsReportedAndTheBrowserIsToldItFailed) {
    auto done = exchange({"GET /?state=Zs8-q_1&error=access_denied HTTP/1.1\r\n\r\n"});
    ASSERT_FALSE(done.result.has_value());
    EXPECT_EQ(errorMessage(done.result.error()), "Authentication error: access_denied");
    EXPECT_TRUE(done.received.starts_with("HTTP/1.1 200 OK\r\n")) << done.received;
    EXPECT_NE(done.received.find("Sign-in did not complete. Ambrel shows why"), std::string::npos);
    EXPECT_EQ(done.received.find("Signed in"), std::string::npos);
    EXPECT_EQ(done.received.find("access_denied"), std::string::npos);  // nothing echoed back
}

TEST(LoopbackServer, RedirectWithoutCodeOrErrorYieldsCodeMissing) {
    auto done = exchange({"GET /?scope=x&state=Zs8-q_1 HTTP/1.1\r\n\r\n"});
    ASSERT_FALSE(done.result.has_value());
    EXPECT_EQ(errorMessage(done.result.error()),
              "Authentication error: authorization code missing");
    EXPECT_NE(done.received.find("Sign-in did not complete."), std::string::npos);
}

// Browsers connect on speculation and ask for the site's icon before (or beside) the redirect;
// neither may use up the listener. A connection reset by a closed tab is survived too.
TEST(LoopbackServer, IdleConnectionIconRequestAndResetDoNotBlockTheRedirect) {
    auto server = LoopbackServer::create(10s);
    ASSERT_TRUE(server.has_value());
    auto waiting = std::async(std::launch::async, [&] { return server->waitForCode(kState); });

    UniqueFd idle = connectTo(server->port());
    ASSERT_GE(idle.get(), 0);
    UniqueFd reset = connectTo(server->port());
    linger resetOnClose{1, 0};
    ::setsockopt(reset.get(), SOL_SOCKET, SO_LINGER, &resetOnClose, sizeof resetOnClose);
    reset.reset();
    UniqueFd icon = connectTo(server->port());
    sendText(icon.get(), "GET /favicon.ico HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(readToEnd(icon.get()),
              "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain; charset=utf-8\r\n"
              "Content-Length: 10\r\nConnection: close\r\n\r\nNot found\n");

    UniqueFd browser = connectTo(server->port());
    sendText(browser.get(), "GET /?code=4/xyz&state=Zs8-q_1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(readToEnd(browser.get()), kAnswer);
    EXPECT_EQ(waiting.get().value_or("failed"), "4/xyz");
    // The idle connection is closed unanswered, and so is the listener.
    EXPECT_EQ(readToEnd(idle.get()), "");
    EXPECT_LT(connectTo(server->port()).get(), 0);
}

// A page that knows the port can send the browser here with a code of its own; without this
// sign-in's state (or with another) the redirect gets the failure page, no code comes back, and
// the real redirect is still awaited.
TEST(LoopbackServer, RedirectWithoutThisSignInsStateIsRefusedAndTheWaitGoesOn) {
    auto server = LoopbackServer::create(10s);
    ASSERT_TRUE(server.has_value());
    auto waiting = std::async(std::launch::async, [&] { return server->waitForCode(kState); });
    for (const char* forged :
         {"GET /?code=4/forged HTTP/1.1\r\n\r\n",
          "GET /?code=4/forged&state=Zs8-q_2 HTTP/1.1\r\n\r\n",
          "GET /?state=&code=4/forged HTTP/1.1\r\n\r\n",
          "GET /?error=access_denied&state=other HTTP/1.1\r\n\r\n", "GET / HTTP/1.1\r\n\r\n"}) {
        UniqueFd page = connectTo(server->port());
        sendText(page.get(), forged);
        const std::string received = readToEnd(page.get());
        EXPECT_NE(received.find("Sign-in did not complete."), std::string::npos) << forged;
        EXPECT_EQ(waiting.wait_for(0s), std::future_status::timeout) << forged;
    }
    UniqueFd browser = connectTo(server->port());
    sendText(browser.get(), "GET /?state=Zs8-q_1&code=4/real HTTP/1.1\r\n\r\n");
    EXPECT_EQ(readToEnd(browser.get()), kAnswer);
    EXPECT_EQ(waiting.get().value_or("failed"), "4/real");
}

TEST(LoopbackServer, NoConnectionWithinTheLimitTimesOutAndCloses) {
    auto server = LoopbackServer::create(1s);
    ASSERT_TRUE(server.has_value());
    auto started = std::chrono::steady_clock::now();
    auto result = server->waitForCode(kState);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 900ms);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(errorMessage(result.error()),
              "Authentication error: Timed out \xE2\x80\x94 sign-in not completed.");
    EXPECT_LT(connectTo(server->port()).get(), 0);
}

// Any other address (even another loopback one) reaching the listener would mean it is bound
// wider than 127.0.0.1.
TEST(LoopbackServer, ListensOnlyOn127001) {
    auto server = LoopbackServer::create();
    ASSERT_TRUE(server.has_value());
    EXPECT_LT(connectTo(server->port(), "127.0.0.2").get(), 0);
    EXPECT_GE(connectTo(server->port(), "127.0.0.1").get(), 0);
}

TEST(LoopbackServer, ServersGetDistinctPortsAndCloseWhenDropped) {
    std::uint16_t first = 0;
    {
        auto a = LoopbackServer::create();
        auto b = LoopbackServer::create();
        ASSERT_TRUE(a.has_value() && b.has_value());
        EXPECT_NE(a->port(), 0);
        EXPECT_NE(a->port(), b->port());
        first = a->port();
        EXPECT_GE(connectTo(first).get(), 0);
    }
    EXPECT_LT(connectTo(first).get(), 0);
}

}  // namespace
}  // namespace ambrel
