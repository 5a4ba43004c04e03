// The daily series a refresh keeps: every day of the report up to today, 0 for a day without a
// row.

#include "core/earnings/daily_series.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ambrel {
namespace {

using namespace std::chrono;

// 30 April earns 0.5 and day d of May earns d, up to `lastDay`, except the days `missing`.
DailyMap mayReport(unsigned lastDay, std::initializer_list<unsigned> missing = {}) {
    DailyMap daily;
    daily["2026-04-30"].earnings = 0.5;
    for (unsigned d = 1; d <= lastDay; ++d) {
        if (std::ranges::find(missing, d) == missing.end())
            daily[dateKey(2026y / May / day{d})].earnings = d;
    }
    return daily;
}

TEST(DailySeries, RunsFromTheReportStartToToday) {
    const struct {
        const char* name;
        DailyMap daily;
        sys_days now;
        std::size_t size;
        DailyEarning first, last;
        std::vector<DailyEarning> inside;
    } cases[] = {
        {"35 days, a missing day is 0",
         mayReport(21, {18}),
         2026y / May / 21,
         35,
         {"2026-04-17", 0},
         {"2026-05-21", 21},
         {{"2026-04-29", 0}, {"2026-04-30", 0.5}, {"2026-05-17", 17}, {"2026-05-18", 0}}},
        // Today without a row yet is a day of 0, at the series' end as always.
        {"no row yet for today",
         mayReport(20),
         2026y / May / 21,
         35,
         {"2026-04-17", 0},
         {"2026-05-21", 0},
         {{"2026-05-20", 20}}},
        {"across a month start",
         mayReport(3),
         2026y / May / 3,
         35,
         {"2026-03-30", 0},
         {"2026-05-03", 3},
         {{"2026-04-30", 0.5}, {"2026-05-01", 1}}},
        // A row dated after the report's end is no day of the series.
        {"row beyond the report",
         mayReport(31),
         2026y / May / 1,
         35,
         {"2026-03-28", 0},
         {"2026-05-01", 1},
         {{"2026-04-30", 0.5}}},
    };
    for (const auto& c : cases) {
        const auto series = dailyEarningsSeries(c.daily, year_month_day{c.now});
        ASSERT_EQ(series.size(), c.size) << c.name;
        EXPECT_EQ(series.front(), c.first) << c.name;
        EXPECT_EQ(series.back(), c.last) << c.name;
        for (std::size_t i = 1; i < series.size(); ++i) {
            EXPECT_EQ(series[i].date,
                      dateKey(sys_days{*parseDateKey(series[i - 1].date)} + days{1}))
                << c.name << " at " << i;
        }
        for (const DailyEarning& day : c.inside)
            EXPECT_NE(std::ranges::find(series, day), series.end()) << c.name << ": " << day.date;
    }
}

}  // namespace
}  // namespace ambrel
