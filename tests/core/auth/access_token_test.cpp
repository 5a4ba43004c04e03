// The token endpoint's answer, the form encoding, and the refresh-token grant over a scripted
// HTTP client and the in-memory secret store.

#include "core/auth/access_token.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "core/auth/keychain.h"
#include "support/fake_services.h"

namespace ambrel {
namespace {

using testing::FakeHttpClient;
using testing::MemorySecretStore;

// Splits a form body into its fields (the values are left encoded).
std::map<std::string, std::string> fieldsOf(const std::string& body) {
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string::npos) end = body.size();
        std::string pair = body.substr(start, end - start);
        std::size_t equals = pair.find('=');
        fields[pair.substr(0, equals)] = equals == std::string::npos ? "" : pair.substr(equals + 1);
        start = end + 1;
    }
    return fields;
}

TEST(FormEncode, EncodesValuesByteForByte) {
    EXPECT_EQ(formEncode({{"v", "a b&c/d:e"}}), "v=a%20b%26c%2Fd%3Ae");
    EXPECT_EQ(formEncode({{"v", "AZaz09-._~"}}), "v=AZaz09-._~");
    EXPECT_EQ(formEncode({{"v", "+=%\xC3\xA9\xE2\x82\xAC"}}), "v=%2B%3D%25%C3%A9%E2%82%AC");
    EXPECT_EQ(formEncode({{"v", ""}}), "v=");
    EXPECT_EQ(formEncode({}), "");
    EXPECT_EQ(fieldsOf(formEncode({{"a", "1"}, {"b", "2 3"}, {"c", ""}})),
              (std::map<std::string, std::string>{{"a", "1"}, {"b", "2%203"}, {"c", ""}}));
}

TEST(TokenResponse, DecodesMembersNullsAndTypes) {
    auto full = decodeTokenResponse(
        R"({"access_token":"at","refresh_token":"rt","expires_in":3599,"error":"e",)"
        R"("error_description":"d","scope":"s","token_type":"Bearer"})");
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(full->access_token, "at");
    EXPECT_EQ(full->refresh_token, "rt");
    EXPECT_EQ(full->expires_in, 3599);
    EXPECT_EQ(full->error, "e");
    EXPECT_EQ(full->error_description, "d");

    auto nulls = decodeTokenResponse(R"({"access_token":null,"expires_in":null})");
    ASSERT_TRUE(nulls.has_value());
    EXPECT_FALSE(nulls->access_token || nulls->expires_in || nulls->error);

    for (const char* bad :
         {R"({"access_token":5})", R"({"expires_in":"3600"})", R"({"expires_in":3600.5})",
          R"({"error":{"code":400}})", "[]", "not json", ""}) {
        auto decoded = decodeTokenResponse(bad);
        ASSERT_FALSE(decoded.has_value()) << bad;
        EXPECT_TRUE(std::holds_alternative<DecodingError>(decoded.error())) << bad;
    }
}

class FetchAccessToken : public ::testing::Test, protected testing::FakeServices {
  protected:
    FetchAccessToken() {
        std::ofstream(dir.path() / "client_secret.json")
            << R"({"installed":{"client_id":"cid.apps","client_secret":"s3cr&t",)"
               R"("auth_uri":"https://auth.test/o","token_uri":"https://token.test/token"}})";
        secrets.put(refreshTokenItem(), "1//refresh");
    }

    Result<std::string> fetch() { return fetchAccessToken(services); }

    std::string messageOf(const Result<std::string>& result) {
        return result ? "token " + *result : errorMessage(result.error());
    }
};

TEST_F(FetchAccessToken, SendsOneRefreshGrantAndReturnsTheToken) {
    http.reply(200, R"({"access_token":"ya29.x","expires_in":3599,"token_type":"Bearer"})");
    EXPECT_EQ(fetch().value(), "ya29.x");
    ASSERT_EQ(http.requests().size(), 1u);
    const HttpRequest request = http.requests().front();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.url, "https://token.test/token");
    EXPECT_EQ(request.headers, (std::vector<std::pair<std::string, std::string>>{
                                   {"Content-Type", "application/x-www-form-urlencoded"}}));
    EXPECT_EQ(request.timeout, std::chrono::seconds(60));
    EXPECT_EQ(fieldsOf(request.body),
              (std::map<std::string, std::string>{{"refresh_token", "1%2F%2Frefresh"},
                                                  {"client_id", "cid.apps"},
                                                  {"client_secret", "s3cr%26t"},
                                                  {"grant_type", "refresh_token"}}));
}

TEST_F(FetchAccessToken, StatusCodeIsNotJudgedOnlyTheBody) {
    http.reply(500, R"({"access_token":"despite-500"})");
    EXPECT_EQ(fetch().value(), "despite-500");
}

