#pragma once

// The trend's texts, shared by the dashboard and the large widget face's description: in the
// current language, with dates and amounts from the display formatting.

#include <optional>
#include <string>
#include <string_view>

#include "core/earnings/earnings_trend.h"

namespace ambrel {

// "Projected this month: €312.40"
std::string projectionText(std::string_view currency, double projection);

// "104% of the monthly objective"; none when no monthly objective is set (0 or less).
std::optional<std::string> monthlyObjectiveShareText(double projection, double monthlyGoal);

// A series day's "yyyy-MM-dd" key as a medium date ("21 May 2026").
std::string dayText(std::string_view dateKey);

// "Average €10.12 a day. Best day: 21 May 2026, €15.30. Worst day: 3 May 2026, €2.10."
std::string summaryText(const CompleteDaysSummary& summary, std::string_view currency);

}  // namespace ambrel
