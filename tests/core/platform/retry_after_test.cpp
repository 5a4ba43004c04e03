// Retry-After in both of its forms, read as a wait from the time the answer came.

#include "core/platform/retry_after.h"

#include <gtest/gtest.h>

namespace ambrel {
namespace {

using namespace std::chrono;

TEST(RetryAfter, ReadsSecondsAndDatesAsAWaitFromNow) {
    const auto now = sys_days{2026y / May / 21} + 10h;  // a Thursday
    EXPECT_EQ(parseRetryAfter("120", now), 120s);
    EXPECT_EQ(parseRetryAfter(" 0 ", now), 0s);
    EXPECT_EQ(parseRetryAfter("Thu, 21 May 2026 10:05:00 GMT", now), 300s);
    EXPECT_EQ(parseRetryAfter("Thursday, 21-May-26 10:00:30 GMT", now), 30s);
    EXPECT_EQ(parseRetryAfter("Wed, 20 May 2026 10:00:00 GMT", now), 0s);  // already past
    // However large the number or far the date, the wait stays a year at most.
    EXPECT_EQ(parseRetryAfter("99999999999999999999999", now), days{365});
    EXPECT_EQ(parseRetryAfter("Thu, 21 May 6026 10:05:00 GMT", now), days{365});
    for (const char* bad : {"", "  ", "-5", "1.5", "12s", "soon"})
        EXPECT_EQ(parseRetryAfter(bad, now), std::nullopt) << bad;
}

}  // namespace
}  // namespace ambrel
