#pragma once

// `ambrel-widget status [--format text|json|waybar|i3blocks] [--max-age SECONDS]`: today's
// figures for a status bar, from the widget's cached entry. A bar runs it every few seconds, so
// it reads the cache and refreshes only when the cache is older than the maximum age (see
// status_refresh.h for how often it may try).

#include <chrono>
#include <expected>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/services.h"
#include "widget/earnings_provider.h"

namespace ambrel::widget {

enum class StatusFormat { text, json, waybar, i3blocks };

struct StatusOptions {
    StatusFormat format = StatusFormat::text;
    std::chrono::seconds maxAge = kTimelineReloadInterval;
};

// The arguments after "status". The error says what is wrong, for the usage message.
std::expected<StatusOptions, std::string> parseStatusOptions(
    std::span<const std::string_view> args);

// What the command prints for the entry, ending with a newline. None only when the JSON of the
// entry cannot be made (a figure that is not finite).
std::optional<std::string> statusOutput(const EarningsEntry& entry, StatusFormat format);

// Exit status 0 whether signed in or out: a bar must keep showing something.
int runStatusCommand(const Services& services, const StatusOptions& options, std::ostream& out,
                     std::ostream& err);

}  // namespace ambrel::widget
