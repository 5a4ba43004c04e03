// Checks of the fake Google server itself: the other integration tests trust its
// recording, its report arithmetic, its OAuth checks and its faults.

#include "fakes/fake_google.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>

namespace ambrel::fakes {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;
using Json = nlohmann::json;

constexpr auto bearer = "Bearer ya29.fake-access-token";
constexpr auto account = "/v2/accounts/pub-1234567890123456";
// RFC 7636, appendix B.
constexpr auto verifier = "dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk";
constexpr auto challenge = "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM";
constexpr auto clientId = "1234-fake.apps.googleusercontent.com";

class FakeGoogleTest : public ::testing::Test {
  protected:
    FakeGoogle google;
    httplib::Client client{"127.0.0.1", google.port()};

    httplib::Result get(const std::string& path, bool authorized = true) {
        return authorized ? client.Get(path, {{"Authorization", bearer}}) : client.Get(path);
    }
    Json getJson(const std::string& path) {
        auto result = get(path);
        EXPECT_TRUE(result);
        return result ? Json::parse(result->body) : Json{};
    }
    httplib::Result postToken(const std::string& form) {
        return client.Post("/token", form, "application/x-www-form-urlencoded");
    }
    // Asks the consent page for a code issued to this redirect URI and challenge.
    std::string consentCode(const std::string& redirectUri) {
        auto result = client.Get(
            "/o/oauth2/auth?client_id=" + std::string(clientId) + "&redirect_uri=" + redirectUri +
            "&response_type=code&scope=https://www.googleapis.com/auth/adsense.readonly"
            "&access_type=offline&prompt=consent&code_challenge=" +
            challenge + "&code_challenge_method=S256");
        EXPECT_TRUE(result && result->status == 302);
        if (!result) return {};
        const auto location = result->get_header_value("Location");
        const auto start = location.find("?code=") + 6;
        return location.substr(start, location.find('&', start) - start);
    }
    std::string exchangeForm(const std::string& code, const std::string& redirectUri,
                             const std::string& codeVerifier) {
        return "grant_type=authorization_code&code=" + code + "&redirect_uri=" + redirectUri +
               "&client_id=" + clientId +
               "&client_secret=fake-client-secret&code_verifier=" + codeVerifier;
    }
};

std::string dailyQuery(int fromDay, int toDay) {
    return "?dateRange=CUSTOM&dimensions=DATE&metrics=ESTIMATED_EARNINGS&metrics=PAGE_VIEWS"
           "&metrics=PAGE_VIEWS_CTR&startDate.year=2026&startDate.month=5&startDate.day=" +
           std::to_string(fromDay) +
           "&endDate.year=2026&endDate.month=5&endDate.day=" + std::to_string(toDay);
}

std::vector<FakeDay> mayDays() {
    // Out of order and with a gap on the 4th, as a careless test might configure them.
    return {{"2026-05-05", 5, 500, 0, 0, 5, 0, 0.01},
            {"2026-05-01", 1, 100, 0, 0, 1, 0, 0.01},
            {"2026-05-02", 2.5, 200, 0, 0, 2, 0, 0.01},
            {"2026-05-03", 3, 300, 0, 0, 3, 0, 0.01},
            {"2026-04-30", 9, 900, 0, 0, 9, 0, 0.01}};
}

// Query items and form fields keep the client's order, so tests can check exact queries.
TEST_F(FakeGoogleTest, RecordsQueryItemsFormFieldsAndHeadersAsSent) {
    get(std::string(account) +
        "/reports:generate?metrics=CLICKS&dateRange=CUSTOM"
        "&metrics=ESTIMATED_EARNINGS&startDate.year=2026&metrics=PAGE_VIEWS&x=a%20b%2Fc");
    postToken("refresh_token=r%2Bs&client_id=c&grant_type=refresh_token");

    const auto requests = google.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].path, std::string(account) + "/reports:generate");
    EXPECT_THAT(requests[0].query,
                ElementsAre(Pair("metrics", "CLICKS"), Pair("dateRange", "CUSTOM"),
                            Pair("metrics", "ESTIMATED_EARNINGS"), Pair("startDate.year", "2026"),
                            Pair("metrics", "PAGE_VIEWS"), Pair("x", "a b/c")));
    EXPECT_THAT(requests[0].headers, ::testing::Contains(Pair("authorization", bearer)));
    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_THAT(requests[1].form, ElementsAre(Pair("refresh_token", "r+s"), Pair("client_id", "c"),
                                              Pair("grant_type", "refresh_token")));
    EXPECT_EQ(requests[1].body, "refresh_token=r%2Bs&client_id=c&grant_type=refresh_token");

    google.clearRequests();
    EXPECT_TRUE(google.requests().empty());
}

