#pragma once

// The widget program's commands, one function each; main only picks one from the arguments.
// Each returns the process exit status.

#include <iosfwd>

#include "core/services.h"

namespace ambrel::widget {

inline constexpr int kExitUsage = 2;

// Each runs that request of the provider once and writes the entry as one JSON line to `out`.
// A refresh that fails is not a failure of the command: the entry then shows the fallback.
int runTimelineJson(const Services& services, std::ostream& out, std::ostream& err);
int runSnapshotJson(const Services& services, std::ostream& out, std::ostream& err);
int runPlaceholderJson(const Services& services, std::ostream& out, std::ostream& err);

// Writes the command summary to `out` and returns kExitUsage.
int printUsage(std::ostream& out);

}  // namespace ambrel::widget
