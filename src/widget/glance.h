#pragma once

// What the panel indicator and the status line say about an entry: the same title, lines and
// short text in both, every figure from the display formatting, like the dashboard and faces.
// The built-in sample is never said as figures: it is what the widget shows before it has any.

#include <optional>
#include <string>
#include <vector>

#include "widget/earnings_provider.h"

namespace ambrel::widget {

// Yesterday against the same weekday a week before, as the dashboard compares them (today has
// no comparison: the same time of day a week before is not known). Unchanged counts as up.
enum class Trend { up, down };

// Signed out, the text is "Ambrel: not connected"; signed in with nothing fetched yet (the
// sample) "Ambrel: no figures yet"; once Google has refused the stored sign-in "Ambrel: sign in
// again", with the cached figures in the lines; otherwise the figures.
struct Glance {
    bool isConnected = false;
    std::string title;               // "AdSense earnings"
    std::vector<std::string> lines;  // below the title, in reading order
    std::string amount;              // today's earnings as money; empty without figures
    std::string text;                // "€9.21 · 92%", or "Ambrel: not connected"
    double dailyProgress = 0;        // today against the daily goal; 1 = reached, unclamped
    std::optional<Trend> trend;      // only with figures, and no sign-in to renew
    // The figures are older than two refreshes: the last line gives their age, and surfaces
    // draw them dimmed.
    bool isStale = false;

    // Whether real figures are said (also while asking to sign in again, from the cache).
    bool hasFigures() const { return !amount.empty(); }
    // The daily progress in whole percent, limited to 0–100.
    int dailyPercent() const;
    // The title and the lines, joined with "\n".
    std::string tooltip() const;
};

// Texts in the current language; times in the user's locale and time zone; freshness judged at
// the entry's date.
Glance glanceOf(const EarningsEntry& entry);

}  // namespace ambrel::widget
