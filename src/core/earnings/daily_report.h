#pragma once

// The daily report of the account's last 35 days and the figures computed from it. Every date
// here is a calendar day of the account's own zone (account_calendar.h), as Google counts report
// days; report days are "yyyy-MM-dd" keys, which order as text.

#include <array>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/earnings/adsense_api.h"
#include "core/earnings/snapshot.h"
#include "core/earnings/wire_types.h"
#include "core/error.h"
#include "core/platform/clock.h"

namespace ambrel {

// The metrics the daily report asks for, in request order; the same names find the columns.
inline constexpr std::array<const char*, 7> kDailyReportMetrics = {
    "ESTIMATED_EARNINGS", "PAGE_VIEWS",    "PAGE_VIEWS_RPM", "IMPRESSIONS", "CLICKS",
    "COST_PER_CLICK",     "PAGE_VIEWS_CTR"};

using DailyMap = std::map<std::string, DayMetrics>;

// A cell's text as a number: the C library's conversion in the C locale, the whole text
// consumed, nothing (not even white space) before it. Results that are not finite ("inf",
// "nan", "1e999") do not read either: one such cell would make the snapshot impossible to
// store, which would drop the cached snapshot on every refresh.
std::optional<double> readNumber(std::string_view text);

// "yyyy-MM-dd", zero-padded.
std::string dateKey(std::chrono::year_month_day date);
// The day a "yyyy-MM-dd" key names; none when it names no valid day.
std::optional<std::chrono::year_month_day> parseDateKey(std::string_view key);

// prefix.year, prefix.month, prefix.day, as decimal numbers without leading zeros.
QueryItems dateQueryItems(std::string_view prefix, std::chrono::year_month_day date);

// The first day the daily report asks for: 34 days before `today`.
std::chrono::year_month_day reportStartDate(std::chrono::year_month_day today);

// The 15 query items of the daily report from reportStartDate(today) to `today`.
QueryItems dailyReportQuery(std::chrono::year_month_day today);

// The ISO code of the first header that has one, else "EUR".
std::string reportCurrency(const std::optional<std::vector<Header>>& headers);

// Date key to the day's metrics; rows without a readable date are skipped, a later row
// replaces an earlier one of the same day, and CTR becomes percent.
DailyMap dailyMetrics(const std::optional<std::vector<Header>>& headers,
                      const std::optional<std::vector<Row>>& rows);

// The figures anchored on the reference day: the account's today, whether or not the report
// has a row for it yet (a day without a row counts 0).
struct DayFigures {
    std::chrono::year_month_day referenceDate;
    double today = 0;
    double yesterday = 0;
    double yesterdayPrevWeek = 0;
    double last7 = 0;
    double prev7 = 0;
    double monthToDate = 0;
    PerfValues perfYesterday;
    PerfValues perfPrevWeek;
    // The report's 35 days, from its start date to the reference day (daily_series.h).
    std::vector<DailyEarning> dailyEarnings;
};

// The figures of the report that ends on `today`. Rows dated after it, or keys that name no
// day, count for nothing.
DayFigures dayFigures(const DailyMap& daily, std::chrono::year_month_day today);

// Every cell reads as a finite number, but a CTR made percent or a sum of days can still
// overflow ("1e307" × 100, "1e308" twice in one week), and so can what the views compute from
// the daily series (its average, the month-end projection). A report with such figures is
// malformed: its snapshot could not be stored, or its trend not shown. The error names the
// figure and its days.
std::optional<DecodingError> unrepresentableFigure(const DailyMap& daily,
                                                   const DayFigures& figures);

}  // namespace ambrel
