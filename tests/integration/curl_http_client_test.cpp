#include "core/platform/curl_http_client.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "fakes/fake_adsense.h"
#include "fakes/fake_google.h"

namespace ambrel {
namespace {

using namespace std::chrono_literals;

struct Received {
    std::string method;
    std::map<std::string, std::string> headers;  // lower-case names
    std::string body;
};

// A loopback HTTP server that records what reaches it.
class LocalServer {
  public:
    LocalServer() {
        auto record = [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard lock(mutex_);
            Received received{request.method, {}, request.body};
            for (const auto& [name, value] : request.headers) {
                // cpp-httplib adds the peer's address as pseudo-headers; they were never sent.
                if (name.starts_with("REMOTE_") || name.starts_with("LOCAL_")) continue;
                std::string lower = name;
                std::ranges::transform(lower, lower.begin(), [](unsigned char c) {
                    return static_cast<char>(std::tolower(c));
                });
                received.headers[lower] = value;
            }
            last_ = std::move(received);
            response.set_content("{\"ok\":true}", "application/json");
        };
        server_.Get("/echo", record);
        server_.Post("/echo", record);
        server_.Get("/teapot", [](const httplib::Request&, httplib::Response& response) {
            response.status = 418;
            response.set_content("{\"error\":\"short and stout\"}", "application/json");
        });
        // Answers once three requests are inside at the same time ("together"), or after five
        // seconds alone; each answer carries the request's tag and the client's port.
        server_.Get("/together",
                    [this](const httplib::Request& request, httplib::Response& response) {
                        std::unique_lock lock(mutex_);
                        ++inside_;
                        arrived_.notify_all();
                        const bool together = arrived_.wait_for(lock, std::chrono::seconds(5),
                                                                [this] { return inside_ >= 3; });
                        response.set_content(request.get_param_value("tag") +
                                                 (together ? " together" : " alone") + " " +
                                                 request.get_header_value("Authorization"),
                                             "text/plain");
                    });
        server_.Get("/port", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(std::to_string(request.remote_port), "text/plain");
        });
        server_.Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
            for (int i = 0; i < 100 && !stopping_; ++i) std::this_thread::sleep_for(50ms);
            response.set_content("late", "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~LocalServer() {
        stopping_ = true;
        server_.stop();
        thread_.join();
    }

    std::string url(std::string_view path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
    }
    Received last() const {
        std::lock_guard lock(mutex_);
        return last_;
    }

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    int inside_ = 0;
    Received last_;
};

std::set<std::string> namesOf(const Received& received) {
    std::set<std::string> names;
    for (const auto& [name, value] : received.headers) names.insert(name);
    return names;
}

struct HeaderCase {
    const char* what;
    HttpRequest request;
    std::set<std::string> expectedNames;
};

// Google sees exactly the headers the caller chose: libcurl's Accept, a User-Agent, a form
// Content-Type of its own or "Expect: 100-continue" would all be extra.
TEST(CurlHttpClient, SendsOnlyTheRequestsOwnHeaders) {
    LocalServer server;
    const std::string form(2048, 'x');  // large enough for libcurl to want "Expect"
    const HeaderCase cases[] = {
        {"GET with a bearer token",
         {"GET", server.url("/echo"), {{"Authorization", "Bearer ya29.token"}}, "", 60s},
         {"authorization", "host"}},
        {"POST form",
         {"POST",
          server.url("/echo"),
          {{"Content-Type", "application/x-www-form-urlencoded"}},
          "a=1&b=" + form,
          60s},
         {"content-length", "content-type", "host"}},
        {"POST without headers",
         {"POST", server.url("/echo"), {}, "raw", 60s},
         {"content-length", "host"}},
    };
    CurlHttpClient client;
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto response = client.send(c.request);
        ASSERT_TRUE(response.has_value()) << response.error().message;
        EXPECT_EQ(response->status, 200);
        EXPECT_EQ(response->body, "{\"ok\":true}");
        const Received received = server.last();
        EXPECT_EQ(received.method, c.request.method);
        EXPECT_EQ(namesOf(received), c.expectedNames);
        EXPECT_EQ(received.body, c.request.body);
        for (const auto& [name, value] : c.request.headers) {
            std::string lower = name;
            std::ranges::transform(lower, lower.begin(), ::tolower);
            auto found = received.headers.find(lower);
            ASSERT_NE(found, received.headers.end()) << name;
            EXPECT_EQ(found->second, value);
        }
    }
}

// An HTTP error is a completed exchange: the caller judges status and body.
TEST(CurlHttpClient, PassesErrorStatusAndBodyThrough) {
    LocalServer server;
    auto response = CurlHttpClient().send({"GET", server.url("/teapot"), {}, "", 60s});
    ASSERT_TRUE(response.has_value()) << response.error().message;
    EXPECT_EQ(response->status, 418);
    EXPECT_EQ(response->body, "{\"error\":\"short and stout\"}");
}

// A port with a bound but not listening socket refuses connections, reliably.
TEST(CurlHttpClient, RefusedConnectionIsATransportErrorWithoutSecrets) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) +
                            "/token?refresh_token=SECRET-IN-QUERY";

    auto response = CurlHttpClient().send(
        {"POST", url, {{"Authorization", "Bearer SECRET-IN-HEADER"}}, "client_secret=SECRET", 60s});
    ::close(fd);
    ASSERT_FALSE(response.has_value());
    const std::string& message = response.error().message;
    EXPECT_NE(message.find("127.0.0.1"), std::string::npos) << message;
    EXPECT_EQ(message.find("SECRET"), std::string::npos) << message;
}

