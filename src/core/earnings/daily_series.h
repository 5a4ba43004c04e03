#pragma once

// The daily report's estimated earnings as a series of days, which the snapshot keeps so the
// views can draw the month's trend and project its end without another request.

#include <chrono>
#include <vector>

#include "core/earnings/daily_report.h"
#include "core/earnings/snapshot.h"

namespace ambrel {

// The most days a series holds: the 35 days of the daily report.
inline constexpr int kDailySeriesDays = 35;

// One entry per day from `firstDay` (the report's start date) to `referenceDay`, oldest first,
// with the day's earnings or 0 when the report has no row for it.
//
// The series ends at the reference day, also when that is not the report's end date: without a
// row for today yet, the report's start date is still 34 days before today, so the series holds
// the 34 days that the report covered and no day outside it (whose 0 would be a guess). A
// reference day outside the report's range cannot come from a well-behaved report; the series
// then still ends there and holds at most the kDailySeriesDays days before it that are not
// before `firstDay`, so it never grows with the distance between the two days.
std::vector<DailyEarning> dailyEarningsSeries(const DailyMap& daily,
                                              std::chrono::year_month_day firstDay,
                                              std::chrono::year_month_day referenceDay);

}  // namespace ambrel
