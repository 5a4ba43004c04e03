// The daily report query and the figures anchored on the account's today.

#include "core/earnings/daily_report.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ambrel {
namespace {

using namespace std::chrono;

const std::vector<Header> kHeaders = {
    {"DATE", "DIMENSION", std::nullopt},           {"ESTIMATED_EARNINGS", "METRIC_CURRENCY", "USD"},
    {"PAGE_VIEWS", "METRIC_TALLY", std::nullopt},  {"PAGE_VIEWS_RPM", "METRIC_CURRENCY", "USD"},
    {"IMPRESSIONS", "METRIC_TALLY", std::nullopt}, {"CLICKS", "METRIC_TALLY", std::nullopt},
    {"COST_PER_CLICK", "METRIC_CURRENCY", "USD"},  {"PAGE_VIEWS_CTR", "METRIC_RATIO", std::nullopt},
};

Row row(std::string date, std::string earnings, std::string ctr = "0") {
    return Row{{Cell{std::move(date)}, Cell{std::move(earnings)}, Cell{"100"}, Cell{"2.5"},
                Cell{"300"}, Cell{"4"}, Cell{"0.25"}, Cell{std::move(ctr)}}};
}

// One row per day from `first` to `last`, each earning `earnings`.
std::vector<Row> days(year_month_day first, year_month_day last, double earnings = 1.0) {
    std::vector<Row> rows;
    for (sys_days d = first; d <= sys_days{last}; d += std::chrono::days{1})
        rows.push_back(row(dateKey(d), std::to_string(earnings)));
    return rows;
}

TEST(DailyReport, QueryHasFifteenItemsEndingWithThe35DayRange) {
    auto query = dailyReportQuery(2026y / May / 21);
    QueryItems expected = {{"dateRange", "CUSTOM"},
                           {"dimensions", "DATE"},
                           {"metrics", "ESTIMATED_EARNINGS"},
                           {"metrics", "PAGE_VIEWS"},
                           {"metrics", "PAGE_VIEWS_RPM"},
                           {"metrics", "IMPRESSIONS"},
                           {"metrics", "CLICKS"},
                           {"metrics", "COST_PER_CLICK"},
                           {"metrics", "PAGE_VIEWS_CTR"},
                           {"startDate.year", "2026"},
                           {"startDate.month", "4"},
                           {"startDate.day", "17"},
                           {"endDate.year", "2026"},
                           {"endDate.month", "5"},
                           {"endDate.day", "21"}};
    EXPECT_EQ(query, expected);
}

TEST(DailyReport, RangeStarts34DaysBeforeTodayAcrossMonthsAndYears) {
    auto query = dailyReportQuery(2026y / January / 3);
    QueryItems tail(query.end() - 6, query.end());
    EXPECT_EQ(tail, (QueryItems{{"startDate.year", "2025"},
                                {"startDate.month", "11"},
                                {"startDate.day", "30"},
                                {"endDate.year", "2026"},
                                {"endDate.month", "1"},
                                {"endDate.day", "3"}}));
}

TEST(DailyReport, DateKeysArePaddedAndParsedStrictly) {
    EXPECT_EQ(dateKey(2026y / March / 1), "2026-03-01");
    EXPECT_EQ(
        dateQueryItems("startDate", 2026y / March / 1),
        (QueryItems{{"startDate.year", "2026"}, {"startDate.month", "3"}, {"startDate.day", "1"}}));
    EXPECT_EQ(parseDateKey("2024-02-29"), 2024y / February / 29);
    for (const char* bad : {"2023-02-29", "2026-13-01", "2026-05", "20260521", "2026-05-21x", "",
                            "Total", "2026-05-+1", "2026--05-21"})
        EXPECT_EQ(parseDateKey(bad), std::nullopt) << bad;
}

TEST(DailyReport, ReadsNumbersOnlyWhenTheWholeTextIsANumber) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"12.5", 12.5},
        {"-3", -3.0},
        {"1e3", 1000.0},
        {"+2", 2.0},
        {"0x10", 16.0},
        {".5", 0.5},
        {"", {}},
        {" 5", {}},
        {"\t5", {}},
        {"5 ", {}},
        {"5 EUR", {}},
        {"1,5", {}},
        {"abc", {}},
        // Not finite: would make the snapshot impossible to store.
        {"inf", {}},
        {"nan", {}},
        {"-INFINITY", {}},
        {"1e999", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(readNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(readNumber(std::string_view("5\0"
                                          "1",
                                          3)),
              std::nullopt);
}

TEST(DailyReport, DailyMetricsReadsColumnsByNameAndCtrAsPercent) {
    auto daily = dailyMetrics(kHeaders, std::vector<Row>{row("2026-05-21", "3.5", "0.0153")});
    ASSERT_EQ(daily.size(), 1u);
    const DayMetrics& m = daily.at("2026-05-21");
    EXPECT_EQ(m.earnings, 3.5);
    EXPECT_EQ(m.pageViews, 100);
    EXPECT_EQ(m.rpm, 2.5);
    EXPECT_EQ(m.impressions, 300);
    EXPECT_EQ(m.clicks, 4);
    EXPECT_EQ(m.cpc, 0.25);
    EXPECT_DOUBLE_EQ(m.ctr, 1.53);
}

TEST(DailyReport, UnreadableAndMissingCellsCountAsZero) {
    std::vector<Row> rows = {row("2026-05-01", ""), row("2026-05-02", " 5"),
                             row("2026-05-03", "5 EUR"), Row{{Cell{"2026-05-04"}}},
                             Row{{Cell{"2026-05-05"}, Cell{std::nullopt}}}};
    auto daily = dailyMetrics(kHeaders, rows);
    ASSERT_EQ(daily.size(), 5u);
    for (const auto& [key, metrics] : daily) EXPECT_EQ(metrics.earnings, 0) << key;
    EXPECT_EQ(daily.at("2026-05-04"), DayMetrics{});
}

TEST(DailyReport, RowsWithoutAUsableDateAreSkippedAndLaterDuplicatesWin) {
    std::vector<Row> rows = {row("2026-05-01", "1"), Row{{Cell{std::nullopt}, Cell{"9"}}}, Row{{}},
                             row("2026-05-01", "2"), row("Total", "4")};
    auto daily = dailyMetrics(kHeaders, rows);
    EXPECT_EQ(daily.size(), 2u);  // the text key is taken unchanged, even "Total"
    EXPECT_EQ(daily.at("2026-05-01").earnings, 2);
}

TEST(DailyReport, HeadersDecideColumnsAndCurrency) {
    // Later header of the same name wins; columns may come in any order.
    std::vector<Header> headers = {{"ESTIMATED_EARNINGS", {}, std::nullopt},
                                   {std::nullopt, {}, "GBP"},
                                   {"DATE", {}, std::nullopt},
                                   {"ESTIMATED_EARNINGS", {}, "JPY"}};
    auto daily = dailyMetrics(
        headers, std::vector<Row>{Row{{Cell{"1"}, Cell{"2"}, Cell{"2026-05-21"}, Cell{"4"}}}});
    EXPECT_EQ(daily.at("2026-05-21").earnings, 4);
    EXPECT_EQ(reportCurrency(headers), "GBP");
    EXPECT_EQ(reportCurrency(kHeaders), "USD");
    EXPECT_EQ(reportCurrency(std::nullopt), "EUR");
    EXPECT_EQ(reportCurrency(std::vector<Header>{{"DATE", {}, std::nullopt}}), "EUR");

    EXPECT_TRUE(dailyMetrics(std::nullopt, days(2026y / May / 1, 2026y / May / 2)).empty());
    EXPECT_TRUE(dailyMetrics(std::vector<Header>{{"ESTIMATED_EARNINGS", {}, "EUR"}},
                             days(2026y / May / 1, 2026y / May / 2))
                    .empty());
    EXPECT_TRUE(dailyMetrics(kHeaders, std::nullopt).empty());
}

struct FigureCase {
    const char* name;
    std::vector<Row> rows;
    double today, yesterday, yesterdayPrevWeek, last7, prev7, monthToDate;
};

TEST(DailyReport, DayFiguresAreAnchoredOnToday) {
    auto without = [](std::vector<Row> rows, const char* key) {
        std::erase_if(rows, [&](const Row& r) { return r.cells[0].value == key; });
        return rows;
    };
    auto may = days(2026y / May / 1, 2026y / May / 21);
    const struct {
        FigureCase figures;
        year_month_day today;
    } cases[] = {
        {{"full May", may, 1, 1, 1, 7, 7, 21}, 2026y / May / 21},
        {{"today minus 3 missing", without(may, "2026-05-18"), 1, 1, 1, 6, 7, 20},
         2026y / May / 21},
        {{"today minus 1 missing", without(may, "2026-05-20"), 1, 0, 1, 6, 7, 20},
         2026y / May / 21},
        {{"month boundary", days(2026y / February / 1, 2026y / March / 1), 1, 1, 1, 7, 7, 1},
         2026y / March / 1},
        {{"leap day", days(2024y / February / 1, 2024y / March / 1, 2), 2, 2, 2, 14, 14, 2},
         2024y / March / 1},
        {{"single row", days(2026y / May / 21, 2026y / May / 21, 3), 3, 0, 0, 0, 0, 3},
         2026y / May / 21},
        // No row yet for today (Google leaves days without events out): today reads 0 and every
        // other figure still counts from today, not from the newest row.
        {{"no row for today", may, 0, 1, 1, 7, 7, 21}, 2026y / May / 22},
        {{"first of the month before its first row", days(2026y / May / 1, 2026y / May / 31), 0, 1,
          1, 7, 7, 0},
         2026y / June / 1},
    };
    for (const auto& [c, today] : cases) {
        auto figures = dayFigures(dailyMetrics(kHeaders, c.rows), today);
        EXPECT_EQ(figures.referenceDate, today) << c.name;
        EXPECT_EQ(figures.today, c.today) << c.name;
        EXPECT_EQ(figures.yesterday, c.yesterday) << c.name;
        EXPECT_EQ(figures.yesterdayPrevWeek, c.yesterdayPrevWeek) << c.name;
        EXPECT_EQ(figures.last7, c.last7) << c.name;
        EXPECT_EQ(figures.prev7, c.prev7) << c.name;
        EXPECT_EQ(figures.monthToDate, c.monthToDate) << c.name;
    }
}

TEST(DailyReport, PerformanceComesFromDayMinus1AndMinus8) {
    std::vector<Row> rows = {row("2026-05-13", "1", "0.02"), row("2026-05-20", "1", "0.0153"),
                             row("2026-05-21", "1", "0.5")};
    auto figures = dayFigures(dailyMetrics(kHeaders, rows), 2026y / May / 21);
    EXPECT_DOUBLE_EQ(figures.perfYesterday.ctr, 1.53);
    EXPECT_DOUBLE_EQ(figures.perfPrevWeek.ctr, 2.0);
    EXPECT_EQ(figures.perfYesterday.pageViews, 100);

    rows.erase(rows.begin() + 1);
    figures = dayFigures(dailyMetrics(kHeaders, rows), 2026y / May / 21);
    EXPECT_EQ(figures.perfYesterday, PerfValues{});
}

// Keys that name no day, and rows dated after today, belong to no figure.
TEST(DailyReport, KeysOutsideTheCalendarSoFarCountForNothing) {
    std::vector<Row> rows = {row("2026-05-20", "1"), row("2026-05-21", "2"), row("2026-05-2x", "7"),
                             row("2026-05-22", "9"), row("zzz", "7")};
    auto figures = dayFigures(dailyMetrics(kHeaders, rows), 2026y / May / 21);
    EXPECT_EQ(figures.today, 2);
    EXPECT_EQ(figures.yesterday, 1);
    EXPECT_EQ(figures.monthToDate, 3);
    EXPECT_EQ(figures.dailyEarnings.back(), (DailyEarning{"2026-05-21", 2}));
}

}  // namespace
}  // namespace ambrel
