// How fresh the figures are reads the same on every surface: the day is named when it is not
// today, in the desktop's calendar, and old figures say their age.

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "core/earnings/account_day_text.h"
#include "core/earnings/payment_text.h"
#include "core/earnings/updated_at_text.h"
#include "support/scoped_env.h"

namespace ambrel {
namespace {

using namespace std::chrono;

struct LocalZone {
    ~LocalZone() { tzset(); }
};

TEST(FreshnessText, NamesTheDayInTheDesktopsCalendarAndTellsTheAgeOfOldFigures) {
    LocalZone zone;
    testing::ScopedEnv env;
    // Paris is an hour ahead of UTC in December: 23:30 UTC is already the next day there.
    env.set("TZ", "Europe/Paris")
        .set("LC_ALL", nullptr)
        .set("LC_TIME", "en_GB.UTF-8")
        .set("LANG", "C.UTF-8")
        .set("LANGUAGE", "en_GB");
    tzset();
    const Instant now = sys_days(2026y / December / 9) + 8h + 15min;  // 09:15 in Paris
    EXPECT_EQ(updatedAtText(now - 10min, now), "Updated at 09:05");
    EXPECT_EQ(updatedAtText(sys_days(2026y / December / 8) + 22h + 50min, now),
              "Updated yesterday at 23:50");
    EXPECT_EQ(updatedAtText(sys_days(2026y / December / 8) + 23h + 5min, now), "Updated at 00:05");
    EXPECT_EQ(updatedAtText(sys_days(2026y / December / 3) + 8h + 12min, now),
              "Updated 3 Dec at 09:12");
    EXPECT_EQ(updatedAtText(sys_days(2025y / December / 3) + 8h + 12min, now),
              "Updated 3 Dec 2025 at 09:12");

    EXPECT_FALSE(isStale(now - kStaleAfter, now));
    EXPECT_TRUE(isStale(now - kStaleAfter - 1s, now));
    EXPECT_FALSE(isStale(now + 1h, now));  // a clock set back
    EXPECT_EQ(ageText(now - 3h - 20min, now), "3 hours ago");
    EXPECT_EQ(ageText(now - 50h, now), "2 days ago");
    env.set("LANGUAGE", "fr");
    EXPECT_EQ(ageText(now - 3h, now), "il y a 3 heures");
}

TEST(DisplayAmountText, WritesStoredAmountsInTheDisplayLocaleAndKeepsWhatDoesNotRead) {
    testing::ScopedLanguage english("en_US");
    EXPECT_EQ(displayAmountText("389,85 €", "EUR"), "€389.85");
    EXPECT_EQ(displayAmountText("on hold", "EUR"), "on hold");
    testing::ScopedLanguage french("fr_FR");
    EXPECT_EQ(displayAmountText("€245.10", "EUR"), "245,10\u00A0€");
}

TEST(AccountDayText, NamesTheAccountsZoneOnlyWhenItsMidnightIsNotTheDesktops) {
    LocalZone zone;
    testing::ScopedEnv env;
    env.set("TZ", "Europe/Paris").set("LANGUAGE", "en");
    tzset();
    EXPECT_EQ(accountDayText("Asia/Tokyo"), "Days end at midnight, Asia/Tokyo");
    EXPECT_EQ(accountDayText("Europe/Paris"), std::nullopt);
    EXPECT_EQ(accountDayText(std::nullopt), std::nullopt);
    EXPECT_EQ(accountDayText("Not/AZone"), std::nullopt);
    env.set("TZ", "UTC");
    tzset();
    EXPECT_EQ(accountDayText("Etc/UTC"), std::nullopt);
}

}  // namespace
}  // namespace ambrel
