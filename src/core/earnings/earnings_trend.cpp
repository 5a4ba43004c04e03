#include "core/earnings/earnings_trend.h"

#include <algorithm>
#include <chrono>

#include "core/earnings/daily_report.h"

namespace ambrel {
namespace {

using std::chrono::days;
using std::chrono::sys_days;

// The key `offset` days from the series' last day. Decoded and computed series alike hold
// valid keys only (snapshot.h), so the last one parses.
std::string keyFromLast(const std::vector<DailyEarning>& series, int offset) {
    const auto last = parseDateKey(series.back().date);
    return last ? dateKey(sys_days{*last} + days{offset}) : series.back().date;
}

}  // namespace

std::span<const DailyEarning> chartDays(const std::vector<DailyEarning>& series) {
    if (series.empty()) return {};
    const std::string first = keyFromLast(series, -(kTrendChartDays - 1));
    std::size_t start = series.size();
    while (start > 0 && series[start - 1].date >= first) --start;
    return std::span(series).subspan(start);
}

std::optional<CompleteDaysSummary> summarizeCompleteDays(std::span<const DailyEarning> days) {
    if (days.size() < 2) return std::nullopt;
    const auto complete = days.first(days.size() - 1);
    CompleteDaysSummary summary{0, complete.front(), complete.front()};
    double sum = 0;
    for (const DailyEarning& day : complete) {
        sum += day.earnings;
        if (day.earnings > summary.best.earnings) summary.best = day;
        if (day.earnings < summary.worst.earnings) summary.worst = day;
    }
    summary.average = sum / static_cast<double>(complete.size());
    return summary;
}

std::optional<double> monthEndProjection(const std::vector<DailyEarning>& series) {
    if (series.empty()) return std::nullopt;
    const auto reference = parseDateKey(series.back().date);
    if (!reference) return std::nullopt;
    const std::string& referenceKey = series.back().date;
    const std::string month = referenceKey.substr(0, 7);  // "yyyy-MM"
    const std::string averageFrom = keyFromLast(series, -kProjectionAverageDays);

    double monthSoFar = 0;
    double recentSum = 0;
    int recentDays = 0;
    for (const DailyEarning& day : std::span(series).first(series.size() - 1)) {
        if (day.date.starts_with(month)) monthSoFar += day.earnings;
        if (day.date >= averageFrom) {
            recentSum += day.earnings;
            ++recentDays;
        }
    }
    if (recentDays == 0) return std::nullopt;
    const double average = recentSum / recentDays;
    const auto lastOfMonth = std::chrono::year_month_day_last{
        reference->year(), std::chrono::month_day_last{reference->month()}};
    const auto daysLeft =
        static_cast<unsigned>(lastOfMonth.day()) - static_cast<unsigned>(reference->day()) + 1;
    // A strong day in progress can already be worth more than the average day it gives way to;
    // the month never ends below what it holds so far.
    const double monthToDate = monthSoFar + series.back().earnings;
    return std::max(monthSoFar + average * static_cast<double>(daysLeft), monthToDate);
}

}  // namespace ambrel
