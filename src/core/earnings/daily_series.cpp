#include "core/earnings/daily_series.h"

#include <algorithm>

namespace ambrel {

std::vector<DailyEarning> dailyEarningsSeries(const DailyMap& daily,
                                              std::chrono::year_month_day firstDay,
                                              std::chrono::year_month_day referenceDay) {
    using std::chrono::sys_days;
    const sys_days last{referenceDay};
    const sys_days first =
        std::max(sys_days{firstDay}, last - std::chrono::days{kDailySeriesDays - 1});
    std::vector<DailyEarning> series;
    for (sys_days day = first; day <= last; day += std::chrono::days{1}) {
        std::string key = dateKey(day);
        const auto found = daily.find(key);
        series.push_back({std::move(key), found == daily.end() ? 0 : found->second.earnings});
    }
    return series;
}

}  // namespace ambrel
