#include "core/earnings/snapshot.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>

#include "core/earnings/earnings_store.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

using nlohmann::json;

AmbrelSnapshot fullSnapshot() {
    AmbrelSnapshot s;
    s.today = 1.5;
    s.yesterday = 2.25;
    s.yesterdayPrevWeek = 3;
    s.last7 = 14.5;
    s.prev7 = 12;
    s.monthToDate = 40.75;
    s.monthLastYear = 38;
    s.perfYesterday = {1200, 1.875, 3400, 17, 0.125, 1.53};
    s.perfPrevWeek = {1100, 1.5, 3000, 15, 0.1, 1.25};
    s.balance = "€1,234.56";
    s.lastPaymentAmount = "€100.00";
    s.lastPaymentDateLabel = "May 21, 2026";
    s.currency = "EUR";
    s.updatedAt = instantFromReferenceSeconds(800000000.25);
    s.dailyEarnings = {{"2026-05-20", 2.25}, {"2026-05-21", 1.5}};
    return s;
}

TEST(Snapshot, CardsFollowTheTable) {
    auto cards = fullSnapshot().cards();
    ASSERT_EQ(cards.size(), 4u);
    const struct {
        const char* id;
        const char* title;
        double value;
        std::optional<Comparison> comparison;
        std::optional<std::string> label;
    } expected[] = {
        {"today", "Today", 1.5, std::nullopt, std::nullopt},
        {"yesterday", "Yesterday", 2.25, Comparison{2.25, 3}, "vs same weekday last week"},
        {"last7", "Last 7 days", 14.5, Comparison{14.5, 12}, "vs previous 7 days"},
        {"month", "This month", 40.75, Comparison{40.75, 38}, "vs same days last year"},
    };
    for (std::size_t i = 0; i < cards.size(); ++i) {
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(cards[i].id, expected[i].id);
        EXPECT_EQ(cards[i].title, expected[i].title);
        EXPECT_EQ(cards[i].value, expected[i].value);
        EXPECT_EQ(cards[i].comparison, expected[i].comparison);
        EXPECT_EQ(cards[i].comparisonLabel, expected[i].label);
        EXPECT_EQ(cards[i].currency, "EUR");
    }
}

TEST(Snapshot, PerfMetricsCompareYesterdayWithAWeekEarlier) {
    auto metrics = fullSnapshot().perfMetrics();
    ASSERT_EQ(metrics.size(), 6u);
    const struct {
        const char* id;
        const char* title;
        MetricKind kind;
        Comparison comparison;
    } expected[] = {
        {"pv", "Page views", MetricKind::count, {1200, 1100}},
        {"rpm", "Page RPM", MetricKind::currency, {1.875, 1.5}},
        {"imp", "Impressions", MetricKind::count, {3400, 3000}},
        {"clicks", "Clicks", MetricKind::count, {17, 15}},
        {"cpc", "CPC", MetricKind::currency, {0.125, 0.1}},
        {"ctr", "Page CTR", MetricKind::percent, {1.53, 1.25}},
    };
    for (std::size_t i = 0; i < metrics.size(); ++i) {
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(metrics[i].id, expected[i].id);
        EXPECT_EQ(metrics[i].title, expected[i].title);
        EXPECT_EQ(metrics[i].kind, expected[i].kind);
        EXPECT_EQ(metrics[i].comparison, expected[i].comparison);
        EXPECT_EQ(metrics[i].currency, "EUR");
    }
}

TEST(SnapshotJson, RoundTripsAndLeavesAbsentTextsOut) {
    const AmbrelSnapshot full = fullSnapshot();
    AmbrelSnapshot bare = full;
    bare.balance.reset();
    bare.lastPaymentAmount.reset();
    bare.lastPaymentDateLabel.reset();
    for (const AmbrelSnapshot* snapshot : std::array<const AmbrelSnapshot*, 2>{&full, &bare}) {
        auto bytes = encodeSnapshot(*snapshot);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(decodeSnapshot(*bytes).value(), *snapshot) << *bytes;
    }
    auto object = json::parse(*encodeSnapshot(bare));
    for (const char* key : {"balance", "lastPaymentAmount", "lastPaymentDateLabel"})
        EXPECT_FALSE(object.contains(key)) << key << " must be left out, not written as null";
    EXPECT_EQ(object["perfYesterday"]["ctr"], 1.53);
    EXPECT_EQ(object["updatedAt"], 800000000.25);
    EXPECT_EQ(object["dailyEarnings"], json::parse(R"([{"date":"2026-05-20","earnings":2.25},
                                                       {"date":"2026-05-21","earnings":1.5}])"));

    bare.updatedAt = Instant(std::chrono::seconds(978307200));  // 2001-01-01T00:00:00Z
    EXPECT_EQ(json::parse(*encodeSnapshot(bare))["updatedAt"], 0);
    bare.updatedAt = Instant();  // 1970-01-01T00:00:00Z
    EXPECT_EQ(json::parse(*encodeSnapshot(bare))["updatedAt"], -978307200);
}

