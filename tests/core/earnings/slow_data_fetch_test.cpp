// Last year's month-to-date earnings and the payments summary.

#include "core/earnings/slow_data_fetch.h"

#include <gtest/gtest.h>

#include "core/earnings/formatting.h"
#include "core/earnings/payment_text.h"
#include "support/fake_http_client.h"

namespace ambrel {
namespace {

using namespace std::chrono;
using testing::FakeHttpClient;

TEST(SlowDataFetch, LastYearQueryCutsTheEndDayToTheMonthLength) {
    struct Case {
        year_month_day reference;
        const char* year;
        const char* month;
        const char* endDay;
    };
    const Case cases[] = {{2024y / February / 29, "2023", "2", "28"},
                          {2025y / March / 1, "2024", "3", "1"},
                          {2025y / February / 28, "2024", "2", "28"},
                          {2026y / May / 31, "2025", "5", "31"},
                          {2026y / January / 15, "2025", "1", "15"}};
    for (const Case& c : cases) {
        QueryItems expected = {{"dateRange", "CUSTOM"},    {"metrics", "ESTIMATED_EARNINGS"},
                               {"startDate.year", c.year}, {"startDate.month", c.month},
                               {"startDate.day", "1"},     {"endDate.year", c.year},
                               {"endDate.month", c.month}, {"endDate.day", c.endDay}};
        EXPECT_EQ(monthLastYearQuery(c.reference), expected) << c.year << "-" << c.endDay;
    }
}

TEST(SlowDataFetch, TotalPrefersAReadableTotalsCellElseSumsLastCells) {
    struct Case {
        const char* name;
        ReportResponse report;
        double total;
    };
    std::vector<Row> rows = {Row{{Cell{"x"}, Cell{"10"}}}, Row{{Cell{"x"}}}, Row{{}},
                             Row{{Cell{"5"}, Cell{std::nullopt}}}};
    const Case cases[] = {
        {"totals win", {std::nullopt, rows, Row{{Cell{"123.45"}}}}, 123.45},
        {"rows summed", {std::nullopt, rows, std::nullopt}, 10},
        {"unreadable totals", {std::nullopt, rows, Row{{Cell{"n/a"}}}}, 10},
        {"empty totals", {std::nullopt, rows, Row{{}}}, 10},
        {"null totals cell", {std::nullopt, rows, Row{{Cell{std::nullopt}, Cell{"3"}}}}, 10},
        {"nothing", {}, 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(monthLastYearTotal(c.report), c.total) << c.name;
}

TEST(SlowDataFetch, MonthLastYearEarningsMakesOneReportRequest) {
    FakeHttpClient http;
    http.reply(200, R"({"totals":{"cells":[{"value":"42.5"}]}})");
    AdSenseAPI api(http, "https://a.example/v2");
    auto total = monthLastYearEarnings(api, "accounts/pub-1", 2024y / February / 29, "tok");
    ASSERT_TRUE(total);
    EXPECT_EQ(*total, 42.5);
    ASSERT_EQ(http.requests().size(), 1u);
    EXPECT_EQ(http.requests()[0].url,
              "https://a.example/v2/accounts/pub-1/reports:generate?dateRange=CUSTOM"
              "&metrics=ESTIMATED_EARNINGS&startDate.year=2023&startDate.month=2&startDate.day=1"
              "&endDate.year=2023&endDate.month=2&endDate.day=28");

    http.reply(500, "boom");
    EXPECT_FALSE(monthLastYearEarnings(api, "accounts/pub-1", 2024y / February / 29, "tok"));
}

Payment paid(std::string name, PaymentDate date, std::optional<std::string> amount) {
    return Payment{std::move(name), date, std::move(amount)};
}

TEST(SlowDataFetch, BalanceIsTheFirstUnpaidAndTiesKeepTheEarlierPayment) {
    std::vector<Payment> payments = {
        paid("accounts/p/payments/2026-04-21", {2026, 4, 21}, "€10.00"),
        {"accounts/p/payments/unpaid", std::nullopt, "€1,234.56"},
        paid("accounts/p/payments/a", {2026, 5, 21}, "€20.00"),
        paid("accounts/p/payments/b", {2026, 5, 21}, "€30.00"),
        {"accounts/p/payments/unpaid", std::nullopt, "€9.99"},
    };
    auto summary = summarizePayments(payments, "EUR");
    EXPECT_EQ(summary.balance, formatCurrency("EUR", 1234.56));
    EXPECT_EQ(summary.lastPaymentAmount, formatCurrency("EUR", 20.0));
    EXPECT_EQ(summary.lastPaymentDateLabel, paymentDateLabel(2026, 5, 21));
    EXPECT_NE(summary.lastPaymentDateLabel.value_or(""), "");
}

TEST(SlowDataFetch, UnpaidNamesNeverCountAsThePaymentMade) {
    std::vector<Payment> payments = {
        paid("accounts/p/payments/unpaid", {2030, 1, 1}, "€5.00"),
        paid("accounts/p/payments/x-unpaid", {2029, 1, 1}, "€6.00"),  // ends with "unpaid"
        paid("accounts/p/payments/2026-01-21", {2026, 1, 21}, std::nullopt),
        {"accounts/p/payments/undated", std::nullopt, "€7.00"},
    };
    auto summary = summarizePayments(payments, "EUR");
    EXPECT_EQ(summary.balance, formatCurrency("EUR", 5.0));
    // The last payment has no amount, yet its date is still labelled.
    EXPECT_EQ(summary.lastPaymentAmount, std::nullopt);
    EXPECT_EQ(summary.lastPaymentDateLabel, paymentDateLabel(2026, 1, 21));
}

// The publisher's YouTube earnings, listed beside the AdSense ones, are neither the balance
// nor the last payment, however recent.
TEST(SlowDataFetch, YouTubePaymentsCountForNeitherFigure) {
    std::vector<Payment> payments = {
        {"accounts/p/payments/youtube-unpaid", std::nullopt, "€500.00"},
        paid("accounts/p/payments/youtube-2026-05-21", {2026, 5, 21}, "€400.00"),
        {"accounts/p/payments/unpaid", std::nullopt, "€12.00"},
        paid("accounts/p/payments/2026-04-21", {2026, 4, 21}, "€30.00"),
    };
    auto summary = summarizePayments(payments, "EUR");
    EXPECT_EQ(summary.balance, formatCurrency("EUR", 12.0));
    EXPECT_EQ(summary.lastPaymentAmount, formatCurrency("EUR", 30.0));
    EXPECT_EQ(summary.lastPaymentDateLabel, paymentDateLabel(2026, 4, 21));
    EXPECT_EQ(summarizePayments({payments[0], payments[1]}, "EUR"), PaymentSummary{});
}

TEST(SlowDataFetch, DateNumberOrdersPaymentsAndMissingPartsCountAsZero) {
    std::vector<Payment> payments = {
        paid("a", {2026, 5, std::nullopt}, "1"),
        paid("b", {2026, 4, 30}, "2"),
        paid("c", {std::nullopt, 12, 31}, "3"),
        paid("d", {INT64_MAX, INT64_MAX, INT64_MAX}, "4"),  // absurd, must not overflow
        paid("e", {INT64_MIN, 1, 1}, "5"),
    };
    EXPECT_EQ(summarizePayments(payments, "EUR").lastPaymentAmount, formatCurrency("EUR", 4.0));
    payments.erase(payments.begin() + 3);
    EXPECT_EQ(summarizePayments(payments, "EUR").lastPaymentAmount, formatCurrency("EUR", 1.0));
}

TEST(SlowDataFetch, UnreadableAmountsKeepTheirTextAndNothingMeansAbsent) {
    auto summary = summarizePayments(
        {{"x/unpaid", std::nullopt, "pending"}, paid("p", {2026, 1, 1}, "n/a")}, "EUR");
    EXPECT_EQ(summary.balance, "pending");
    EXPECT_EQ(summary.lastPaymentAmount, "n/a");
    EXPECT_EQ(summarizePayments({}, "EUR"), PaymentSummary{});
    EXPECT_EQ(summarizePayments({{"x/unpaid", std::nullopt, std::nullopt}}, "EUR"),
              PaymentSummary{});
}

TEST(SlowDataFetch, PaymentSummaryTreatsAnAbsentListAsEmpty) {
    FakeHttpClient http;
    http.reply(200, "{}");
    http.reply(403, "");
    AdSenseAPI api(http, "https://a.example/v2");
    auto summary = paymentSummary(api, "accounts/pub-1", "EUR", "tok");
    ASSERT_TRUE(summary);
    EXPECT_EQ(*summary, PaymentSummary{});
    EXPECT_EQ(http.requests()[0].url, "https://a.example/v2/accounts/pub-1/payments");
    auto failed = paymentSummary(api, "accounts/pub-1", "EUR", "tok");
    ASSERT_FALSE(failed);
    EXPECT_EQ(errorMessage(failed.error()), "AdSense error (403): ");
}

}  // namespace
}  // namespace ambrel