TEST_F(FetchAccessToken, InvalidUtf8TokenIsSentWithReplacementCharacters) {
    secrets.put(refreshTokenItem(), "ab\xFF");
    http.reply(200, R"({"access_token":"t"})");
    ASSERT_TRUE(fetch().has_value());
    EXPECT_EQ(fieldsOf(http.requests().front().body)["refresh_token"], "ab%EF%BF%BD");
}

TEST_F(FetchAccessToken, AnswerFailuresBecomeTheirTexts) {
    struct Row {
        long status;
        const char* body;
        const char* message;
    };
    const Row rows[] = {
        // Google refused the refresh token itself: only a new sign-in helps.
        {400, R"({"error":"invalid_grant","error_description":"Token has been expired."})",
         "Google ended this sign-in: it expired or was revoked. Sign in again to see new "
         "figures."},
        {400, R"({"error":"invalid_client","error_description":"Unauthorized"})",
         "Authentication error: Unauthorized"},
        {400, R"({"error":"unsupported_grant_type"})",
         "Authentication error: unsupported_grant_type"},
        {200, R"({"error":"e","access_token":"at"})", "Authentication error: e"},
        {200, R"({"error":null,"access_token":"at"})", "token at"},
        {200, R"({"expires_in":3600})", "Authentication error: response without access_token"},
        {200, R"({"refresh_token":"rt"})", "Authentication error: response without access_token"},
    };
    for (const Row& row : rows) {
        http.reply(row.status, row.body);
        EXPECT_EQ(messageOf(fetch()), row.message) << row.body;
    }
    http.reply(400, R"({"error":"invalid_grant","error_description":"Token has been expired."})");
    auto ended = fetch();
    ASSERT_FALSE(ended);
    EXPECT_TRUE(signInEnded(ended.error()));
    EXPECT_EQ(std::get<OAuthError>(ended.error()).message, "Token has been expired.");
}

TEST_F(FetchAccessToken, TransportAndDecodingFailuresPassThrough) {
    http.failTransport("Could not resolve host: token.test");
    auto transport = fetch();
    ASSERT_FALSE(transport.has_value());
    EXPECT_TRUE(std::holds_alternative<TransportError>(transport.error()));
    EXPECT_EQ(errorMessage(transport.error()), "Could not resolve host: token.test");

    http.reply(200, "<html>");
    auto decoding = fetch();
    ASSERT_FALSE(decoding.has_value());
    EXPECT_TRUE(std::holds_alternative<DecodingError>(decoding.error()));
}

TEST_F(FetchAccessToken, MissingConfigFailsBeforeTheKeychainIsAsked) {
    services.clientSecretLocations = {dir.path() / "absent.json"};
    secrets.readStatus = errSecNotAvailable;  // would be reported if the keychain were read
    EXPECT_EQ(messageOf(fetch()), "OAuth configuration not found (client_secret.json missing).");
    EXPECT_TRUE(http.requests().empty());
}

// The refresh token must never travel in the clear, whichever program refreshes.
TEST_F(FetchAccessToken, PlainHttpTokenEndpointIsRefusedBeforeAnythingIsSent) {
    std::ofstream(dir.path() / "client_secret.json")
        << R"({"installed":{"client_id":"c","client_secret":"s","auth_uri":"https://auth.test/o",)"
           R"("token_uri":"http://token.test/token"}})";
    secrets.readStatus = errSecNotAvailable;  // would be reported if the keychain were read
    EXPECT_EQ(messageOf(fetch()),
              "Authentication error: insecure address in client_secret.json (https required): "
              "http://token.test/token");
    auto direct = postTokenRequest(http, "http://token.test/token", {{"refresh_token", "rt"}});
    EXPECT_FALSE(direct.has_value());
    EXPECT_TRUE(http.requests().empty());
}

TEST_F(FetchAccessToken, KeychainOutcomesStopBeforeAnyRequest) {
    secrets.readStatus = errSecNotAvailable;
    EXPECT_EQ(messageOf(fetch()), "Erreur Keychain (-25291)");
    secrets.readStatus.reset();
    keychain::deleteItem(secrets, refreshTokenItem());
    EXPECT_EQ(messageOf(fetch()), "Not connected to Google.");
    EXPECT_TRUE(http.requests().empty());
}

TEST_F(FetchAccessToken, NewRefreshTokenInAnswerIsNotStored) {
    http.reply(200, R"({"access_token":"at","refresh_token":"rotated"})");
    ASSERT_TRUE(fetch().has_value());
    EXPECT_EQ(secrets.value(refreshTokenItem()), "1//refresh");
}

}  // namespace
}  // namespace ambrel
