#include "core/earnings/daily_series.h"

namespace ambrel {

std::vector<DailyEarning> dailyEarningsSeries(const DailyMap& daily,
                                              std::chrono::year_month_day today) {
    using std::chrono::sys_days;
    const sys_days last{today};
    std::vector<DailyEarning> series;
    series.reserve(kDailySeriesDays);
    for (sys_days day{reportStartDate(today)}; day <= last; day += std::chrono::days{1}) {
        std::string key = dateKey(day);
        const auto found = daily.find(key);
        series.push_back({std::move(key), found == daily.end() ? 0 : found->second.earnings});
    }
    return series;
}

}  // namespace ambrel
