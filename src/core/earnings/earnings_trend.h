#pragma once

// What the views read from a snapshot's daily series (daily_series.h): the days of the trend
// chart, the average, best and worst of its complete days, and where the month will end. The
// series' last day is the reference day, still in progress, so its figure is partial; every
// earlier day is complete.

#include <optional>
#include <span>
#include <vector>

#include "core/earnings/snapshot.h"

namespace ambrel {

// Days the trend chart shows, and complete days the projection averages.
inline constexpr int kTrendChartDays = 30;
inline constexpr int kProjectionAverageDays = 7;

// The days of the series within the kTrendChartDays days ending at the reference day.
std::span<const DailyEarning> chartDays(const std::vector<DailyEarning>& series);

struct CompleteDaysSummary {
    double average = 0;
    DailyEarning best;   // the earliest of equal highs
    DailyEarning worst;  // the earliest of equal lows
};

// Over every day of `days` but the last (the day in progress); none when that leaves no day.
std::optional<CompleteDaysSummary> summarizeCompleteDays(std::span<const DailyEarning> days);

// Where the reference day's month will end: M + A × D, where M is the sum of the month's days
// before the reference day, A the average of the complete days among the kProjectionAverageDays
// days before it that lie in the series, and D the number of days from the reference day to the
// month's end, the reference day included. So the partial figure of the day in progress gives
// way to one average day, and so does every day still to come; but the projection is never
// below the month to date, the day in progress included. None when no complete day lies
// in those 7 days, which is when the series holds no complete day at all. Only a series the
// refresh refuses to store (daily_report.h) gives a value that is not finite.
std::optional<double> monthEndProjection(const std::vector<DailyEarning>& series);

}  // namespace ambrel
