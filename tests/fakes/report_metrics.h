#pragma once

// The report metrics the fake knows: their header type, the FakeDay field they read and
// how Google writes their values.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_google.h"

namespace ambrel::fakes {

struct ReportMetric {
    std::string_view name;
    std::string_view type;  // METRIC_CURRENCY, METRIC_TALLY or METRIC_RATIO
    double FakeDay::*field;
    int decimals;
};

std::optional<ReportMetric> findMetric(std::string_view name);

// A cell value as Google writes it: a decimal text with the metric's fixed decimals.
std::string metricText(const ReportMetric& metric, double value);

// The totals of some days: counts and money summed, rates recomputed from the sums.
FakeDay totalsOf(const std::vector<FakeDay>& days);
// The per-day means of the counts and money; rates as in the totals.
FakeDay averagesOf(const std::vector<FakeDay>& days);

}  // namespace ambrel::fakes
