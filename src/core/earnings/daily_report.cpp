#include "core/earnings/daily_report.h"

#include <locale.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/earnings/daily_series.h"
#include "core/earnings/earnings_trend.h"

namespace ambrel {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

// The DayMetrics field of each metric of kDailyReportMetrics, in the same order.
constexpr std::array<double DayMetrics::*, 7> kMetricFields = {
    &DayMetrics::earnings, &DayMetrics::pageViews, &DayMetrics::rpm, &DayMetrics::impressions,
    &DayMetrics::clicks,   &DayMetrics::cpc,       &DayMetrics::ctr};

// Made once: the number texts of the API never follow the user's locale.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A run of 1 to maxDigits decimal digits.
std::optional<unsigned> parseDigits(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

year_month_day plusDays(year_month_day date, int count) {
    return year_month_day{sys_days{date} + days{count}};
}

using ColumnPositions = std::map<std::string, std::size_t, std::less<>>;

// The cell of `column` in `row`, when the column exists, lies inside the row and has a value.
const std::string* cellText(const Row& row, const ColumnPositions& columns,
                            std::string_view column) {
    auto found = columns.find(column);
    if (found == columns.end() || found->second >= row.cells.size()) return nullptr;
    const auto& value = row.cells[found->second].value;
    return value ? &*value : nullptr;
}

DayMetrics rowMetrics(const Row& row, const ColumnPositions& columns) {
    DayMetrics metrics;
    for (std::size_t i = 0; i < kDailyReportMetrics.size(); ++i) {
        const std::string* text = cellText(row, columns, kDailyReportMetrics[i]);
        metrics.*kMetricFields[i] = text ? readNumber(*text).value_or(0) : 0;
    }
    metrics.ctr *= 100;  // the API gives a ratio; the snapshot holds percent
    return metrics;
}

DecodingError tooLarge(std::string_view figure) {
    return DecodingError{"daily report: " + std::string(figure) +
                         " is too large for a number (infinite)"};
}

}  // namespace

std::optional<double> readNumber(std::string_view text) {
    if (text.empty() || isSpace(text.front()) || cLocale() == locale_t{}) return std::nullopt;
    const std::string copy(text);  // strtod needs a terminator; an inner NUL stops it early
    char* end = nullptr;
    double value = strtod_l(copy.c_str(), &end, cLocale());
    if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string dateKey(year_month_day date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::optional<year_month_day> parseDateKey(std::string_view key) {
    auto firstDash = key.find('-');
    auto secondDash =
        firstDash == std::string_view::npos ? firstDash : key.find('-', firstDash + 1);
    if (secondDash == std::string_view::npos) return std::nullopt;
    auto year = parseDigits(key.substr(0, firstDash), 4);
    auto month = parseDigits(key.substr(firstDash + 1, secondDash - firstDash - 1), 2);
    auto day = parseDigits(key.substr(secondDash + 1), 2);
    if (!year || !month || !day) return std::nullopt;
    year_month_day date{std::chrono::year{static_cast<int>(*year)}, std::chrono::month{*month},
                        std::chrono::day{*day}};
    if (!date.ok()) return std::nullopt;
    return date;
}

QueryItems dateQueryItems(std::string_view prefix, year_month_day date) {
    const std::string p(prefix);
    return {{p + ".year", std::to_string(static_cast<int>(date.year()))},
            {p + ".month", std::to_string(static_cast<unsigned>(date.month()))},
            {p + ".day", std::to_string(static_cast<unsigned>(date.day()))}};
}

year_month_day reportStartDate(year_month_day today) {
    return plusDays(today, -(kDailySeriesDays - 1));
}

QueryItems dailyReportQuery(year_month_day today) {
    QueryItems items = {{"dateRange", "CUSTOM"}, {"dimensions", "DATE"}};
    for (const char* metric : kDailyReportMetrics) items.emplace_back("metrics", metric);
    for (auto& item : dateQueryItems("startDate", reportStartDate(today))) items.push_back(item);
    for (auto& item : dateQueryItems("endDate", today)) items.push_back(item);
    return items;
}

std::string reportCurrency(const std::optional<std::vector<Header>>& headers) {
    if (headers) {
        for (const Header& header : *headers)
            if (header.currencyCode) return *header.currencyCode;
    }
    return "EUR";
}

DailyMap dailyMetrics(const std::optional<std::vector<Header>>& headers,
                      const std::optional<std::vector<Row>>& rows) {
    ColumnPositions columns;
    if (headers) {
        for (std::size_t i = 0; i < headers->size(); ++i)
            if (const auto& name = (*headers)[i].name) columns[*name] = i;  // later position wins
    }
    DailyMap daily;
    if (columns.empty() || !rows) return daily;
    for (const Row& row : *rows) {
        const std::string* date = cellText(row, columns, "DATE");
        if (date == nullptr) continue;
        daily[*date] = rowMetrics(row, columns);
    }
    return daily;
}

std::optional<DecodingError> unrepresentableFigure(const DailyMap& daily,
                                                   const DayFigures& figures) {
    for (const auto& [key, metrics] : daily) {
        for (std::size_t i = 0; i < kDailyReportMetrics.size(); ++i) {
            if (std::isfinite(metrics.*kMetricFields[i])) continue;
            const bool percent = kMetricFields[i] == &DayMetrics::ctr;
            return tooLarge(std::string(kDailyReportMetrics[i]) + " of " + key +
                            (percent ? " as a percentage" : ""));
        }
    }
    const std::string month = dateKey(figures.referenceDate).substr(0, 7);
    const std::pair<double, std::string> sums[] = {
        {figures.last7, "the 7 days before " + dateKey(figures.referenceDate)},
        {figures.prev7, "the 7 days before " + dateKey(plusDays(figures.referenceDate, -7))},
        {figures.monthToDate, "the days of " + month},
    };
    for (const auto& [sum, days] : sums)
        if (!std::isfinite(sum)) return tooLarge("ESTIMATED_EARNINGS summed over " + days);

    const auto summary = summarizeCompleteDays(chartDays(figures.dailyEarnings));
    if (summary && !std::isfinite(summary->average))
        return tooLarge("the average of ESTIMATED_EARNINGS over the last 30 days");
    const auto projection = monthEndProjection(figures.dailyEarnings);
    if (projection && !std::isfinite(*projection))
        return tooLarge("ESTIMATED_EARNINGS projected to the end of " + month);
    return std::nullopt;
}

DayFigures dayFigures(const DailyMap& daily, year_month_day today) {
    DayFigures figures;
    figures.referenceDate = today;
    auto day = [&](int offset) {
        auto found = daily.find(dateKey(plusDays(today, offset)));
        return found == daily.end() ? DayMetrics{} : found->second;
    };
    figures.today = day(0).earnings;
    DayMetrics yesterday = day(-1);
    DayMetrics weekBefore = day(-8);
    figures.yesterday = yesterday.earnings;
    figures.perfYesterday = yesterday.perf();
    figures.yesterdayPrevWeek = weekBefore.earnings;
    figures.perfPrevWeek = weekBefore.perf();
    for (int offset = -1; offset >= -7; --offset) figures.last7 += day(offset).earnings;
    for (int offset = -8; offset >= -14; --offset) figures.prev7 += day(offset).earnings;

    const int dayOfMonth = static_cast<int>(static_cast<unsigned>(today.day()));
    for (int offset = 1 - dayOfMonth; offset <= 0; ++offset)
        figures.monthToDate += day(offset).earnings;
    figures.dailyEarnings = dailyEarningsSeries(daily, today);
    return figures;
}

}  // namespace ambrel
