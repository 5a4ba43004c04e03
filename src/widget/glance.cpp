#include "widget/glance.h"

#include <algorithm>
#include <cmath>

#include "core/earnings/formatting.h"
#include "core/earnings/payment_text.h"
#include "core/earnings/updated_at_text.h"
#include "core/platform/localization.h"

namespace ambrel::widget {
namespace {

constexpr const char* kSeparator = " \u00B7 ";

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

std::string balanceLine(const AmbrelSnapshot& figures) {
    const std::string balance =
        figures.balance ? displayAmountText(*figures.balance, figures.currency) : "\u2014";
    return line("Balance: %@", {balance});
}

// "Updated at 14:05", and for figures older than two refreshes their age after it.
std::string freshnessLine(const AmbrelSnapshot& figures, Instant now) {
    std::string text = updatedAtText(figures.updatedAt, now);
    if (isStale(figures.updatedAt, now)) text += kSeparator + ageText(figures.updatedAt, now);
    return text;
}

// Today, yesterday, the month and the balance, then how fresh they are.
void sayFigures(Glance& glance, const EarningsEntry& entry) {
    const AmbrelSnapshot& figures = entry.snapshot;
    const auto money = [&figures](double value) { return formatCurrency(figures.currency, value); };
    glance.dailyProgress = progressToward(figures.today, entry.objectives.daily);
    const double monthly = progressToward(figures.monthToDate, entry.objectives.monthly);
    glance.amount = money(figures.today);
    glance.isStale = isStale(figures.updatedAt, entry.date);
    glance.lines.insert(glance.lines.end(),
                        {line("Today: %@ (%@ of the daily objective)",
                              {glance.amount, percentOf(glance.dailyProgress)}),
                         line("Yesterday: %@", {money(figures.yesterday)}),
                         line("This month: %@ (%@ of the monthly objective)",
                              {money(figures.monthToDate), percentOf(monthly)}),
                         balanceLine(figures), freshnessLine(figures, entry.date)});
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
    if (entry.needsSignIn) {
        // The figures stay, from the cache: they are what the account earned until then.
        glance.lines = {tr("Google ended the sign-in."), tr("Open Ambrel to sign in again")};
        glance.text = tr("Ambrel: sign in again");
        if (!entry.isSample) sayFigures(glance, entry);
        return glance;
    }
    if (entry.isSample) {
        glance.lines = {tr("No figures yet"),
                        tr("They appear after the first refresh that succeeds.")};
        glance.text = tr("Ambrel: no figures yet");
        return glance;
    }

    const AmbrelSnapshot& figures = entry.snapshot;
    sayFigures(glance, entry);
    glance.text = glance.amount + kSeparator + percentOf(glance.dailyProgress);
    glance.trend = figures.yesterday - figures.yesterdayPrevWeek >= 0 ? Trend::up : Trend::down;
    return glance;
}

}  // namespace ambrel::widget
