#include "core/earnings/snapshot.h"

#include <cmath>
#include <utility>

#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/platform/json.h"
#include "core/platform/localization.h"

namespace ambrel {
namespace {

using json::Json;

constexpr const char* kWhat = "earnings snapshot";

// Member tables: the JSON keys are the field names, so one table drives both directions and
// a field can never be written under one name and read under another.
constexpr std::pair<const char*, double PerfValues::*> kPerfFields[] = {
    {"pageViews", &PerfValues::pageViews},
    {"rpm", &PerfValues::rpm},
    {"impressions", &PerfValues::impressions},
    {"clicks", &PerfValues::clicks},
    {"cpc", &PerfValues::cpc},
    {"ctr", &PerfValues::ctr},
};

constexpr std::pair<const char*, double AmbrelSnapshot::*> kNumberFields[] = {
    {"today", &AmbrelSnapshot::today},
    {"yesterday", &AmbrelSnapshot::yesterday},
    {"yesterdayPrevWeek", &AmbrelSnapshot::yesterdayPrevWeek},
    {"last7", &AmbrelSnapshot::last7},
    {"prev7", &AmbrelSnapshot::prev7},
    {"monthToDate", &AmbrelSnapshot::monthToDate},
    {"monthLastYear", &AmbrelSnapshot::monthLastYear},
};

constexpr std::pair<const char*, PerfValues AmbrelSnapshot::*> kPerfMembers[] = {
    {"perfYesterday", &AmbrelSnapshot::perfYesterday},
    {"perfPrevWeek", &AmbrelSnapshot::perfPrevWeek},
};

constexpr std::pair<const char*, std::optional<std::string> AmbrelSnapshot::*> kTextFields[] = {
    {"balance", &AmbrelSnapshot::balance},
    {"lastPaymentAmount", &AmbrelSnapshot::lastPaymentAmount},
    {"lastPaymentDateLabel", &AmbrelSnapshot::lastPaymentDateLabel},
    {"timeZone", &AmbrelSnapshot::timeZone},
};

// Far enough from 2001 for any real refresh, near enough that Instant arithmetic on the
// result (ages, reload dates) stays inside the int64 nanosecond range of system_clock.
constexpr double kStoredInstantLimitSeconds = 4e9;

Json encodePerf(const PerfValues& values) {
    Json object = Json::object();
    for (const auto& [key, field] : kPerfFields) object[key] = values.*field;
    return object;
}

json::Decoded<PerfValues> decodePerf(const Json& parent, const char* member) {
    auto object = json::requiredObject(parent, member, kWhat);
    if (!object) return std::unexpected(object.error());
    PerfValues values;
    for (const auto& [key, field] : kPerfFields) {
        auto number = json::requiredNumber(**object, key, member);
        if (!number) return std::unexpected(number.error());
        values.*field = *number;
    }
    return values;
}

Json encodeSeries(const std::vector<DailyEarning>& series) {
    Json array = Json::array();
    for (const DailyEarning& day : series)
        array.push_back(Json{{"date", day.date}, {"earnings", day.earnings}});
    return array;
}

// Absent in snapshots cached before the series was kept: those read with an empty one. The
// views take the last day as the reference day and find days by date, so dates must name real
// days, each after the one before.
json::Decoded<std::vector<DailyEarning>> decodeSeries(const Json& parent) {
    constexpr const char* kMember = "dailyEarnings";
    auto array = json::optionalArray(parent, kMember, kWhat);
    if (!array) return std::unexpected(array.error());
    std::vector<DailyEarning> series;
    if (*array == nullptr) return series;
    for (const Json& element : **array) {
        if (!element.is_object())
            return std::unexpected(DecodingError{std::string(kWhat) + ": an element of \"" +
                                                 kMember + "\" is not an object"});
        auto date = json::requiredString(element, "date", kMember);
        if (!date) return std::unexpected(date.error());
        auto earnings = json::requiredNumber(element, "earnings", kMember);
        if (!earnings) return std::unexpected(earnings.error());
        if (!parseDateKey(*date) || (!series.empty() && *date <= series.back().date))
            return std::unexpected(DecodingError{std::string(kWhat) + ": \"" + kMember +
                                                 "\" has the date \"" + *date +
                                                 "\" out of order or not a day"});
        series.push_back({std::move(*date), *earnings});
    }
    return series;
}

json::Decoded<AmbrelSnapshot> decodeFields(const Json& object) {
    AmbrelSnapshot snapshot;
    for (const auto& [key, field] : kNumberFields) {
        auto number = json::requiredNumber(object, key, kWhat);
        if (!number) return std::unexpected(number.error());
        snapshot.*field = *number;
    }
    for (const auto& [key, field] : kPerfMembers) {
        auto perf = decodePerf(object, key);
        if (!perf) return std::unexpected(perf.error());
        snapshot.*field = *perf;
    }
    for (const auto& [key, field] : kTextFields) {
        auto text = json::optionalString(object, key, kWhat);
        if (!text) return std::unexpected(text.error());
        snapshot.*field = std::move(*text);
    }
    auto currency = json::requiredString(object, "currency", kWhat);
    if (!currency) return std::unexpected(currency.error());
    snapshot.currency = std::move(*currency);

    auto seconds = json::requiredNumber(object, "updatedAt", kWhat);
    if (!seconds) return std::unexpected(seconds.error());
    auto updatedAt = storedInstant(*seconds);
    if (!updatedAt)
        return std::unexpected(
            DecodingError{std::string(kWhat) + ": member \"updatedAt\" is not a usable date"});
    snapshot.updatedAt = *updatedAt;

    auto series = decodeSeries(object);
    if (!series) return std::unexpected(series.error());
    snapshot.dailyEarnings = std::move(*series);
    return snapshot;
}

}  // namespace

std::optional<Instant> storedInstant(double secondsSinceReference) {
    if (!std::isfinite(secondsSinceReference) ||
        std::abs(secondsSinceReference) > kStoredInstantLimitSeconds)
        return std::nullopt;
    return instantFromReferenceSeconds(secondsSinceReference);
}

std::vector<EarningsCard> AmbrelSnapshot::cards() const {
    return {
        {"today", tr("Today"), today, std::nullopt, std::nullopt, currency},
        {"yesterday", tr("Yesterday"), yesterday, Comparison{yesterday, yesterdayPrevWeek},
         tr("vs same weekday last week"), currency},
        {"last7", tr("Last 7 days"), last7, Comparison{last7, prev7}, tr("vs previous 7 days"),
         currency},
        {"month", tr("This month"), monthToDate, Comparison{monthToDate, monthLastYear},
         tr("vs same days last year"), currency},
    };
}

std::vector<PerfMetric> AmbrelSnapshot::perfMetrics() const {
    auto metric = [this](const char* id, const char* title, MetricKind kind,
                         double PerfValues::*field) {
        return PerfMetric{
            id, tr(title), kind, {perfYesterday.*field, perfPrevWeek.*field}, currency};
    };
    return {
        metric("pv", "Page views", MetricKind::count, &PerfValues::pageViews),
        metric("rpm", "Page RPM", MetricKind::currency, &PerfValues::rpm),
        metric("imp", "Impressions", MetricKind::count, &PerfValues::impressions),
        metric("clicks", "Clicks", MetricKind::count, &PerfValues::clicks),
        metric("cpc", "CPC", MetricKind::currency, &PerfValues::cpc),
        metric("ctr", "Page CTR", MetricKind::percent, &PerfValues::ctr),
    };
}

Result<std::string> encodeSnapshot(const AmbrelSnapshot& snapshot) {
    Json object = Json::object();
    for (const auto& [key, field] : kNumberFields) object[key] = snapshot.*field;
    for (const auto& [key, field] : kPerfMembers) object[key] = encodePerf(snapshot.*field);
    // Absent texts are left out rather than written as null.
    for (const auto& [key, field] : kTextFields)
        if (const auto& text = snapshot.*field) object[key] = *text;
    object["currency"] = snapshot.currency;
    object["updatedAt"] = secondsSinceReferenceDate(snapshot.updatedAt);
    object["dailyEarnings"] = encodeSeries(snapshot.dailyEarnings);

    auto bytes = json::dump(object, kWhat);
    if (!bytes) return std::unexpected(Error{bytes.error()});
    return std::move(*bytes);
}

Result<AmbrelSnapshot> decodeSnapshot(std::string_view bytes) {
    auto object = json::parseObject(bytes, kWhat);
    if (!object) return std::unexpected(Error{object.error()});
    auto snapshot = decodeFields(*object);
    if (!snapshot) return std::unexpected(Error{snapshot.error()});
    return std::move(*snapshot);
}

void AmbrelSnapshot::save(Defaults& defaults, const std::optional<AmbrelSnapshot>& snapshot) {
    // A snapshot that cannot be written must not leave an older one standing in for it.
    if (!snapshot) {
        defaults.remove(kSnapshotKey);
        return;
    }
    auto bytes = encodeSnapshot(*snapshot);
    if (!bytes) {
        defaults.remove(kSnapshotKey);
        return;
    }
    defaults.set(kSnapshotKey, *bytes);
}

std::optional<AmbrelSnapshot> AmbrelSnapshot::load(const Defaults& defaults) {
    auto bytes = defaults.data(kSnapshotKey);
    if (!bytes) return std::nullopt;
    auto snapshot = decodeSnapshot(*bytes);
    if (!snapshot) return std::nullopt;
    return std::move(*snapshot);
}

}  // namespace ambrel