// Only days inside the range come back, ascending, missing days left out; totals sum them.
TEST_F(FakeGoogleTest, DailyReportFiltersSortsAndTotalsTheRange) {
    google.setDays(mayDays());
    google.setCurrency("USD");
    const auto report = getJson(std::string(account) + "/reports:generate" + dailyQuery(1, 4));

    EXPECT_EQ(report["headers"], Json::parse(R"([{"name": "DATE", "type": "DIMENSION"},
        {"name": "ESTIMATED_EARNINGS", "type": "METRIC_CURRENCY", "currencyCode": "USD"},
        {"name": "PAGE_VIEWS", "type": "METRIC_TALLY"},
        {"name": "PAGE_VIEWS_CTR", "type": "METRIC_RATIO"}])"));
    ASSERT_EQ(report["rows"].size(), 3u);
    EXPECT_EQ(report["rows"][0]["cells"][0]["value"], "2026-05-01");
    EXPECT_EQ(report["rows"][1]["cells"][1]["value"], "2.50");
    EXPECT_EQ(report["rows"][2]["cells"][0]["value"], "2026-05-03");
    EXPECT_EQ(report["rows"][2]["cells"][2]["value"], "300");
    EXPECT_EQ(report["totals"]["cells"][0], Json::object());
    EXPECT_EQ(report["totals"]["cells"][1]["value"], "6.50");
    EXPECT_EQ(report["totals"]["cells"][2]["value"], "600");
    EXPECT_EQ(report["totalMatchedRows"], "3");
    EXPECT_EQ(report["endDate"], Json::parse(R"({"year": 2026, "month": 5, "day": 4})"));
}

TEST_F(FakeGoogleTest, ReportWithoutDimensionAnswersTotalsOnlyAndEmptyRangeHeadersOnly) {
    google.setDays(mayDays());
    const auto totals = getJson(std::string(account) +
                                "/reports:generate?dateRange=CUSTOM&metrics=ESTIMATED_EARNINGS"
                                "&startDate.year=2026&startDate.month=5&startDate.day=2"
                                "&endDate.year=2026&endDate.month=5&endDate.day=31");
    EXPECT_FALSE(totals.contains("rows"));
    EXPECT_EQ(totals["headers"].size(), 1u);
    EXPECT_EQ(totals["totals"]["cells"], Json::parse(R"([{"value": "10.50"}])"));

    const auto empty = getJson(std::string(account) + "/reports:generate" + dailyQuery(10, 20));
    EXPECT_EQ(empty["headers"].size(), 4u);
    EXPECT_FALSE(empty.contains("rows"));
}

TEST_F(FakeGoogleTest, ReportRefusesMissingDatesAndUnknownMetrics) {
    auto missingEnd = get(std::string(account) +
                          "/reports:generate?dateRange=CUSTOM&metrics=CLICKS&startDate.year=2026"
                          "&startDate.month=5&startDate.day=1&endDate.year=2026&endDate.month=5");
    ASSERT_TRUE(missingEnd);
    EXPECT_EQ(missingEnd->status, 400);
    EXPECT_EQ(Json::parse(missingEnd->body)["error"]["status"], "INVALID_ARGUMENT");

    auto unknown =
        get(std::string(account) + "/reports:generate" + dailyQuery(1, 2) + "&metrics=EARNINGS");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->status, 400);
}

TEST_F(FakeGoogleTest, AdsenseCallsNeedTheIssuedTokenAndAKnownAccount) {
    for (const auto* path : {"/v2/accounts", "/v2/accounts/pub-1234567890123456/payments"}) {
        auto anonymous = get(path, false);
        ASSERT_TRUE(anonymous);
        EXPECT_EQ(anonymous->status, 401) << path;
        EXPECT_EQ(Json::parse(anonymous->body)["error"]["status"], "UNAUTHENTICATED");
        auto stale = client.Get(path, {{"Authorization", "Bearer ya29.other"}});
        EXPECT_EQ(stale->status, 401) << path;
    }
    auto stranger = get("/v2/accounts/pub-999/payments");
    ASSERT_TRUE(stranger);
    EXPECT_EQ(stranger->status, 403);
    EXPECT_EQ(Json::parse(stranger->body)["error"]["status"], "PERMISSION_DENIED");

    google.setAccounts({});
    EXPECT_EQ(getJson("/v2/accounts"), Json::object());
}

TEST_F(FakeGoogleTest, CodeGrantChecksVerifierRedirectAndSingleUse) {
    const std::string redirect = "http://127.0.0.1:4711";
    const auto code = consentCode(redirect);
    ASSERT_FALSE(code.empty());

    auto wrongVerifier = postToken(exchangeForm(code, redirect, std::string(verifier) + "x"));
    EXPECT_EQ(wrongVerifier->status, 400);
    EXPECT_EQ(Json::parse(wrongVerifier->body)["error"], "invalid_grant");
    EXPECT_EQ(postToken(exchangeForm(code, "http://127.0.0.1:4712", verifier))->status, 400);

    auto granted = postToken(exchangeForm(code, redirect, verifier));
    ASSERT_EQ(granted->status, 200);
    const auto token = Json::parse(granted->body);
    EXPECT_EQ(token["refresh_token"], "1//fake-refresh-token");
    EXPECT_EQ(token["access_token"], "ya29.fake-access-token");

    EXPECT_EQ(postToken(exchangeForm(code, redirect, verifier))->status, 400);
}

