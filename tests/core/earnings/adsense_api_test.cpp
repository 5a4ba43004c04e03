// The authorized GET and the three calls: URLs, query encoding, the one header, and how
// answers become values or errors.

#include "core/earnings/adsense_api.h"

#include <gtest/gtest.h>

#include "core/earnings/google_error.h"
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
        // Google's JSON: its words, never the JSON; a body of another shape shows nothing.
        {400,
         R"({"error":{"code":400,"message":"Invalid date:\nstart after end.","status":"INVALID_ARGUMENT"}})",
         "AdSense error (400): Invalid date: start after end."},
        {403, R"({"error":{"code":403,"status":"PERMISSION_DENIED"}})",
         "AdSense error (403): PERMISSION_DENIED"},
        {503, R"({"unexpected":["shape"]})", "AdSense error (503): "},
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
    auto account = AdSenseAPI(http, kBase).chooseAccount("t");
    ASSERT_FALSE(account);
    ASSERT_TRUE(std::holds_alternative<TransportError>(account.error()));
    EXPECT_EQ(messageOf(account.error()), "Could not resolve host");
}

// The first account listed that is open, whatever its display name; a CLOSED one is passed
// over, and with only CLOSED ones there is no account. A preferred (cached) one that is still
// open wins.
TEST(AdSenseAPI, ChoosesTheFirstAccountThatIsNotClosed) {
    const char* listed = R"({"accounts":[
        {"name":"accounts/pub-3","displayName":"Old","state":"CLOSED"},
        {"name":"accounts/pub-2","displayName":"Zeta","state":"NEEDS_ATTENTION",
         "timeZone":{"id":"Asia/Tokyo","version":""}},
        {"name":"accounts/pub-1","displayName":"Alpha"}]})";
    FakeHttpClient http;
    http.reply(200, listed);
    auto account = AdSenseAPI(http, kBase).chooseAccount("t");
    ASSERT_TRUE(account) << errorMessage(account.error());
    EXPECT_EQ(account->name, "accounts/pub-2");
    EXPECT_EQ(account->timeZone, "Asia/Tokyo");
    EXPECT_EQ(http.requests().at(0).url, "https://adsense.example/v2/accounts");

    auto preferred = AdSenseAPI::chosenAccountOf(HttpResponse{200, listed}, "accounts/pub-1");
    EXPECT_EQ(preferred.value_or(Account{}).name, "accounts/pub-1");
    auto closed = AdSenseAPI::chosenAccountOf(HttpResponse{200, listed}, "accounts/pub-3");
    EXPECT_EQ(closed.value_or(Account{}).name, "accounts/pub-2");
}

TEST(AdSenseAPI, NoOpenAccountIsNoAccount) {
    for (const char* body : {R"({"accounts":[]})", "{}", R"({"accounts":null})",
                             R"({"accounts":[{"name":"accounts/pub-1","state":"CLOSED"}]})"}) {
        FakeHttpClient http;
        http.reply(200, body);
        auto account = AdSenseAPI(http, kBase).chooseAccount("t");
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
    auto account = api.chooseAccount("t");
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

// The API not enabled in the user's project: a sentence and the activation page, which is only
// ever one of Google's console pages; Google's bare message alone says so too.
TEST(AdSenseAPI, DisabledApiIsSaidInASentenceWithItsActivationPage) {
    const std::string disabled = R"({"error":{"code":403,
        "message":"AdSense Management API has not been used in project 42 before or it is disabled.",
        "status":"PERMISSION_DENIED","details":[
          {"@type":"type.googleapis.com/google.rpc.Help","links":[{"url":"https://evil.example/"}]},
          {"@type":"type.googleapis.com/google.rpc.ErrorInfo","reason":"SERVICE_DISABLED",
           "metadata":{"activationUrl":"URL"}}]}})";
    const auto errorWith = [&](std::string body) {
        return adsenseHttpError(403, std::move(body), std::nullopt);
    };
    const auto withUrl = [&](std::string_view url) {
        std::string body = disabled;
        return errorWith(body.replace(body.find("URL"), 3, url));
    };
    const std::string page =
        "https://console.developers.google.com/apis/api/adsense.googleapis.com/overview?project=42";
    const AdSenseError error = withUrl(page);
    EXPECT_TRUE(error.serviceDisabled);
    EXPECT_EQ(errorLink(Error{error}), page);
    EXPECT_EQ(errorMessage(Error{error}),
              "The AdSense Management API is not enabled in your Google Cloud project. Enable it, "
              "wait a few minutes, then refresh.");
    EXPECT_EQ(withUrl("https://CONSOLE.cloud.google.com/apis").activationUrl,
              "https://CONSOLE.cloud.google.com/apis");
    // Any other address from the network gives way to the API's own library page.
    for (const char* other :
         {"http://console.developers.google.com/x",
          "https://console.developers.google.com.evil.example/",
          "https://evil.example/?console.cloud.google.com",
          "https://user@console.cloud.google.com/", "https://console.cloud.google.com:8443/",
          "javascript:alert(1)", "https://console.cloud.google.com/a b"})
        EXPECT_EQ(withUrl(other).activationUrl, kAdSenseApiLibraryUrl) << other;

    const AdSenseError wordsOnly = errorWith(
        R"({"error":{"code":403,"message":"AdSense Management API has not been used in project 7 before or it is disabled. Enable it.","status":"PERMISSION_DENIED"}})");
    EXPECT_TRUE(wordsOnly.serviceDisabled);
    EXPECT_EQ(wordsOnly.activationUrl, kAdSenseApiLibraryUrl);

    const AdSenseError otherRefusal = errorWith(
        R"({"error":{"code":403,"message":"The caller does not have permission","status":"PERMISSION_DENIED"}})");
    EXPECT_FALSE(otherRefusal.serviceDisabled);
    EXPECT_EQ(errorLink(Error{otherRefusal}), std::nullopt);
    // Without a message, the status speaks, on the same one line.
    EXPECT_EQ(errorWith(R"({"error":{"code":403,"status":"PERMISSION\nDENIED"}})").googleMessage,
              "PERMISSION DENIED");
}

// Google's quota used up: a sentence of its own, and how long Google asked to wait.
TEST(AdSenseAPI, QuotaRefusalSaysSoAndKeepsRetryAfter) {
    FakeHttpClient http;
    http.setFallback([](const HttpRequest&) -> FakeHttpClient::Reply {
        return HttpResponse{
            429,
            R"({"error":{"code":429,"message":"Quota exceeded","status":"RESOURCE_EXHAUSTED"}})",
            std::chrono::seconds(120)};
    });
    auto report = AdSenseAPI(http, kBase).generateReport("accounts/pub-1", {}, "t");
    ASSERT_FALSE(report);
    const auto& error = std::get<AdSenseError>(report.error());
    EXPECT_EQ(error.retryAfter, std::chrono::seconds(120));
    EXPECT_EQ(errorMessage(report.error()),
              "Google's request quota for your Google Cloud project is used up for now. New "
              "figures come once it is renewed.");
}

}  // namespace
}  // namespace ambrel
