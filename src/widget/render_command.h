#pragma once

// `ambrel-widget render --family small|medium|large --output FILE.png [--scale N]
// [--placeholder | --cached] [--describe]`: draws the current timeline's entry (or the
// placeholder entry, or the cached one without a refresh) into a PNG of the family's size times
// the scale, with transparent corners. Needs no display. --describe prints the face's accessible
// name and description, the texts a desktop that shows the PNG gives assistive technologies;
// with it the file is optional.

#include <expected>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "widget/earnings_provider.h"
#include "widget/faces/widget_family.h"

namespace ambrel::widget {

struct RenderOptions {
    WidgetFamily family = WidgetFamily::systemSmall;
    std::filesystem::path output;
    double scale = 1;
    bool placeholder = false;
    bool cached = false;
    bool describe = false;
};

// Larger scales give images no screen needs, and cost memory quadratically.
inline constexpr double kMaximumRenderScale = 8;

// The arguments after "render". The error says what is wrong, for the usage message.
std::expected<RenderOptions, std::string> parseRenderOptions(
    std::span<const std::string_view> args);

// Writes the PNG; false when the file cannot be written. Needs a QGuiApplication.
bool writeWidgetPng(const EarningsEntry& entry, WidgetFamily family, double scale,
                    const std::filesystem::path& output);

// What --describe prints: the face's accessible name, then its description, one line each.
std::string faceDescriptionLines(const EarningsEntry& entry, WidgetFamily family);

// The whole command: parses, asks the headless `program` for the entry (see
// host/widget_program.h), makes the application object (offscreen unless a platform was
// chosen), writes the file and prints the description to `out`. Returns the exit status.
int runRenderCommand(int& argc, char** argv, std::span<const std::string_view> args,
                     const std::string& program, std::ostream& out, std::ostream& err);

}  // namespace ambrel::widget
