// A sign-in cancelled while it waits for the browser: it ends at once, its listener is closed,
// and no code is exchanged.

#include "core/auth/sign_in_cancel.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <fstream>
#include <future>

#include "core/auth/auth_flow.h"
#include "core/auth/keychain.h"
#include "support/fake_services.h"

namespace ambrel {
namespace {

bool acceptsConnections(std::uint16_t port) {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// The listener's port, from the redirect URI in the consent page's query.
std::uint16_t portOf(const std::string& consentUrl) {
    const std::string host = "127.0.0.1";
    auto at = consentUrl.find(host) + host.size();
    at += consentUrl.compare(at, 3, "%3A") == 0 ? 3 : 1;  // past ":", written or escaped
    return static_cast<std::uint16_t>(std::stoi(consentUrl.substr(at)));
}

TEST(SignInCancel, EndsTheWaitAtOnceAndClosesTheListener) {
    testing::FakeServices fake;
    std::ofstream(fake.dir.path() / "client_secret.json")
        << R"({"installed":{"client_id":"cid","client_secret":"cs",)"
        << R"("auth_uri":"https://accounts.test/auth","token_uri":"https://token.test/token"}})";
    auto cancel = std::make_shared<SignInCancel>();
    std::promise<std::uint16_t> opened;
    AuthFlow flow(
        fake.services, [&](const std::string& url) { opened.set_value(portOf(url)); },
        std::chrono::seconds(300), cancel);

    const auto start = std::chrono::steady_clock::now();
    auto signIn = std::async(std::launch::async, [&] { return flow.signIn(); });
    const std::uint16_t port = opened.get_future().get();
    ASSERT_TRUE(acceptsConnections(port)) << "the listener waits for the browser";
    cancel->cancel();
    cancel->cancel();  // a second press changes nothing

    ASSERT_EQ(signIn.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_FALSE(signIn.get().has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(acceptsConnections(port));
    EXPECT_TRUE(fake.http.requests().empty()) << "no code exchange";
    auto stored = keychain::load(fake.secrets, refreshTokenItem());
    ASSERT_TRUE(stored.has_value());
    EXPECT_FALSE(stored->has_value());
}

}  // namespace
}  // namespace ambrel
