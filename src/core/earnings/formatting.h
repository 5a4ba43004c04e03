#pragma once

// The single definition of number texts for every view, in the display locale (ICU).

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "core/earnings/snapshot.h"

namespace ambrel {

// Exactly `digits` fraction digits, grouping, half-even rounding.
std::string formatNumber(int digits, double value);
// `value` in percent units (12.5 means 12.5 %); exactly `digits` fraction digits, half up.
std::string formatPercent(int digits, double value);
// Currency style with the ISO code, at most 2 fraction digits.
std::string formatCurrency(std::string_view code, double value);

// A calendar day in the medium date style ("21 May 2026", "21 mai 2026"); the day itself on
// every machine, whatever its time zone.
std::string formatDate(std::chrono::year_month_day day);

std::string valueText(const PerfMetric& metric);
std::string deltaText(MetricKind kind, std::string_view code, double current, double previous);
// "(+12%)"; none when previous is exactly 0.
std::optional<std::string> percentChangeText(double current, double previous);

}  // namespace ambrel