TEST_F(FakeGoogleTest, ConsentRedirectsWithErrorWhenDenied) {
    google.denyConsent("access_denied");
    auto result =
        client.Get("/o/oauth2/auth?client_id=" + std::string(clientId) +
                   "&redirect_uri=http://127.0.0.1:4711&response_type=code"
                   "&scope=https://www.googleapis.com/auth/adsense.readonly&code_challenge=" +
                   challenge + "&code_challenge_method=S256");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->get_header_value("Location"), "http://127.0.0.1:4711?error=access_denied");
}

TEST_F(FakeGoogleTest, RefreshGrantChecksClientAndToken) {
    const std::string client = std::string("&client_id=") + clientId;
    auto wrongClient = postToken(
        "grant_type=refresh_token&refresh_token=1//fake-refresh-token"
        "&client_id=other&client_secret=fake-client-secret");
    EXPECT_EQ(wrongClient->status, 401);
    EXPECT_EQ(Json::parse(wrongClient->body)["error"], "invalid_client");
    auto wrongToken = postToken("grant_type=refresh_token&refresh_token=1//revoked" + client +
                                "&client_secret=fake-client-secret");
    EXPECT_EQ(Json::parse(wrongToken->body)["error"], "invalid_grant");

    google.refuseToken("invalid_grant", std::nullopt);
    auto refused = postToken("grant_type=refresh_token&refresh_token=1//fake-refresh-token" +
                             client + "&client_secret=fake-client-secret");
    EXPECT_EQ(refused->status, 400);
    EXPECT_EQ(Json::parse(refused->body), Json::parse(R"({"error": "invalid_grant"})"));
}

TEST_F(FakeGoogleTest, FaultsApplyTheGivenNumberOfTimesToTheirEndpointOnly) {
    google.injectFault(Endpoint::accounts, Fault{.status = 503, .body = "busy"}, 2);
    EXPECT_EQ(get(account + std::string("/payments"))->status, 200);
    EXPECT_EQ(get("/v2/accounts")->body, "busy");
    EXPECT_EQ(get("/v2/accounts")->status, 503);
    EXPECT_EQ(get("/v2/accounts")->status, 200);

    google.injectFault(Endpoint::payments, Fault{.malformedJson = true}, 1);
    auto malformed = get(account + std::string("/payments"));
    EXPECT_EQ(malformed->status, 200);
    EXPECT_FALSE(Json::accept(malformed->body));
}

// The client must see a transport failure, not an answer of any kind.
TEST_F(FakeGoogleTest, CloseConnectionFaultLeavesTheClientWithoutAnswer) {
    google.injectFault(Endpoint::token, Fault{.closeConnection = true});
    auto dropped = postToken("grant_type=refresh_token");
    EXPECT_FALSE(dropped);
    EXPECT_EQ(dropped.error(), httplib::Error::Read);
    EXPECT_EQ(google.requests().size(), 1u);

    google.clearFaults();
    EXPECT_TRUE(postToken("grant_type=refresh_token"));
}

TEST_F(FakeGoogleTest, PaymentsAnswerNamesUnderTheAccountAndLeaveOutAnEmptyList) {
    EXPECT_EQ(getJson(account + std::string("/payments")), Json::object());
    google.setPayments({{.name = "unpaid", .amount = "€389.85"},
                        {.name = "accounts/pub-1234567890123456/payments/2026-05-21",
                         .year = 2026,
                         .month = 5,
                         .day = 21,
                         .amount = "€341.95"}});
    EXPECT_EQ(getJson(account + std::string("/payments")), Json::parse(R"({"payments": [
        {"name": "accounts/pub-1234567890123456/payments/unpaid", "amount": "€389.85"},
        {"name": "accounts/pub-1234567890123456/payments/2026-05-21", "amount": "€341.95",
         "date": {"year": 2026, "month": 5, "day": 21}}]})"));
}

TEST_F(FakeGoogleTest, LatencyAddsToEveryAnswerAndToAFaultsOwn) {
    using namespace std::chrono;
    google.setLatency(milliseconds(60));
    google.injectFault(Endpoint::accounts, Fault{.latency = milliseconds(60)}, 1);
    const auto start = steady_clock::now();
    auto delayed = get("/v2/accounts");
    EXPECT_GE(steady_clock::now() - start, milliseconds(120));
    ASSERT_TRUE(delayed);
    EXPECT_EQ(delayed->status, 200);
}

// A test that ends while an answer is still delayed must not wait for the delay.
TEST(FakeGoogle, StopsWithoutWaitingForDelayedAnswers) {
    using namespace std::chrono;
    auto google = std::make_unique<FakeGoogle>();
    google->setLatency(seconds(30));
    std::thread caller(
        [port = google->port()] { httplib::Client("127.0.0.1", port).Get("/v2/accounts"); });
    while (google->requests().empty()) std::this_thread::sleep_for(milliseconds(5));
    const auto start = steady_clock::now();
    google.reset();
    EXPECT_LT(steady_clock::now() - start, seconds(10));
    caller.join();
}

}  // namespace
}  // namespace ambrel::fakes
