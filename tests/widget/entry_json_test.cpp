// The JSON form of widget entries: exactly the agreed members, the snapshot and objectives in
// their stored forms, date-times in seconds since 2001.

#include "widget/entry_json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/platform/json.h"
#include "widget/sample_snapshot.h"

namespace ambrel {
namespace {

using json::Json;

std::set<std::string> keysOf(const Json& object) {
    std::set<std::string> keys;
    for (const auto& [key, value] : object.items()) keys.insert(key);
    return keys;
}

EarningsEntry entryWithoutTexts() {
    AmbrelSnapshot snapshot;
    snapshot.today = 2.75;
    snapshot.perfPrevWeek.ctr = 1.53;
    snapshot.currency = "JPY";
    snapshot.updatedAt = instantFromReferenceSeconds(0);
    return {.date = instantFromReferenceSeconds(100.5),
            .snapshot = snapshot,
            .objectives = {12.5, 400},
            .isConnected = false};
}

TEST(EntryJson, HasExactlyTheEntryMembers) {
    const EarningsEntry entry = entryWithoutTexts();
    auto object = entryJson(entry);
    ASSERT_TRUE(object.has_value());

    EXPECT_EQ(keysOf(*object), (std::set<std::string>{"date", "snapshot", "objectives",
                                                      "isConnected", "needsSignIn", "isSample"}));
    EXPECT_EQ((*object)["date"], 100.5);
    EXPECT_EQ((*object)["isConnected"], false);
    EXPECT_EQ((*object)["objectives"], (Json{{"daily", 12.5}, {"monthly", 400.0}}));
    EXPECT_EQ((*object)["snapshot"]["updatedAt"], 0.0);
    EXPECT_FALSE((*object)["snapshot"].contains("balance"));  // absent texts are left out
}

// The snapshot member is the stored form: it decodes back to the very same snapshot.
TEST(EntryJson, SnapshotMemberIsTheStoredForm) {
    const EarningsEntry entry = entryWithoutTexts();
    auto object = entryJson(entry);
    ASSERT_TRUE(object.has_value());

    auto decoded = decodeSnapshot((*object)["snapshot"].dump());
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, entry.snapshot);
}

TEST(EntryJson, TimelineAddsReloadDate) {
    Timeline timeline{.entry = entryWithoutTexts(),
                      .reloadDate = instantFromReferenceSeconds(1900.5)};
    auto object = timelineJson(timeline);
    ASSERT_TRUE(object.has_value());

    EXPECT_EQ(keysOf(*object),
              (std::set<std::string>{"date", "snapshot", "objectives", "isConnected", "needsSignIn",
                                     "isSample", "reloadDate", "refreshed"}));
    EXPECT_EQ((*object)["reloadDate"], 1900.5);
    EXPECT_EQ((*object)["refreshed"], false);
}

// The sample dates from 1970, before the reference date, so it comes out negative.
TEST(EntryJson, SampleKeepsItsFiguresAndDate) {
    auto object = entryJson({.date = instantFromReferenceSeconds(0),
                             .snapshot = sampleSnapshot(),
                             .objectives = {},
                             .isConnected = true});
    ASSERT_TRUE(object.has_value());
    const Json& snapshot = (*object)["snapshot"];

    EXPECT_EQ(snapshot["updatedAt"], -978307200.0);
    EXPECT_EQ(snapshot["monthLastYear"], 195.92);
    EXPECT_EQ(snapshot["perfPrevWeek"]["ctr"], 4.79);
    EXPECT_EQ(snapshot["balance"], "389,85 €");
    EXPECT_EQ(snapshot["lastPaymentDateLabel"], "21 mai 2026");
    EXPECT_EQ((*object)["objectives"], (Json{{"daily", 10.0}, {"monthly", 300.0}}));
}

TEST(EntryJson, NonFiniteFigureCannotBeWritten) {
    EarningsEntry entry = entryWithoutTexts();
    entry.snapshot.last7 = std::nan("");
    EXPECT_FALSE(entryJson(entry).has_value());
}

}  // namespace
}  // namespace ambrel