// A time-out of zero is the shortest limit, never libcurl's "no limit".
TEST(CurlHttpClient, TimeOutIsATransportError) {
    LocalServer server;
    for (auto limit : {1s, 0s}) {
        const auto start = std::chrono::steady_clock::now();
        auto response = CurlHttpClient().send({"GET", server.url("/slow"), {}, "", limit});
        const auto elapsed = std::chrono::steady_clock::now() - start;
        ASSERT_FALSE(response.has_value());
        EXPECT_NE(response.error().message.find("timed out"), std::string::npos)
            << response.error().message;
        EXPECT_LT(elapsed, 4s);
    }
}

// A server that streams without end, with or without announcing a length: the transfer stops
// at the body limit as a transport error, long before the time-out.
TEST(CurlHttpClient, BodyBeyondTheLimitIsATransportError) {
    fakes::FakeGoogle google;
    const std::optional<std::size_t> announced[] = {std::nullopt, std::size_t{1} << 32};
    for (const auto& length : announced) {
        google.injectFault(fakes::Endpoint::accounts,
                           {.endlessBody = true, .announcedLength = length}, 1);
        auto response =
            CurlHttpClient().send({"GET", google.adsenseBase() + "/accounts", {}, "", 60s});
        ASSERT_FALSE(response.has_value()) << response->body.size();
        EXPECT_EQ(response.error().message, "the answer is larger than 16 MiB (127.0.0.1)");
    }
}

// Google's 429 says how long to wait in Retry-After; the reply carries it, and only the answer
// that has one.
TEST(CurlHttpClient, ReplyCarriesRetryAfter) {
    fakes::FakeGoogle google;
    google.injectFault(fakes::Endpoint::accounts, fakes::quotaExceededFault(90), 1);
    CurlHttpClient client;
    const HttpRequest request{"GET", google.adsenseBase() + "/accounts", {}, "", 60s};
    auto refused = client.send(request);
    ASSERT_TRUE(refused.has_value()) << refused.error().message;
    EXPECT_EQ(refused->status, 429);
    EXPECT_EQ(refused->retryAfter, 90s);
    auto next = client.send(request);
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(next->retryAfter, std::nullopt);
}

// Only web addresses are fetched; a file: URL from a bad configuration reads nothing.
TEST(CurlHttpClient, RefusesSchemesOtherThanHttp) {
    auto response = CurlHttpClient().send({"GET", "file:///etc/passwd", {}, "", 60s});
    EXPECT_FALSE(response.has_value());
}

