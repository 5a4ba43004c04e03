// Every surface writes the refresh time without Qt; the desktop's Qt programs write times with
// QLocale. The two must read the same in every time locale.

#include "ui/updated_at_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>

#include "core/earnings/updated_at_text.h"
#include "support/scoped_env.h"

namespace ambrel {
namespace {

using namespace std::chrono;

// TZ is read again once the test's variables are restored.
struct LocalZone {
    ~LocalZone() { tzset(); }
};

TEST(UpdatedAtText, ReadsAsTheDashboardsInEveryTimeLocale) {
    LocalZone zone;
    testing::ScopedEnv env;
    env.set("TZ", "Europe/Paris")
        .set("LC_ALL", nullptr)
        .set("LC_TIME", nullptr)
        .set("LANG", "C.UTF-8");
    tzset();
    const sys_days day = 2026y / March / 14;
    const Instant instants[] = {
        day + 0h + 5min,                          // 01:05 in Paris
        day + 11h + 30min + 59s,                  // seconds never round up
        day + 13h + 5min + 37s,                   // after noon
        day + 22h + 59min + 59s,                  // 23:59
        sys_days(2026y / July / 1) + 10h + 7min,  // summer time
    };
    for (const char* name : {"C", "en_US", "en_GB", "fr_FR", "de_DE", "en_AU"}) {
        const std::string posix = std::string(name) == "C" ? "C" : std::string(name) + ".UTF-8";
        testing::ScopedEnv time;
        time.set("LC_TIME", posix.c_str());
        for (const Instant at : instants) {
            EXPECT_EQ(updatedAtText(at, at),
                      updatedAtText(at, QLocale(QLatin1String(name))).toStdString())
                << name << " at " << duration_cast<seconds>(at.time_since_epoch()).count();
        }
    }
    // Only the time variables count: LANGUAGE and LC_MESSAGES choose the words, not the time.
    env.set("LANGUAGE", "en_US").set("LC_MESSAGES", "en_US.UTF-8").set("LANG", "de_DE.UTF-8");
    EXPECT_EQ(updatedAtText(instants[2], instants[2]), "Updated at 14:05");
    env.set("LC_TIME", "en_US.UTF-8");
    EXPECT_EQ(updatedAtText(instants[2], instants[2]), "Updated at 2:05 PM");
    env.set("LC_ALL", "en_GB.UTF-8");
    EXPECT_EQ(updatedAtText(instants[2], instants[2]), "Updated at 14:05");
}

}  // namespace
}  // namespace ambrel
