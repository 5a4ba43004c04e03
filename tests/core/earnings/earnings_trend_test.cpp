// The month-end projection and the trend chart's days, against figures worked out by hand.

#include "core/earnings/earnings_trend.h"

#include <gtest/gtest.h>

#include "core/earnings/daily_report.h"

namespace ambrel {
namespace {

using namespace std::chrono;

// Consecutive days ending at `last`, earning `values` (oldest first).
std::vector<DailyEarning> daysUntil(year_month_day last, std::vector<double> values) {
    std::vector<DailyEarning> series;
    const sys_days first = sys_days{last} - days{static_cast<int>(values.size()) - 1};
    for (std::size_t i = 0; i < values.size(); ++i)
        series.push_back({dateKey(first + days{static_cast<int>(i)}), values[i]});
    return series;
}

// `count` days of `value`, then more.
std::vector<double> repeat(int count, double value, std::vector<double> then = {}) {
    std::vector<double> values(static_cast<std::size_t>(count), value);
    values.insert(values.end(), then.begin(), then.end());
    return values;
}

TEST(MonthEndProjection, MonthSoFarPlusTheWeeksAveragePerRemainingDay) {
    const struct {
        const char* name;
        std::vector<DailyEarning> series;
        std::optional<double> projection;
    } cases[] = {
        // M = 13 × 3 + 7 × 4 = 67 (1–20 May), A = 4, D = 11 (21–31 May): 67 + 44.
        {"31-day month",
         daysUntil(2026y / May / 21, repeat(14, 2, repeat(13, 3, repeat(7, 4, {1.5})))), 111},
        // M = 22 × 2 + 7 × 5 = 79, A = 5, D = 1: the last day counts as one average day.
        {"last day of a 30-day month",
         daysUntil(2026y / June / 30, repeat(29, 2, repeat(7, 5, {0.25}))), 84},
        // M = 2 × 10 + 7 × 1 = 27 (1–9 February), A = 1, D = 19 (10–28 February).
        {"28-day month",
         daysUntil(2026y / February / 10, repeat(20, 4, {10, 10, 1, 1, 1, 1, 1, 1, 1, 9})), 46},
        // M = 0, A = 3 (25–31 January), D = 28.
        {"first day of a 28-day month",
         daysUntil(2026y / February / 1, repeat(28, 1, repeat(7, 3, {6}))), 84},
        // M = 23 × 2 + 7 × 3 = 67, A = 3, D = 1.
        {"last day of a 31-day month",
         daysUntil(2026y / January / 31, repeat(4, 9, repeat(23, 2, repeat(7, 3, {2})))), 70},
        // A strong day in progress on the last day: 67 + 3 would fall below the 67 + 12 the
        // month already holds.
        {"strong last day",
         daysUntil(2026y / January / 31, repeat(4, 9, repeat(23, 2, repeat(7, 3, {12})))), 79},
        // 1–28 February 2024: M = 27 × 2 = 54, A = 2, D = 2 (28 and 29 February).
        {"leap February", daysUntil(2024y / February / 28, repeat(34, 2, {1})), 58},
        // Days without a row count 0: 15 and 18 May. M = 20 × 7 − 14 = 126, A = 5 × 7 / 7 = 5,
        // D = 11.
        {"gaps", daysUntil(2026y / May / 21, repeat(20, 7, {7, 0, 7, 7, 0, 7, 7, 3})), 181},
        // A short series averages the complete days it holds: M = 10, A = 5, D = 11.
        {"fewer than 7 complete days", daysUntil(2026y / May / 21, {4, 6, 10}), 65},
        {"no complete day", daysUntil(2026y / May / 21, {8}), std::nullopt},
        {"empty series", {}, std::nullopt},
        // Complete days all older than a week leave nothing to average.
        {"last complete day a week and a half ago",
         {{"2026-05-10", 9}, {"2026-05-21", 1}},
         std::nullopt},
    };
    for (const auto& c : cases) {
        const auto projection = monthEndProjection(c.series);
        ASSERT_EQ(projection.has_value(), c.projection.has_value()) << c.name;
        if (projection) {
            EXPECT_DOUBLE_EQ(*projection, *c.projection) << c.name;
        }
    }
}

TEST(TrendChart, ThirtyDaysEndingAtTheReferenceDayAndTheirCompleteDays) {
    // 35 days ending 21 May: 17–21 April earn 50, then 1, 2, … 30 (21 May).
    std::vector<double> values = repeat(5, 50);
    for (int i = 1; i <= 30; ++i) values.push_back(i);
    values[20] = 1;  // 7 May earns 1 as 22 April does: the earlier one is the worst day
    const auto series = daysUntil(2026y / May / 21, values);

    const auto chart = chartDays(series);
    ASSERT_EQ(chart.size(), 30u);
    EXPECT_EQ(chart.front(), (DailyEarning{"2026-04-22", 1}));
    EXPECT_EQ(chart.back(), (DailyEarning{"2026-05-21", 30}));

    const auto summary = summarizeCompleteDays(chart);
    ASSERT_TRUE(summary);
    EXPECT_DOUBLE_EQ(summary->average, (29.0 * 30 / 2 - 16 + 1) / 29);  // 1..29, 16 made 1
    EXPECT_EQ(summary->best, (DailyEarning{"2026-05-20", 29}));
    EXPECT_EQ(summary->worst, (DailyEarning{"2026-04-22", 1}));

    EXPECT_FALSE(summarizeCompleteDays(chartDays(daysUntil(2026y / May / 21, {5}))));
    EXPECT_TRUE(chartDays({}).empty());
}

}  // namespace
}  // namespace ambrel
