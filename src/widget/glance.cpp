#include "widget/glance.h"

#include <algorithm>
#include <cmath>

#include "core/earnings/formatting.h"
#include "core/earnings/updated_at_text.h"
#include "core/platform/localization.h"

namespace ambrel::widget {
namespace {

// A goal of 0 or less shows no progress rather than a division by zero, as the rings do.
double progressToward(double value, double goal) {
    return goal > 0 ? value / goal : 0;
}

std::string percentOf(double progress) {
    return formatPercent(0, progress * 100);
}

std::string line(const char* key, std::initializer_list<std::string_view> values) {
    return fillPlaceholders(tr(key), values);
}

}  // namespace

int Glance::dailyPercent() const {
    const double percent = std::round(dailyProgress * 100);
    if (!(percent > 0)) return 0;  // also for NaN
    return static_cast<int>(std::min(percent, 100.0));
}

std::string Glance::tooltip() const {
    std::string joined = title;
    for (const std::string& text : lines) joined += "\n" + text;
    return joined;
}

Glance glanceOf(const EarningsEntry& entry) {
    Glance glance;
    glance.title = tr("AdSense earnings");
    glance.isConnected = entry.isConnected;
    if (!entry.isConnected) {
        glance.lines = {tr("Not connected to Google."), tr("Open Ambrel to sign in")};
        glance.text = tr("Ambrel: not connected");
        return glance;
    }

    const AmbrelSnapshot& figures = entry.snapshot;
    const auto money = [&figures](double value) { return formatCurrency(figures.currency, value); };
    glance.dailyProgress = progressToward(figures.today, entry.objectives.daily);
    const double monthly = progressToward(figures.monthToDate, entry.objectives.monthly);
    glance.amount = money(figures.today);
    glance.text = glance.amount + " \u00B7 " + percentOf(glance.dailyProgress);
    glance.trend = figures.yesterday - figures.yesterdayPrevWeek >= 0 ? Trend::up : Trend::down;
    glance.lines = {
        line("Today: %@ (%@ of the daily objective)",
             {glance.amount, percentOf(glance.dailyProgress)}),
        line("Yesterday: %@", {money(figures.yesterday)}),
        line("This month: %@ (%@ of the monthly objective)",
             {money(figures.monthToDate), percentOf(monthly)}),
        line("Balance: %@", {figures.balance.value_or("\u2014")}),
        updatedAtText(figures.updatedAt, entry.date),
    };
    return glance;
}

}  // namespace ambrel::widget
