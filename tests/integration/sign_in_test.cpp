// The whole sign-in against the fake Google server, with the real HTTP client and the real
// Secret Service: a scripted browser opens the consent page, follows its redirect by hand into
// the loopback listener, and the refresh token must land in the secret store.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "core/auth/auth_flow.h"
#include "core/auth/keychain.h"
#include "core/auth/loopback_server.h"
#include "core/platform/curl_http_client.h"
#include "core/platform/libsecret_secret_store.h"
#include "fakes/fake_google.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

using namespace std::chrono_literals;

const fakes::RecordedRequest* lastRequestTo(const std::vector<fakes::RecordedRequest>& requests,
                                            std::string_view path) {
    const fakes::RecordedRequest* found = nullptr;
    for (const auto& request : requests)
        if (request.path == path) found = &request;
    return found;
}

std::string valueOf(const fakes::Pairs& pairs, std::string_view name) {
    for (const auto& [key, value] : pairs)
        if (key == name) return value;
    return "<absent>";
}

// "http://host:port/path?query" split into the client's base and the request target; like a
// browser, an empty path before the query is requested as "/".
std::pair<std::string, std::string> splitURL(const std::string& url) {
    std::size_t pathStart = url.find_first_of("/?", url.find("://") + 3);
    if (pathStart == std::string::npos) return {url, "/"};
    std::string target = url.substr(pathStart);
    if (target.starts_with('?')) target.insert(0, "/");
    return {url.substr(0, pathStart), target};
}

// A connection to "http://127.0.0.1:<port>" that sends nothing.
UniqueFd connectIdle(const std::string& base) {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port =
        htons(static_cast<std::uint16_t>(std::stoi(base.substr(base.rfind(':') + 1))));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
}

// What a browser does, minus the rendering: the consent page answers with a redirect, which
// is followed by hand so the test sees where it leads. Like real browsers, it first opens a
// connection to the redirect's address on speculation, which stays idle, and asks there for
// the site's icon.
struct Browser {
    std::string consentStatus;
    std::string redirectedTo;
    int iconStatus = 0;
    std::string loopbackPage;

    void visit(const std::string& consentURL) {
        auto [base, target] = splitURL(consentURL);
        httplib::Client consent(base);
        consent.set_follow_location(false);
        auto answer = consent.Get(target);
        if (!answer) return;
        consentStatus = std::to_string(answer->status);
        redirectedTo = answer->get_header_value("Location");
        auto [loopbackBase, loopbackTarget] = splitURL(redirectedTo);
        UniqueFd speculative = connectIdle(loopbackBase);
        httplib::Client loopback(loopbackBase);
        if (auto icon = loopback.Get("/favicon.ico")) iconStatus = icon->status;
        if (auto page = loopback.Get(loopbackTarget)) loopbackPage = page->body;
    }
};

class SignInAgainstFakeGoogle : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("AMBREL_TEST_SESSION") == nullptr)
            GTEST_SKIP() << "run under scripts/with-test-session for a private keyring";
        ASSERT_TRUE(LibsecretSecretStore::serviceAnswers());
        std::ofstream(dir.path() / "client_secret.json") << google.clientSecretJson();
        keychain::deleteItem(secrets, refreshTokenItem());
    }
    void TearDown() override {
        if (browserThread.joinable()) browserThread.join();
        keychain::deleteItem(secrets, refreshTokenItem());
    }

    Result<void> signIn() {
        AuthFlow flow(
            services,
            [this](const std::string& url) {
                opened = url;
                // signIn blocks in the listener while the browser works, as with a real one.
                browserThread = std::thread([this, url] { browser.visit(url); });
            },
            20s);
        return flow.signIn();
    }

    std::string messageOf(const Result<void>& result) {
        return result ? "ok" : errorMessage(result.error());
    }

    std::optional<std::string> storedToken() {
        auto loaded = keychain::load(secrets, refreshTokenItem());
        EXPECT_TRUE(loaded.has_value());
        return loaded ? *loaded : std::nullopt;
    }

    fakes::FakeGoogle google;
    testing::TempDir dir;
    CurlHttpClient http;
    LibsecretSecretStore secrets;
    Defaults defaults{dir.path() / "defaults"};
    Services services{http,
                      secrets,
                      defaults,
                      systemClock(),
                      google.adsenseBase(),
                      {dir.path() / "client_secret.json"}};
    std::string opened;
    Browser browser;
    std::thread browserThread;
};

TEST_F(SignInAgainstFakeGoogle, StoresTheRefreshTokenOfAVerifiedExchange) {
    google.setRefreshToken("1//fresh-from-consent");
    ASSERT_EQ(messageOf(signIn()), "ok");
    browserThread.join();

    EXPECT_EQ(browser.consentStatus, "302");
    EXPECT_TRUE(browser.redirectedTo.starts_with("http://127.0.0.1:")) << browser.redirectedTo;
    EXPECT_EQ(browser.iconStatus, 404);
    EXPECT_NE(browser.loopbackPage.find("Signed in. You can close this tab."), std::string::npos);

    auto requests = google.requests();
    const auto* consent = lastRequestTo(requests, "/o/oauth2/auth");
    const auto* token = lastRequestTo(requests, "/token");
    ASSERT_TRUE(consent != nullptr && token != nullptr);
    EXPECT_EQ(valueOf(token->form, "grant_type"), "authorization_code");
    EXPECT_EQ(valueOf(token->form, "redirect_uri"), valueOf(consent->query, "redirect_uri"));
    EXPECT_EQ(AuthFlow::pkceForVerifier(valueOf(token->form, "code_verifier")).challenge,
              valueOf(consent->query, "code_challenge"));
    EXPECT_EQ(storedToken(), "1//fresh-from-consent");
}

TEST_F(SignInAgainstFakeGoogle, DeniedConsentFailsAndKeepsTheEarlierToken) {
    ASSERT_TRUE(keychain::save(secrets, refreshTokenItem(), "1//earlier").has_value());
    google.denyConsent("access_denied");
    EXPECT_EQ(messageOf(signIn()), "Authentication error: access_denied");
    browserThread.join();
    EXPECT_NE(browser.loopbackPage.find("Sign-in did not complete."), std::string::npos)
        << browser.consentStatus << " " << browser.redirectedTo;
    EXPECT_EQ(lastRequestTo(google.requests(), "/token"), nullptr);
    EXPECT_EQ(storedToken(), "1//earlier");
}

TEST_F(SignInAgainstFakeGoogle, RefusedExchangeStoresNothing) {
    google.refuseToken("invalid_grant", "Bad Request");
    EXPECT_EQ(messageOf(signIn()), "Authentication error: Bad Request");
    EXPECT_EQ(storedToken(), std::nullopt);
}

TEST_F(SignInAgainstFakeGoogle, AnswerWithoutRefreshTokenStoresNothing) {
    google.injectFault(fakes::Endpoint::token,
                       fakes::Fault{.status = 200, .body = R"({"access_token":"ya29.only"})"}, 1);
    EXPECT_EQ(messageOf(signIn()), "Authentication error: no refresh token received");
    EXPECT_EQ(storedToken(), std::nullopt);
}

}  // namespace
}  // namespace ambrel
