// The drawing program reads back exactly what the headless commands print.

#include <gtest/gtest.h>

#include "core/platform/json.h"
#include "face_test_support.h"
#include "widget/entry_json.h"
#include "widget/host/entry_reader.h"

namespace ambrel::widget {
namespace {

std::string printed(const Result<json::Json>& object) {
    EXPECT_TRUE(object.has_value());
    return *json::dump(*object, "test") + "\n";
}

TEST(HostEntryJson, ReadsBackWhatTheCommandsPrint) {
    AmbrelSnapshot snapshot = testing::knownSnapshot();
    snapshot.balance.reset();
    snapshot.updatedAt = instantFromReferenceSeconds(800000000.5);
    snapshot.timeZone = "Asia/Tokyo";
    const Timeline timeline{.entry = {.date = instantFromReferenceSeconds(800000100),
                                      .snapshot = snapshot,
                                      .objectives = {12.5, 0},
                                      .isConnected = false,
                                      .needsSignIn = true,
                                      .isSample = true},
                            .reloadDate = instantFromReferenceSeconds(800001900),
                            .refreshed = true};

    const auto read = readTimelineJson(printed(timelineJson(timeline)));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->entry.snapshot, snapshot);
    EXPECT_EQ(read->entry.objectives, (Objectives{12.5, 0}));
    EXPECT_FALSE(read->entry.isConnected);
    EXPECT_TRUE(read->entry.needsSignIn);
    EXPECT_TRUE(read->entry.isSample);
    EXPECT_EQ(secondsSinceReferenceDate(read->entry.date), 800000100);
    EXPECT_EQ(secondsSinceReferenceDate(read->reloadDate), 800001900);
    EXPECT_TRUE(read->refreshed);

    const auto entry = readEntryJson(printed(entryJson(timeline.entry)));
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(*entry, timeline.entry);
    // An entry is not a timeline: without a reload date it is refused.
    EXPECT_FALSE(readTimelineJson(printed(entryJson(timeline.entry))).has_value());
}

TEST(HostEntryJson, RefusesAnythingElse) {
    const Timeline timeline{.entry = testing::entryWith(testing::knownSnapshot()),
                            .reloadDate = instantFromReferenceSeconds(10)};
    json::Json good = *timelineJson(timeline);
    ASSERT_TRUE(readTimelineJson(*json::dump(good, "test")).has_value());
    // Entries of older programs carry neither flag: a valid sign-in, real figures.
    good.erase("needsSignIn");
    good.erase("isSample");
    ASSERT_TRUE(readTimelineJson(*json::dump(good, "test")).has_value());

    for (const char* member : {"date", "snapshot", "objectives", "isConnected", "reloadDate"}) {
        json::Json broken = good;
        broken.erase(member);
        EXPECT_FALSE(readTimelineJson(*json::dump(broken, "test")).has_value()) << member;
    }
    json::Json wrongType = good;
    wrongType["isConnected"] = "yes";
    EXPECT_FALSE(readTimelineJson(*json::dump(wrongType, "test")).has_value());
    EXPECT_FALSE(readEntryJson("").has_value());
    // A member nested without end is refused, not walked until the stack runs out.
    std::string line = *json::dump(good, "test");
    line.insert(line.find("\"snapshot\":{") + 12,
                "\"extra\":" + std::string(100000, '[') + std::string(100000, ']') + ",");
    EXPECT_FALSE(readTimelineJson(line).has_value());
    EXPECT_FALSE(readEntryJson("usage: ambrel-widget ...").has_value());
}

}  // namespace
}  // namespace ambrel::widget
