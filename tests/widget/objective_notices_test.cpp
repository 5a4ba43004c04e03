// Which reached objectives are news: the snapshot's reference day decides the day and month,
// never the local clock, and only figures of a signed-in entry with a reference day count.

#include "widget/objective_notices.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "widget/sample_snapshot.h"

namespace ambrel::widget {
namespace {

EarningsEntry entryOn(std::string day, double today, double month, Objectives goals = {10, 300}) {
    AmbrelSnapshot snapshot;
    snapshot.today = today;
    snapshot.monthToDate = month;
    snapshot.currency = "EUR";
    snapshot.dailyEarnings = {{std::move(day), today}};
    return {.date = {}, .snapshot = snapshot, .objectives = goals, .isConnected = true};
}

std::vector<std::string> periods(const EarningsEntry& entry) {
    std::vector<std::string> out;
    for (const ReachedObjective& reached : reachedObjectives(entry)) out.push_back(reached.period);
    return out;
}

TEST(ObjectiveNotices, ReachedOnTheReferenceDayAndMonth) {
    using Periods = std::vector<std::string>;
    EXPECT_EQ(periods(entryOn("2026-05-31", 10, 300)), (Periods{"2026-05-31", "2026-05"}));
    EXPECT_EQ(periods(entryOn("2026-05-31", 9.99, 300)), (Periods{"2026-05"}));
    EXPECT_EQ(periods(entryOn("2026-05-31", 50, 299)), (Periods{"2026-05-31"}));
    EXPECT_EQ(periods(entryOn("2026-05-31", 50, 500, {0, -1})), Periods{});  // no objective set
    EarningsEntry signedOut = entryOn("2026-05-31", 50, 500);
    signedOut.isConnected = false;
    EXPECT_EQ(periods(signedOut), Periods{});
    // The sample, and snapshots cached before the series, have no reference day.
    EXPECT_EQ(
        periods(
            {.date = {}, .snapshot = sampleSnapshot(), .objectives = {1, 1}, .isConnected = true}),
        Periods{});

    testing::ScopedLanguage language("en_US");
    const ReachedObjective daily = reachedObjectives(entryOn("2026-05-31", 10.214, 300))[0];
    EXPECT_EQ(noticeTitle(daily.objective), "Daily objective reached");
    EXPECT_EQ(noticeBody(daily), "€10.21 / €10.00");
}

TEST(ObjectiveNotices, EachPeriodOnceAndOnlyForward) {
    testing::TempDir dir;
    Defaults defaults(dir.path());
    ObjectiveNotices notices(defaults);
    EXPECT_TRUE(notices.isEnabled());
    const auto reached = [](const char* day) {
        return reachedObjectives(entryOn(day, 20, 400));  // daily, then monthly
    };

    for (const ReachedObjective& r : reached("2026-05-31")) {
        EXPECT_TRUE(notices.isNew(r));
        notices.remember(r);
    }
    for (const ReachedObjective& r : reached("2026-05-31")) EXPECT_FALSE(notices.isNew(r));
    // A report that went back a day is old news; the next day and month are not.
    for (const ReachedObjective& r : reached("2026-05-30")) EXPECT_FALSE(notices.isNew(r));
    for (const ReachedObjective& r : reached("2026-06-01")) EXPECT_TRUE(notices.isNew(r));
    // Damage in the stored period does not silence every later notice.
    ASSERT_TRUE(defaults.set("notify.dailyReached", "zzzz"));
    EXPECT_TRUE(notices.isNew(reached("2026-05-31")[0]));

    notices.setEnabled(false);
    EXPECT_FALSE(ObjectiveNotices(defaults).isEnabled());
}

}  // namespace
}  // namespace ambrel::widget
