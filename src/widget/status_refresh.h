#pragma once

// When `ambrel-widget status` refreshes before it prints. A bar runs it every few seconds, also
// while the machine is offline, and often from more than one bar at once: without care every
// run would find the cache stale and start a refresh (a token request and a report, and up to
// the network time-out of waiting), so an outage would turn into a stream of requests.
//
// So a stale cache (older than the maximum age, dated in the future, or missing) is refreshed
// only by a run that
// - is signed in (signed out, the timeline makes no request anyway), and
// - holds the refresh lock (a file lock in the widget's cache folder): other runs meanwhile print
//   the cached entry at once instead of waiting or starting a second refresh, and
// - finds no attempt recorded less than refreshAttemptSpacing() ago. The attempt is recorded
//   before the refresh starts, whether it then succeeds or not.
// A run that cannot take the lock or record its attempt does not refresh either: it could not
// keep the next runs from refreshing again. A lock that cannot be opened at all (a directory or
// a symbolic link at its place) is said on stderr, naming its path, since no run would refresh
// until it is removed. A recorded attempt before 2001 or after now reads as none.

#include <chrono>
#include <iosfwd>

#include "core/services.h"
#include "widget/earnings_provider.h"

namespace ambrel::widget {

// The widget's defaults key holding the time of the last attempt (whole seconds since
// 2001-01-01T00:00:00Z).
inline constexpr const char* kStatusAttemptKey = "status.refreshAttempt";
// The lock file, beside the widget's cache entries.
inline constexpr const char* kStatusLockName = "status.lock";

// The least time between two attempts: the maximum age, but at least a minute (a bar asking
// for fresher figures must not make one request per run) and at most the timeline's reload
// interval (a long maximum age must not delay the retry of a failed refresh beyond it).
std::chrono::seconds refreshAttemptSpacing(std::chrono::seconds maxAge);

// The cached entry (as `snapshot --json`), or a new timeline's entry (as `timeline --json`) when
// the rules above allow a refresh. A lock that cannot be used is said on `err`.
EarningsEntry statusEntry(const Services& services, std::chrono::seconds maxAge, std::ostream& err);

}  // namespace ambrel::widget
