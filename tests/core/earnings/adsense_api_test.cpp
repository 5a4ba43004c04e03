// The authorized GET and the three calls: URLs, query encoding, the one header, and how
// answers become values or errors.

#include "core/earnings/adsense_api.h"

#include <gtest/gtest.h>

#include "support/fake_http_client.h"

namespace ambrel {
namespace {

using testing::FakeHttpClient;

constexpr const char* kBase = "https://adsense.example/v2";

std::string messageOf(const Error& error) {
    return errorMessage(error);
}

TEST(AdSenseAPI, GetSendsOnlyTheBearerHeaderWithA60SecondTimeout) {
    FakeHttpClient http;
    http.reply(200, "body");
    AdSenseAPI api(http, kBase);
    auto body = api.get("https://adsense.example/v2/x", "tok en");
    ASSERT_TRUE(body);
    EXPECT_EQ(*body, "body");
    ASSERT_EQ(http.requests().size(), 1u);
    const HttpRequest request = http.requests()[0];
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.url, "https://adsense.example/v2/x");
    EXPECT_EQ(
        request.headers,
        (std::vector<std::pair<std::string, std::string>>{{"Authorization", "Bearer tok en"}}));
    EXPECT_EQ(request.timeout, std::chrono::seconds(60));
    EXPECT_TRUE(request.body.empty());
}

TEST(AdSenseAPI, OnlyStatuses200To299SucceedOthersAreAdSenseErrors) {
    struct Case {
        long status;
        std::string body;
        std::string message;
    };
    const Case cases[] = {
        {401, "Request had invalid authentication credentials.",
         "AdSense error (401): Request had invalid authentication credentials."},
        {403, "", "AdSense error (403): "},
        {500, "caf\xC3\xA9", "AdSense error (500): caf\xC3\xA9"},
        {502, "bad \xC3(", "AdSense error (502): "},     // invalid UTF-8 reads as no text
        {404, "\xED\xA0\x80", "AdSense error (404): "},  // an encoded surrogate is invalid
        {199, "x", "AdSense error (199): x"},
        {300, "x", "AdSense error (300): x"},
    };
    for (long status : {200L, 204L, 299L}) {
        FakeHttpClient http;
        http.reply(status, "ok");
        EXPECT_EQ(AdSenseAPI(http, kBase).get(kBase, "t").value_or("failed"), "ok") << status;
    }
    for (const Case& c : cases) {
        FakeHttpClient http;
        http.reply(c.status, c.body);
        auto body = AdSenseAPI(http, kBase).get(kBase, "t");
        ASSERT_FALSE(body) << c.status;
        ASSERT_TRUE(std::holds_alternative<AdSenseError>(body.error()));
        EXPECT_EQ(std::get<AdSenseError>(body.error()).status, c.status);
        EXPECT_EQ(messageOf(body.error()), c.message);
    }
}

TEST(AdSenseAPI, TransportFailurePassesThroughUnchanged) {
    FakeHttpClient http;
    http.failTransport("Could not resolve host");
    auto account = AdSenseAPI(http, kBase).firstAccount("t");
    ASSERT_FALSE(account);
    ASSERT_TRUE(std::holds_alternative<TransportError>(account.error()));
    EXPECT_EQ(messageOf(account.error()), "Could not resolve host");
}

TEST(AdSenseAPI, FirstAccountTakesTheFirstListedWhateverItsDisplayName) {
    FakeHttpClient http;
    http.reply(200, R"({"accounts":[{"name":"accounts/pub-2","displayName":"Zeta"},
                                    {"name":"accounts/pub-1","displayName":"Alpha"}]})");
    auto account = AdSenseAPI(http, kBase).firstAccount("t");
    EXPECT_EQ(account.value_or(""), "accounts/pub-2");
    EXPECT_EQ(http.requests().at(0).url, "https://adsense.example/v2/accounts");
}

TEST(AdSenseAPI, NoListedAccountIsNoAccount) {
    for (const char* body : {R"({"accounts":[]})", "{}", R"({"accounts":null})"}) {
        FakeHttpClient http;
        http.reply(200, body);
        auto account = AdSenseAPI(http, kBase).firstAccount("t");
        ASSERT_FALSE(account) << body;
        EXPECT_EQ(messageOf(account.error()), "No AdSense account found for this Google account.");
    }
}

TEST(AdSenseAPI, UndecodableAnswerIsADecodingError) {
    FakeHttpClient http;
    http.reply(200, "<html>");
    http.reply(200, R"({"rows":[{"cells":[{"value":1}]}]})");
    http.reply(200, R"({"payments":[{}]})");
    AdSenseAPI api(http, kBase);
    auto account = api.firstAccount("t");
    auto report = api.generateReport("accounts/pub-1", {}, "t");
    auto payments = api.payments("accounts/pub-1", "t");
    ASSERT_FALSE(account || report || payments);
    EXPECT_TRUE(std::holds_alternative<DecodingError>(account.error()));
    EXPECT_TRUE(std::holds_alternative<DecodingError>(report.error()));
    EXPECT_TRUE(std::holds_alternative<DecodingError>(payments.error()));
}

TEST(AdSenseAPI, ReportQueryKeepsOrderRepeatsAndEncodesReservedCharacters) {
    FakeHttpClient http;
    http.reply(200, "{}");
    QueryItems query = {{"dateRange", "CUSTOM"},
                        {"metrics", "B"},
                        {"metrics", "A"},
                        {"filters", "a b&c=d+e#f%g"},
                        {"x", "caf\xC3\xA9/:?@!$'()*,;"},
                        {"n m", ""}};
    auto report = AdSenseAPI(http, kBase).generateReport("accounts/pub-1", query, "t");
    ASSERT_TRUE(report);
    EXPECT_EQ(http.requests().at(0).url,
              "https://adsense.example/v2/accounts/pub-1/reports:generate?dateRange=CUSTOM"
              "&metrics=B&metrics=A&filters=a%20b%26c%3Dd%2Be%23f%25g"
              "&x=caf%C3%A9/:?@!$'()*,;&n%20m=");
}

TEST(AdSenseAPI, PaymentsAbsentListDecodesAsAbsent) {
    FakeHttpClient http;
    http.reply(200, "{}");
    auto payments = AdSenseAPI(http, kBase).payments("accounts/pub-1", "t");
    ASSERT_TRUE(payments);
    EXPECT_FALSE(payments->has_value());
    EXPECT_EQ(http.requests().at(0).url, "https://adsense.example/v2/accounts/pub-1/payments");
}

// An account name that would move the request elsewhere is refused without a request.
TEST(AdSenseAPI, AccountNameThatCannotFormAPathIsRefused) {
    for (const char* account : {"accounts/pub-1?x=1", "accounts/pub 1", "a#b", "caf\xC3\xA9"}) {
        FakeHttpClient http;
        AdSenseAPI api(http, kBase);
        EXPECT_FALSE(api.payments(account, "t")) << account;
        EXPECT_FALSE(api.generateReport(account, {}, "t")) << account;
        EXPECT_TRUE(http.requests().empty()) << account;
    }
}

}  // namespace
}  // namespace ambrel
