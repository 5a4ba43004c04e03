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

// One entry for each day of the report that ends on `today` (reportStartDate(today) to today),
// oldest first, with the day's earnings or 0 when the report has no row for it: Google leaves
// days without logged events out, and today has none before its first event.
std::vector<DailyEarning> dailyEarningsSeries(const DailyMap& daily,
                                              std::chrono::year_month_day today);

}  // namespace ambrel
