#include "fakes/report_metrics.h"

#include <array>
#include <charconv>

namespace ambrel::fakes {

namespace {

constexpr std::array metrics{
    ReportMetric{"ESTIMATED_EARNINGS", "METRIC_CURRENCY", &FakeDay::earnings, 2},
    ReportMetric{"PAGE_VIEWS", "METRIC_TALLY", &FakeDay::pageViews, 0},
    ReportMetric{"PAGE_VIEWS_RPM", "METRIC_CURRENCY", &FakeDay::rpm, 2},
    ReportMetric{"IMPRESSIONS", "METRIC_TALLY", &FakeDay::impressions, 0},
    ReportMetric{"CLICKS", "METRIC_TALLY", &FakeDay::clicks, 0},
    ReportMetric{"COST_PER_CLICK", "METRIC_CURRENCY", &FakeDay::cpc, 2},
    ReportMetric{"PAGE_VIEWS_CTR", "METRIC_RATIO", &FakeDay::ctr, 4},
};

double ratio(double numerator, double denominator) {
    return denominator == 0 ? 0 : numerator / denominator;
}

void recomputeRates(FakeDay& day) {
    day.rpm = ratio(day.earnings, day.pageViews) * 1000;
    day.cpc = ratio(day.earnings, day.clicks);
    day.ctr = ratio(day.clicks, day.pageViews);
}

}  // namespace

std::optional<ReportMetric> findMetric(std::string_view name) {
    for (const auto& metric : metrics) {
        if (metric.name == name) return metric;
    }
    return std::nullopt;
}

std::string metricText(const ReportMetric& metric, double value) {
    // Room for the widest fixed form of a double (309 integer digits for 1e308).
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, metric.decimals);
    std::string text(buffer.data(), result.ptr);
    // Rounding can leave "-0.00", which Google never writes.
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

FakeDay totalsOf(const std::vector<FakeDay>& days) {
    FakeDay total;
    for (const auto& day : days) {
        total.earnings += day.earnings;
        total.pageViews += day.pageViews;
        total.impressions += day.impressions;
        total.clicks += day.clicks;
    }
    recomputeRates(total);
    return total;
}

FakeDay averagesOf(const std::vector<FakeDay>& days) {
    FakeDay average = totalsOf(days);
    if (days.empty()) return average;
    const auto count = static_cast<double>(days.size());
    average.earnings /= count;
    average.pageViews /= count;
    average.impressions /= count;
    average.clicks /= count;
    return average;
}

}  // namespace ambrel::fakes
