// The sign-in sequence over a scripted token endpoint and a scripted "browser" that follows
// the consent URL's redirect URI straight into the loopback listener.

#include "core/auth/auth_flow.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <fstream>
#include <map>
#include <thread>

#include "core/auth/keychain.h"
#include "core/auth/loopback_server.h"
#include "support/fake_services.h"

namespace ambrel {
namespace {

using testing::FakeHttpClient;
using testing::MemorySecretStore;

// The value of `name` in a URL query or form body, left encoded.
std::string parameter(const std::string& text, const std::string& name) {
    std::size_t start = std::string::npos;
    for (std::size_t at = 0; (at = text.find(name + "=", at)) != std::string::npos; ++at) {
        if (at == 0 || text[at - 1] == '?' || text[at - 1] == '&') {
            start = at + name.size() + 1;
            break;
        }
    }
    if (start == std::string::npos) return "<absent>";
    return text.substr(start, text.find('&', start) - start);
}

// What a browser does with the redirect: one GET to the listener with `query`.
void visitRedirect(std::uint16_t port, const std::string& query) {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
    std::string request = "GET /?" + query + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    ::send(fd.get(), request.data(), request.size(), MSG_NOSIGNAL);
    char buffer[1024];
    while (::recv(fd.get(), buffer, sizeof buffer, 0) > 0) {
    }
}

class SignIn : public ::testing::Test, protected testing::FakeServices {
  protected:
    SignIn() { writeConfig("https://accounts.test/o/oauth2/auth"); }
    ~SignIn() override {
        if (browser.joinable()) browser.join();
    }

    void writeConfig(const std::string& authURI) {
        std::ofstream(dir.path() / "client_secret.json")
            << R"({"installed":{"client_id":"cid","client_secret":"csecret","auth_uri":")"
            << authURI << R"(","token_uri":"https://token.test/token"}})";
    }

    // A browser that lands on the redirect URI with `query`, as Google would send it: with the
    // consent URL's state first, unless `forged`, when the query alone is sent.
    AuthFlow flowRedirectingWith(std::string query, bool forged = false,
                                 std::chrono::seconds waitLimit = std::chrono::seconds(300)) {
        return AuthFlow(
            services,
            [this, query, forged](const std::string& url) {
                opened.push_back(url);
                std::string redirect = parameter(url, "redirect_uri");
                auto port =
                    static_cast<std::uint16_t>(std::stoi(redirect.substr(redirect.rfind(':') + 1)));
                const std::string sent =
                    forged ? query : "state=" + parameter(url, "state") + "&" + query;
                browser = std::thread(visitRedirect, port, sent);
            },
            waitLimit);
    }

    std::string messageOf(const Result<void>& result) {
        return result ? "ok" : errorMessage(result.error());
    }

    std::vector<std::string> opened;
    std::thread browser;
};

