// Strict decoding of the AdSense answers: what must fail, what reads as absent.

#include "core/earnings/wire_types.h"

#include <gtest/gtest.h>

#include <string>

namespace ambrel {
namespace {

// A decoding failure must be a DecodingError, never some other kind of error.
template <class T>
bool failsToDecode(const Result<T>& result) {
    return !result && std::holds_alternative<DecodingError>(result.error());
}

TEST(WireTypes, AccountsDecodeInOrderWithOptionalDisplayName) {
    auto decoded = decodeAccountsResponse(
        R"({"accounts":[{"name":"accounts/pub-1","displayName":"A"},{"name":"accounts/pub-2",
            "displayName":null,"extra":1}],"nextPageToken":"x"})");
    ASSERT_TRUE(decoded);
    ASSERT_TRUE(decoded->accounts);
    EXPECT_EQ(*decoded->accounts, (std::vector<Account>{{"accounts/pub-1", "A", {}, {}},
                                                        {"accounts/pub-2", std::nullopt, {}, {}}}));
}

// The zone is an object whose id may be missing; the state is an enumeration's name.
TEST(WireTypes, AccountsCarryTheirZoneAndState) {
    auto decoded = decodeAccountsResponse(R"({"accounts":[
        {"name":"a","timeZone":{"id":"Asia/Tokyo","version":""},"state":"READY"},
        {"name":"b","timeZone":{},"state":"CLOSED"},{"name":"c","timeZone":null}]})");
    ASSERT_TRUE(decoded && decoded->accounts);
    const auto& accounts = *decoded->accounts;
    EXPECT_EQ(accounts[0].timeZone, "Asia/Tokyo");
    EXPECT_EQ(accounts[0].state, "READY");
    EXPECT_EQ(accounts[1].timeZone, std::nullopt);
    EXPECT_EQ(accounts[1].state, "CLOSED");
    EXPECT_EQ(accounts[2].timeZone, std::nullopt);
    for (const char* bytes : {R"({"accounts":[{"name":"a","timeZone":"Asia/Tokyo"}]})",
                              R"({"accounts":[{"name":"a","timeZone":{"id":9}}]})",
                              R"({"accounts":[{"name":"a","state":1}]})"})
        EXPECT_TRUE(failsToDecode(decodeAccountsResponse(bytes))) << bytes;
}

// Google leaves empty lists out of its JSON: a row or totals without cells holds none.
TEST(WireTypes, RowsAndTotalsWithoutCellsHoldNoCells) {
    auto decoded = decodeReportResponse(R"({"rows":[{},{"cells":null}],"totals":{}})");
    ASSERT_TRUE(decoded && decoded->rows && decoded->totals);
    EXPECT_EQ(*decoded->rows, (std::vector<Row>{Row{}, Row{}}));
    EXPECT_EQ(*decoded->totals, Row{});
}

TEST(WireTypes, ReportCellsAreStringsAndNullIsAbsent) {
    auto decoded = decodeReportResponse(R"({
        "headers":[{"name":"DATE","type":"DIMENSION"},{"name":"ESTIMATED_EARNINGS",
                    "type":"METRIC_CURRENCY","currencyCode":"USD"}],
        "rows":[{"cells":[{"value":"2026-05-21"},{"value":null}]},{"cells":[{}]}],
        "totals":{"cells":[{},{"value":"1.5"}]}})");
    ASSERT_TRUE(decoded);
    ASSERT_TRUE(decoded->headers && decoded->rows && decoded->totals);
    EXPECT_EQ((*decoded->headers)[1].currencyCode, "USD");
    EXPECT_EQ((*decoded->headers)[0].currencyCode, std::nullopt);
    EXPECT_EQ((*decoded->rows)[0], (Row{{Cell{"2026-05-21"}, Cell{std::nullopt}}}));
    EXPECT_EQ((*decoded->rows)[1], (Row{{Cell{std::nullopt}}}));
    EXPECT_EQ(decoded->totals->cells[1].value, "1.5");
}

TEST(WireTypes, EmptyObjectsDecodeToAbsentMembers) {
    auto report = decodeReportResponse("{}");
    ASSERT_TRUE(report);
    EXPECT_FALSE(report->headers || report->rows || report->totals);
    auto payments = decodePaymentsResponse(R"({"payments":null})");
    ASSERT_TRUE(payments);
    EXPECT_FALSE(payments->payments);
    auto accounts = decodeAccountsResponse("{}");
    ASSERT_TRUE(accounts);
    EXPECT_FALSE(accounts->accounts);
}

TEST(WireTypes, PaymentsDecodeDatesAndAmounts) {
    auto decoded = decodePaymentsResponse(R"({"payments":[
        {"name":"accounts/pub-1/payments/unpaid","amount":"€1,234.56"},
        {"name":"accounts/pub-1/payments/2026-05-21","amount":"€10.00",
         "date":{"year":2026,"month":5,"day":21}},
        {"name":"p","date":{"year":2026,"month":null}}]})");
    ASSERT_TRUE(decoded && decoded->payments);
    const auto& payments = *decoded->payments;
    ASSERT_EQ(payments.size(), 3u);
    EXPECT_EQ(payments[0].date, std::nullopt);
    EXPECT_EQ(payments[0].amount, "€1,234.56");
    EXPECT_EQ(payments[1].date, (PaymentDate{2026, 5, 21}));
    EXPECT_EQ(payments[2].date, (PaymentDate{2026, std::nullopt, std::nullopt}));
    EXPECT_EQ(payments[2].amount, std::nullopt);
}

// Each document breaks one rule of the shape; each must fail the whole answer.
TEST(WireTypes, MalformedReportsFail) {
    const char* cases[] = {
        R"({"rows":[{"cells":[{"value":12.5}]}]})",  // a number where a text belongs
        R"({"rows":[{"cells":{}}]})",                // cells not an array
        R"({"totals":[]})",                          // totals is a row
        R"({"rows":[{"cells":["2026-05-21"]}]})",    // a cell that is not an object
        R"({"rows":{"cells":[]}})",                  // rows not an array
        R"({"headers":[{"name":7}]})",
        R"({"headers":[{"currencyCode":true}]})",
        R"({"headers":["DATE"]})",
        R"([])",
        R"({"rows":[)",
        "",
    };
    for (const char* bytes : cases)
        EXPECT_TRUE(failsToDecode(decodeReportResponse(bytes))) << bytes;
}

TEST(WireTypes, MalformedAccountsAndPaymentsFail) {
    const char* accounts[] = {R"({"accounts":[{"displayName":"no name"}]})",
                              R"({"accounts":[{"name":null}]})", R"({"accounts":{}})",
                              R"({"accounts":[1]})", "not json"};
    for (const char* bytes : accounts)
        EXPECT_TRUE(failsToDecode(decodeAccountsResponse(bytes))) << bytes;

    const char* payments[] = {R"({"payments":[{"amount":"1"}]})",
                              R"({"payments":[{"name":"p","date":{"year":"2026"}}]})",
                              R"({"payments":[{"name":"p","date":{"year":2026.5}}]})",
                              R"({"payments":[{"name":"p","date":"2026-05-21"}]})",
                              R"({"payments":[{"name":"p","amount":12}]})"};
    for (const char* bytes : payments)
        EXPECT_TRUE(failsToDecode(decodePaymentsResponse(bytes))) << bytes;
}

}  // namespace
}  // namespace ambrel
