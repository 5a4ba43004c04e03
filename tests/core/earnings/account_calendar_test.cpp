// The account's today: the calendar day in the account's own zone, whatever the desktop's zone
// or ICU's default zone say.

#include "core/earnings/account_calendar.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <memory>

#include "support/scoped_env.h"

namespace ambrel {
namespace {

using namespace std::chrono;

Instant at(sys_days day, hours h, minutes m = 0min) {
    return Instant{day + h + m};
}

// Each account's midnight, one minute either side, in zones east and west of UTC (with and
// without daylight saving time, and half-hour offsets), while the desktop and ICU's default
// zone sit at UTC+14, where it is already the next day for most of them.
TEST(AccountCalendar, TodayTurnsAtTheAccountsMidnightWhateverTheDesktopZone) {
    testing::ScopedEnv env;
    env.set("TZ", "Pacific/Kiritimati");
    const std::unique_ptr<icu::TimeZone> previous(icu::TimeZone::createDefault());
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("Pacific/Kiritimati"));

    const struct {
        const char* zone;
        Instant before, after;  // a minute before and after the zone's midnight
        year_month_day dayBefore;
    } cases[] = {
        {"Asia/Tokyo", at(2026y / May / 20, 14h, 59min), at(2026y / May / 20, 15h, 1min),
         2026y / May / 20},
        {"Asia/Kolkata", at(2026y / May / 20, 18h, 29min), at(2026y / May / 20, 18h, 31min),
         2026y / May / 20},
        {"Australia/Sydney", at(2026y / January / 9, 12h, 59min),
         at(2026y / January / 9, 13h, 1min), 2026y / January / 9},
        {"America/Los_Angeles", at(2026y / May / 22, 6h, 59min), at(2026y / May / 22, 7h, 1min),
         2026y / May / 21},
        {"America/Los_Angeles", at(2026y / January / 1, 7h, 59min),
         at(2026y / January / 1, 8h, 1min), 2025y / December / 31},
        {"Europe/Paris", at(2026y / March / 28, 22h, 59min), at(2026y / March / 28, 23h, 1min),
         2026y / March / 28},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(accountToday(c.before, c.zone), c.dayBefore) << c.zone;
        EXPECT_EQ(accountToday(c.after, c.zone), year_month_day{sys_days{c.dayBefore} + days{1}})
            << c.zone;
    }
    icu::TimeZone::adoptDefault(previous->clone());
}

// Only names ICU knows are zones; an account without one, or with one this ICU does not know,
// counts days as Google does by default, in Los Angeles.
TEST(AccountCalendar, UnknownZonesCountAsGooglesDefault) {
    EXPECT_EQ(knownTimeZone("Asia/Tokyo"), "Asia/Tokyo");
    for (const char* id : {"", "Mars/Olympus_Mons", "Etc/Unknown", "asia/tokyo ", "Asia/\xFF"})
        EXPECT_EQ(knownTimeZone(id), std::nullopt) << id;
    EXPECT_EQ(accountTimeZone(std::nullopt), "America/Los_Angeles");
    EXPECT_EQ(accountTimeZone("Mars/Olympus_Mons"), "America/Los_Angeles");
    EXPECT_EQ(accountTimeZone("Asia/Tokyo"), "Asia/Tokyo");
    // 03:00 UTC on 22 May is still 21 May in Los Angeles.
    EXPECT_EQ(accountToday(at(2026y / May / 22, 3h), "Mars/Olympus_Mons"), 2026y / May / 21);
}

}  // namespace
}  // namespace ambrel
