#pragma once

// The one record that carries every figure the dashboard and the widget show, the small value
// types around it, its JSON form and the two derived lists the views draw.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/platform/clock.h"
#include "core/platform/defaults.h"

namespace ambrel {

struct PerfValues {
    double pageViews = 0;
    double rpm = 0;
    double impressions = 0;
    double clicks = 0;
    double cpc = 0;
    double ctr = 0;  // percent: 4.5 means 4.5 %

    bool operator==(const PerfValues&) const = default;
};

// One day's row of the daily report; a day without a row is all zeros.
struct DayMetrics {
    double earnings = 0;
    double pageViews = 0;
    double rpm = 0;
    double impressions = 0;
    double clicks = 0;
    double cpc = 0;
    double ctr = 0;

    PerfValues perf() const { return {pageViews, rpm, impressions, clicks, cpc, ctr}; }
    bool operator==(const DayMetrics&) const = default;
};

// One day of the daily report's estimated earnings, under its "yyyy-MM-dd" key.
struct DailyEarning {
    std::string date;
    double earnings = 0;

    bool operator==(const DailyEarning&) const = default;
};

struct Comparison {
    double current = 0;
    double previous = 0;

    bool operator==(const Comparison&) const = default;
};

enum class MetricKind { currency, count, percent };

struct EarningsCard {
    std::string id;
    std::string title;
    double value = 0;
    std::optional<Comparison> comparison;
    std::optional<std::string> comparisonLabel;
    std::string currency;
};

struct PerfMetric {
    std::string id;
    std::string title;
    MetricKind kind = MetricKind::count;
    Comparison comparison;
    std::string currency;
};

struct AmbrelSnapshot {
    double today = 0;
    double yesterday = 0;
    double yesterdayPrevWeek = 0;
    double last7 = 0;
    double prev7 = 0;
    double monthToDate = 0;
    double monthLastYear = 0;
    PerfValues perfYesterday;
    PerfValues perfPrevWeek;
    std::optional<std::string> balance;
    std::optional<std::string> lastPaymentAmount;
    std::optional<std::string> lastPaymentDateLabel;
    std::string currency;
    Instant updatedAt;
    // Every day of the daily report up to the reference day, oldest first, a day without a row
    // counting 0 (daily_series.h). The reference day, last, is the day still in progress. Empty
    // for the zero snapshot and for snapshots cached before the series was kept.
    std::vector<DailyEarning> dailyEarnings;
    // The IANA zone of the account whose calendar the report days follow ("Asia/Tokyo"): its
    // midnight ends "today". Absent in snapshots cached before the zone was kept.
    std::optional<std::string> timeZone;

    bool operator==(const AmbrelSnapshot&) const = default;

    // Four revenue cards and six performance rows; titles are looked up in the current locale
    // each time.
    std::vector<EarningsCard> cards() const;
    std::vector<PerfMetric> perfMetrics() const;

    // The cache entry "earnings.snapshot" of the program's own defaults. Saving none, or a
    // snapshot that cannot be encoded, removes the entry.
    static void save(Defaults& defaults, const std::optional<AmbrelSnapshot>& snapshot);
    static std::optional<AmbrelSnapshot> load(const Defaults& defaults);
};

// JSON form: keys are the field names, absent texts (timeZone too) left out, updatedAt in seconds
// since 2001-01-01T00:00:00Z, dailyEarnings an array of {"date", "earnings"}. Encoding fails when a
// number is not finite. A missing (or null) dailyEarnings reads as an empty series; one whose
// dates are not valid days in increasing order does not read.
Result<std::string> encodeSnapshot(const AmbrelSnapshot& snapshot);
Result<AmbrelSnapshot> decodeSnapshot(std::string_view bytes);

// A stored date-time (seconds since 2001-01-01T00:00:00Z) read back as an Instant; none when
// it is not finite or lies more than about 126 years from 2001, which no refresh produces and
// which the clock's nanosecond ticks (and arithmetic on them) could not hold.
std::optional<Instant> storedInstant(double secondsSinceReference);

}  // namespace ambrel
