#include "widget/status_command.h"

#include <charconv>
#include <ostream>

#include "core/platform/json.h"
#include "widget/entry_json.h"
#include "widget/glance.h"
#include "widget/status_refresh.h"

namespace ambrel::widget {
namespace {

// Colours of a rising and a falling figure, the system green and red of every view, and the
// grey of figures older than two refreshes, which every surface draws dimmed.
constexpr const char* kUpColour = "#34C759";
constexpr const char* kDownColour = "#FF3B30";
constexpr const char* kStaleColour = "#8E8E93";

// Ten years: anything longer only means "never refresh", and must not overflow the clock.
constexpr long long kLongestMaxAge = 10LL * 365 * 24 * 3600;

std::optional<StatusFormat> formatFromName(std::string_view name) {
    if (name == "text") return StatusFormat::text;
    if (name == "json") return StatusFormat::json;
    if (name == "waybar") return StatusFormat::waybar;
    if (name == "i3blocks") return StatusFormat::i3blocks;
    return std::nullopt;
}

std::optional<std::chrono::seconds> secondsFromText(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 ||
        value > kLongestMaxAge) {
        return std::nullopt;
    }
    return std::chrono::seconds(value);
}

// One class, or for old figures their trend and "stale" (waybar takes an array of classes).
json::Json waybarClass(const Glance& glance) {
    if (!glance.trend) return "disconnected";
    const char* trend = *glance.trend == Trend::up ? "up" : "down";
    if (glance.isStale) return json::Json::array({trend, "stale"});
    return trend;
}

std::optional<std::string> waybarLine(const Glance& glance) {
    json::Json object = json::Json::object();
    object["text"] = glance.text;
    object["tooltip"] = glance.tooltip();
    object["class"] = waybarClass(glance);
    object["percentage"] = glance.dailyPercent();
    auto text = json::dump(object, "status line");
    if (!text) return std::nullopt;
    return *text + "\n";
}

// Full text, short text and colour, one per line; without figures to show there is no amount
// and no colour.
std::string i3blocksLines(const Glance& glance) {
    if (!glance.trend) return glance.text + "\n" + glance.text + "\n";
    const char* colour = glance.isStale               ? kStaleColour
                         : *glance.trend == Trend::up ? kUpColour
                                                      : kDownColour;
    return glance.text + "\n" + glance.amount + "\n" + colour + "\n";
}

// The entry as `snapshot --json` prints it, except that the sample's figures are left out: a
// script reading them would show them as the account's.
std::optional<std::string> entryLine(const EarningsEntry& entry) {
    auto object = entryJson(entry);
    if (!object) return std::nullopt;
    if (entry.isSample) object->erase("snapshot");
    auto text = json::dump(*object, "widget entry");
    if (!text) return std::nullopt;
    return *text + "\n";
}

}  // namespace

std::expected<StatusOptions, std::string> parseStatusOptions(
    std::span<const std::string_view> args) {
    StatusOptions options;
    for (std::size_t i = 0; i < args.size(); i += 2) {
        const std::string_view flag = args[i];
        if (flag != "--format" && flag != "--max-age")
            return std::unexpected("unknown argument \"" + std::string(flag) + "\"");
        if (i + 1 == args.size()) return std::unexpected(std::string(flag) + " needs a value");
        const std::string_view value = args[i + 1];
        if (flag == "--format") {
            const auto format = formatFromName(value);
            if (!format) {
                return std::unexpected("--format takes text, json, waybar or i3blocks, not \"" +
                                       std::string(value) + "\"");
            }
            options.format = *format;
        } else {
            const auto seconds = secondsFromText(value);
            if (!seconds) {
                return std::unexpected("--max-age takes a number of seconds, not \"" +
                                       std::string(value) + "\"");
            }
            options.maxAge = *seconds;
        }
    }
    return options;
}

std::optional<std::string> statusOutput(const EarningsEntry& entry, StatusFormat format) {
    if (format == StatusFormat::json) return entryLine(entry);
    const Glance glance = glanceOf(entry);
    switch (format) {
        case StatusFormat::waybar:
            return waybarLine(glance);
        case StatusFormat::i3blocks:
            return i3blocksLines(glance);
        case StatusFormat::text:
        case StatusFormat::json:
            break;
    }
    return glance.text + "\n";
}

int runStatusCommand(const Services& services, const StatusOptions& options, std::ostream& out,
                     std::ostream& err) {
    const auto text = statusOutput(statusEntry(services, options.maxAge, err), options.format);
    if (!text) {
        err << "ambrel-widget: the cached figures cannot be written as JSON\n";
        return 1;
    }
    out << *text << std::flush;
    return out ? 0 : 1;
}

}  // namespace ambrel::widget