// Stored dates carry 17 significant digits; the instant read from one must write the same
// digits back, or every save of a snapshot read from the cache would move its date.
TEST(SnapshotJson, DatesSurviveBeingReadAndWrittenAgain) {
    for (double stored : {1123577.9824475981, 133763.22418061271, -4279163.6929363767}) {
        AmbrelSnapshot snapshot = fullSnapshot();
        snapshot.updatedAt = storedInstant(stored).value();
        auto again = decodeSnapshot(encodeSnapshot(snapshot).value());
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->updatedAt, snapshot.updatedAt) << stored;
    }
}

TEST(SnapshotJson, RefusesToWriteNumbersThatAreNotFinite) {
    for (double bad : {std::numeric_limits<double>::infinity(), std::nan("")}) {
        AmbrelSnapshot top = fullSnapshot(), nested = fullSnapshot();
        top.today = bad;
        nested.perfPrevWeek.cpc = bad;
        EXPECT_FALSE(encodeSnapshot(top).has_value());
        EXPECT_FALSE(encodeSnapshot(nested).has_value());
    }
}

TEST(SnapshotJson, ReadsOnlyCompleteWellTypedObjects) {
    const json valid = json::parse(*encodeSnapshot(fullSnapshot()));
    const struct {
        const char* change;
        std::function<void(json&)> edit;
        bool decodes;
    } cases[] = {
        {"null balance is absent", [](json& j) { j["balance"] = nullptr; }, true},
        {"unknown member ignored",
         [](json& j) {
             j["extra"] = {1, 2};
         },
         true},
        {"integer number", [](json& j) { j["today"] = 3; }, true},
        {"missing updatedAt", [](json& j) { j.erase("updatedAt"); }, false},
        {"null updatedAt", [](json& j) { j["updatedAt"] = nullptr; }, false},
        {"perfPrevWeek without ctr", [](json& j) { j["perfPrevWeek"].erase("ctr"); }, false},
        {"missing currency", [](json& j) { j.erase("currency"); }, false},
        {"missing monthLastYear", [](json& j) { j.erase("monthLastYear"); }, false},
        {"number as text", [](json& j) { j["last7"] = "14.5"; }, false},
        {"balance as number", [](json& j) { j["balance"] = 12; }, false},
        {"perfYesterday as array", [](json& j) { j["perfYesterday"] = json::array(); }, false},
        // A date the clock cannot hold is damage, not a time.
        {"updatedAt out of range", [](json& j) { j["updatedAt"] = 1e300; }, false},
        // Cached before the daily series was kept.
        {"no dailyEarnings", [](json& j) { j.erase("dailyEarnings"); }, true},
        {"null dailyEarnings", [](json& j) { j["dailyEarnings"] = nullptr; }, true},
        {"dailyEarnings as object", [](json& j) { j["dailyEarnings"] = json::object(); }, false},
        {"day without earnings", [](json& j) { j["dailyEarnings"][0].erase("earnings"); }, false},
        {"day as number", [](json& j) { j["dailyEarnings"][0] = 3; }, false},
        {"days out of order",
         [](json& j) { std::swap(j["dailyEarnings"][0], j["dailyEarnings"][1]); }, false},
        {"date not a day", [](json& j) { j["dailyEarnings"][0]["date"] = "2026-02-30"; }, false},
    };
    for (const auto& c : cases) {
        json edited = valid;
        c.edit(edited);
        auto decoded = decodeSnapshot(edited.dump());
        EXPECT_EQ(decoded.has_value(), c.decodes) << c.change;
    }
    json nullBalance = valid;
    nullBalance["balance"] = nullptr;
    EXPECT_EQ(decodeSnapshot(nullBalance.dump()).value().balance, std::nullopt);
    json older = valid;
    older.erase("dailyEarnings");
    EXPECT_TRUE(decodeSnapshot(older.dump()).value().dailyEarnings.empty());
    for (const char* bytes : {"", "[]", "{", "null", "\"snapshot\""})
        EXPECT_FALSE(decodeSnapshot(bytes).has_value()) << bytes;
}

TEST(SnapshotStore, SavesLoadsAndRemoves) {
    testing::TempDir dir;
    Defaults defaults(dir.path());
    AmbrelSnapshot::save(defaults, fullSnapshot());
    EXPECT_EQ(AmbrelSnapshot::load(defaults), fullSnapshot());
    AmbrelSnapshot::save(defaults, std::nullopt);
    EXPECT_EQ(AmbrelSnapshot::load(defaults), std::nullopt);

    // An unwritable snapshot must not leave an older one standing in for it.
    AmbrelSnapshot::save(defaults, fullSnapshot());
    AmbrelSnapshot broken = fullSnapshot();
    broken.monthToDate = std::nan("");
    AmbrelSnapshot::save(defaults, broken);
    EXPECT_FALSE(defaults.data(kSnapshotKey).has_value());

    ASSERT_TRUE(defaults.set(kSnapshotKey, "{\"today\": 1}"));
    EXPECT_EQ(AmbrelSnapshot::load(defaults), std::nullopt);
}

}  // namespace
}  // namespace ambrel