// The client keeps its connection between requests, sends a batch at once, holds a batch until
// its late headers come (adding them to every request), and sends nothing when they never do.
TEST(CurlHttpClient, KeepsConnectionsAndSendsBatchesTogether) {
    LocalServer server;
    CurlHttpClient client;
    auto first = client.send({"GET", server.url("/port"), {}, "", 60s});
    auto second = client.send({"GET", server.url("/port"), {}, "", 60s});
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->body, second->body);

    std::promise<std::optional<HttpHeaders>> token;
    std::vector<HttpRequest> batch;
    for (const char* tag : {"a", "b", "c"})
        batch.push_back({"GET", server.url("/together?tag=") + tag, {}, "", 60s});
    auto sent = std::async(std::launch::async,
                           [&] { return client.sendAll(batch, token.get_future().share()); });
    std::this_thread::sleep_for(100ms);
    token.set_value(HttpHeaders{{"Authorization", "Bearer late"}});
    const auto replies = sent.get();
    ASSERT_EQ(replies.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(replies[i]) << replies[i].error().message;
        EXPECT_EQ(replies[i]->body, std::string(1, "abc"[i]) + " together Bearer late");
    }

    std::promise<std::optional<HttpHeaders>> refused;
    refused.set_value(std::nullopt);
    for (const auto& reply : client.sendAll(batch, refused.get_future().share()))
        EXPECT_FALSE(reply.has_value());
    EXPECT_EQ(server.last().method, "");  // nothing reached /echo, nor anything else recorded
}

// A server that closes a kept connection on a request without answering it: libcurl sends the
// request again on a new connection. A GET may go twice (the server counts both); a token
// request, whose code or grant must be used once, never rides a kept connection, so it goes
// once and fails.
TEST(CurlHttpClient, OnlyAGetIsSentAgainOnANewConnection) {
    fakes::FakeGoogle google;
    const auto sent = [&google](const char* path) {
        const auto recorded = google.requests();
        return std::ranges::count_if(recorded, [path](const auto& r) { return r.path == path; });
    };
    CurlHttpClient client;
    const HttpRequest accounts{"GET", google.adsenseBase() + "/accounts", {}, "", 60s};
    ASSERT_TRUE(client.send(accounts).has_value());
    google.injectFault(fakes::Endpoint::accounts, {.closeConnection = true}, 1);
    const auto again = client.send(accounts);
    ASSERT_TRUE(again.has_value()) << again.error().message;
    EXPECT_EQ(sent("/v2/accounts"), 3);

    HttpRequest token{"POST",
                      google.tokenUri(),
                      {{"Content-Type", "application/x-www-form-urlencoded"}},
                      "grant_type=refresh_token&refresh_token=1%2F%2Fonce",
                      60s};
    for (const bool keep : {true, false}) {
        token.keepConnection = keep;
        ASSERT_TRUE(client.send(accounts).has_value());  // a connection to reuse
        google.injectFault(fakes::Endpoint::token, {.closeConnection = true}, 1);
        EXPECT_FALSE(client.send(token).has_value());
        EXPECT_EQ(sent("/token"), keep ? 1 : 2);
    }
}

// Over TLS the server's certificate must chain to the authorities the client trusts: the
// system's by default, which never include the test authority.
TEST(CurlHttpClient, TrustsOnlyItsOwnAuthorities) {
    fakes::FakeGoogle google(0, fakes::Scheme::https);
    const HttpRequest request{"GET", google.adsenseBase() + "/accounts", {}, "", 60s};
    auto refused = CurlHttpClient().send(request);
    ASSERT_FALSE(refused.has_value());
    EXPECT_NE(refused.error().message.find("certificate"), std::string::npos)
        << refused.error().message;
    auto accepted = CurlHttpClient(fakes::testCaFile()).send(request);
    ASSERT_TRUE(accepted.has_value()) << accepted.error().message;
    EXPECT_EQ(accepted->status, 401);  // no bearer token: the fake's own refusal
}

}  // namespace
}  // namespace ambrel