TEST_F(SignIn, ExchangesTheCodeWithTheVerifierAndStoresTheRefreshToken) {
    http.reply(200, R"({"access_token":"at","refresh_token":"1//new","expires_in":3599})");
    ASSERT_EQ(messageOf(flowRedirectingWith("code=4%2Fc0de&scope=x").signIn()), "ok");

    ASSERT_EQ(opened.size(), 1u);
    ASSERT_EQ(http.requests().size(), 1u);
    const std::string body = http.requests().front().body;
    std::string redirect = parameter(opened.front(), "redirect_uri");
    EXPECT_TRUE(redirect.starts_with("http://127.0.0.1:"));
    EXPECT_EQ(parameter(body, "redirect_uri"),
              "http%3A%2F%2F127.0.0.1%3A" + redirect.substr(redirect.rfind(':') + 1));
    EXPECT_EQ(parameter(body, "code"), "4%2Fc0de");
    EXPECT_EQ(parameter(body, "grant_type"), "authorization_code");
    EXPECT_EQ(parameter(body, "client_id"), "cid");
    EXPECT_EQ(parameter(body, "client_secret"), "csecret");
    // The verifier sent is the one whose challenge the consent page was given.
    EXPECT_EQ(AuthFlow::pkceForVerifier(parameter(body, "code_verifier")).challenge,
              parameter(opened.front(), "code_challenge"));
    EXPECT_EQ(secrets.value(refreshTokenItem()), "1//new");
}

// A redirect that does not bring back this sign-in's state leads to no code exchange: the
// listener keeps waiting for the real one, here until its limit.
TEST_F(SignIn, RedirectWithAnotherStateLeadsToNoExchange) {
    auto result =
        flowRedirectingWith("state=guessed&code=4%2Fforged", true, std::chrono::seconds(2))
            .signIn();
    EXPECT_EQ(messageOf(result),
              "Authentication error: Timed out \xE2\x80\x94 sign-in not completed.");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(parameter(opened.front(), "state").size(), 43u);
    EXPECT_TRUE(http.requests().empty());
    EXPECT_FALSE(secrets.value(refreshTokenItem()).has_value());
}

TEST_F(SignIn, MissingConfigOpensNoBrowser) {
    services.clientSecretLocations = {dir.path() / "absent.json"};
    EXPECT_EQ(messageOf(flowRedirectingWith("code=x").signIn()),
              "OAuth configuration not found (client_secret.json missing).");
    EXPECT_TRUE(opened.empty());
}

TEST_F(SignIn, UnusableAuthURIOpensNoBrowser) {
    writeConfig("not a url");
    EXPECT_EQ(messageOf(flowRedirectingWith("code=x").signIn()),
              "Authentication error: invalid authorization URL");
    EXPECT_TRUE(opened.empty());
}

TEST_F(SignIn, PlainHttpAuthURIOpensNoBrowser) {
    writeConfig("http://accounts.test/o/oauth2/auth");
    EXPECT_EQ(messageOf(flowRedirectingWith("code=x").signIn()),
              "Authentication error: insecure address in client_secret.json (https required): "
              "http://accounts.test/o/oauth2/auth");
    EXPECT_TRUE(opened.empty());
}

TEST_F(SignIn, ExchangeAnswersBecomeTheirTexts) {
    struct Row {
        const char* body;
        const char* message;
    };
    const Row rows[] = {
        {R"({"error":"invalid_grant","error_description":"Bad code."})",
         "Authentication error: Bad code."},
        {R"({"error":"invalid_grant","refresh_token":"rt"})",
         "Authentication error: invalid_grant"},
        {R"({"access_token":"at","expires_in":3599})",
         "Authentication error: no refresh token received"},
    };
    AuthFlow flow(services, nullptr);
    OAuthConfig config{"cid", "csecret", "https://a.test/auth", "https://token.test/token"};
    for (const Row& row : rows) {
        http.reply(400, row.body);
        EXPECT_EQ(messageOf(flow.exchangeCode("c", "http://127.0.0.1:9", config, "v")), row.message)
            << row.body;
    }
    EXPECT_FALSE(secrets.value(refreshTokenItem()).has_value());

    http.failTransport("Connection refused");
    EXPECT_EQ(messageOf(flow.exchangeCode("c", "http://127.0.0.1:9", config, "v")),
              "Connection refused");
}

TEST_F(SignIn, RefusedSaveIsReportedAndKeepsTheOldToken) {
    secrets.put(refreshTokenItem(), "1//old");
    secrets.writeStatus = -25308;
    http.reply(200, R"({"refresh_token":"1//new"})");
    AuthFlow flow(services, nullptr);
    OAuthConfig config{"cid", "csecret", "https://a.test/auth", "https://token.test/token"};
    EXPECT_EQ(messageOf(flow.exchangeCode("c", "http://127.0.0.1:9", config, "v")),
              "Erreur Keychain (-25308)");
    EXPECT_EQ(secrets.value(refreshTokenItem()), "1//old");
}

}  // namespace
}  // namespace ambrel
