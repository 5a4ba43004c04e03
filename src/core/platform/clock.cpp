#include "core/platform/clock.h"

namespace ambrel {
namespace {
// 2001-01-01T00:00:00Z in Unix seconds.
constexpr std::chrono::seconds kReferenceEpoch{978307200};
}  // namespace

Clock systemClock() {
    return [] { return std::chrono::system_clock::now(); };
}

double secondsSinceReferenceDate(Instant instant) {
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(instant.time_since_epoch() - kReferenceEpoch)
        .count();
}

Instant instantFromReferenceSeconds(double seconds) {
    // To the nearest tick: truncating could land one tick short of the instant whose seconds
    // were stored, so a date read and written again would move a tick on every save.
    auto sinceReference =
        std::chrono::round<Instant::duration>(std::chrono::duration<double>(seconds));
    return Instant(kReferenceEpoch + sinceReference);
}

}  // namespace ambrel
