#include "fakes/fake_report.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <expected>
#include <map>

#include "fakes/report_metrics.h"
#include "fakes/url_form.h"

namespace ambrel::fakes {

namespace {

using std::chrono::year_month_day;

struct ReportQuery {
    year_month_day start;
    year_month_day end;
    std::vector<ReportMetric> metrics;
    bool byDate = false;
};

FakeAnswer invalidArgument(const std::string& message) {
    return googleError(400, "INVALID_ARGUMENT", message);
}

std::optional<int> intValue(const Pairs& query, const std::string& name) {
    const auto text = findValue(query, name);
    if (!text || text->empty()) return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc{} || end != text->data() + text->size()) return std::nullopt;
    return value;
}

std::expected<year_month_day, FakeAnswer> dateValue(const Pairs& query, const std::string& prefix) {
    const auto year = intValue(query, prefix + ".year");
    const auto month = intValue(query, prefix + ".month");
    const auto day = intValue(query, prefix + ".day");
    if (!year || !month || !day) {
        return std::unexpected(invalidArgument(
            "Request contains an invalid argument: " + prefix +
            ".year, .month and .day are required as integers with dateRange CUSTOM."));
    }
    const year_month_day date{std::chrono::year{*year},
                              std::chrono::month{static_cast<unsigned>(*month)},
                              std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) {
        return std::unexpected(invalidArgument("Invalid date given in " + prefix + "."));
    }
    return date;
}

std::expected<std::vector<ReportMetric>, FakeAnswer> metricsOf(const Pairs& query) {
    std::vector<ReportMetric> metrics;
    for (const auto& [name, value] : query) {
        if (name != "metrics") continue;
        const auto metric = findMetric(value);
        if (!metric) {
            return std::unexpected(invalidArgument(
                "Invalid value at 'metrics[" + std::to_string(metrics.size()) +
                "]' (type.googleapis.com/google.ads.adsense.v2.Metric), \"" + value + "\""));
        }
        metrics.push_back(*metric);
    }
    if (metrics.empty())
        return std::unexpected(invalidArgument("At least one metric is required."));
    return metrics;
}

std::expected<bool, FakeAnswer> byDate(const Pairs& query) {
    bool date = false;
    for (const auto& [name, value] : query) {
        if (name != "dimensions") continue;
        // Other dimensions exist in the API; the fake keeps daily figures only.
        if (value != "DATE" || date) {
            return std::unexpected(
                invalidArgument("The fake Google server answers the single dimension DATE, not \"" +
                                value + "\"."));
        }
        date = true;
    }
    return date;
}

std::expected<ReportQuery, FakeAnswer> parseReportQuery(const Pairs& query) {
    const auto range = findValue(query, "dateRange");
    if (range && *range != "CUSTOM") {
        return std::unexpected(invalidArgument(
            "The fake Google server answers dateRange CUSTOM only, not \"" + *range + "\"."));
    }
    ReportQuery parsed;
    auto start = dateValue(query, "startDate");
    if (!start) return std::unexpected(start.error());
    auto end = dateValue(query, "endDate");
    if (!end) return std::unexpected(end.error());
    if (*end < *start) return std::unexpected(invalidArgument("Start date is after end date."));
    auto metrics = metricsOf(query);
    if (!metrics) return std::unexpected(metrics.error());
    auto date = byDate(query);
    if (!date) return std::unexpected(date.error());
    return ReportQuery{*start, *end, std::move(*metrics), *date};
}

std::string dateKey(year_month_day date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

Json dateObject(year_month_day date) {
    Json object;
    object["year"] = static_cast<int>(date.year());
    object["month"] = static_cast<unsigned>(date.month());
    object["day"] = static_cast<unsigned>(date.day());
    return object;
}

// The configured days inside the range, ascending, one per date (the last given wins).
std::vector<FakeDay> daysInRange(const std::vector<FakeDay>& days, const ReportQuery& query) {
    const auto first = dateKey(query.start);
    const auto last = dateKey(query.end);
    std::map<std::string, FakeDay> byKey;
    for (const auto& day : days) {
        if (day.date >= first && day.date <= last) byKey[day.date] = day;
    }
    std::vector<FakeDay> inRange;
    for (auto& [key, day] : byKey) inRange.push_back(day);
    return inRange;
}

Json headersOf(const ReportQuery& query, const std::string& currency) {
    Json headers = Json::array();
    if (query.byDate) headers.push_back({{"name", "DATE"}, {"type", "DIMENSION"}});
    for (const auto& metric : query.metrics) {
        Json header{{"name", metric.name}, {"type", metric.type}};
        if (metric.type == "METRIC_CURRENCY") header["currencyCode"] = currency;
        headers.push_back(header);
    }
    return headers;
}

// One row; `date` is the DATE cell, or nothing for totals and averages, whose dimension
// cells Google leaves empty.
Json rowOf(const ReportQuery& query, const FakeDay& values, std::optional<std::string> date) {
    Json cells = Json::array();
    if (query.byDate) cells.push_back(date ? Json{{"value", *date}} : Json::object());
    for (const auto& metric : query.metrics) {
        cells.push_back({{"value", metricText(metric, values.*metric.field)}});
    }
    return Json{{"cells", cells}};
}

}  // namespace

FakeAnswer answerReport(const Pairs& queryItems, const std::vector<FakeDay>& days,
                        const std::string& currency) {
    const auto query = parseReportQuery(queryItems);
    if (!query) return query.error();
    const auto matched = daysInRange(days, *query);

    Json report;
    if (query->byDate && !matched.empty()) {
        report["totalMatchedRows"] = std::to_string(matched.size());
    }
    report["headers"] = headersOf(*query, currency);
    if (query->byDate && !matched.empty()) {
        Json rows = Json::array();
        for (const auto& day : matched) rows.push_back(rowOf(*query, day, day.date));
        report["rows"] = rows;
    }
    // Without a dimension the totals are the whole answer; with one, a range without data
    // comes back as headers only.
    if (!query->byDate || !matched.empty()) {
        report["totals"] = rowOf(*query, totalsOf(matched), std::nullopt);
        report["averages"] = rowOf(*query, averagesOf(matched), std::nullopt);
    }
    report["startDate"] = dateObject(query->start);
    report["endDate"] = dateObject(query->end);
    return jsonAnswer(200, report);
}

}  // namespace ambrel::fakes
