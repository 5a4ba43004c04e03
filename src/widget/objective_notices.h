#pragma once

// When the widget host announces a reached objective: once per day for the daily objective and
// once per month for the monthly one, where the day is the snapshot's reference day (the
// report's day, in UTC) and never the local clock, so a refresh after local midnight that still
// reports the same day does not announce it again. What was announced, and whether to announce
// at all, is kept in the widget's own defaults, so a restart neither repeats nor forgets it:
//   "notify.objectives"    "off" once switched off (on otherwise)
//   "notify.dailyReached"   the last day announced, "yyyy-MM-dd"
//   "notify.monthlyReached" the last month announced, "yyyy-MM"

#include <optional>
#include <string>
#include <vector>

#include "core/platform/defaults.h"
#include "widget/earnings_provider.h"

namespace ambrel::widget {

enum class Objective { daily, monthly };

struct ReachedObjective {
    Objective objective = Objective::daily;
    std::string period;  // the reference day ("yyyy-MM-dd") or its month ("yyyy-MM")
    double amount = 0;
    double goal = 0;
    std::string currency;
};

// The objectives the entry's figures have reached, daily first. Only a connected entry with a
// reference day (a daily series) can reach one, and only an objective above 0.
std::vector<ReachedObjective> reachedObjectives(const EarningsEntry& entry);

// "Daily objective reached", "Monthly objective reached", in the current language.
std::string noticeTitle(Objective objective);
// The amount over the objective as the dashboard's gauges write it: "€10.21 / €10.00".
std::string noticeBody(const ReachedObjective& reached);

class ObjectiveNotices {
  public:
    explicit ObjectiveNotices(Defaults& defaults) : defaults_(defaults) {}

    bool isEnabled() const;
    // False when the widget's defaults could not keep it.
    bool setEnabled(bool enabled);

    // Whether the period comes after the last one announced for its objective. An earlier
    // period (a report that went back a day) is old news too.
    bool isNew(const ReachedObjective& reached) const;
    // Records the period as announced; returns what was recorded before, for forget().
    std::optional<std::string> remember(const ReachedObjective& reached);
    // Puts `previous` back, unless a later notice of the objective was remembered meanwhile.
    void forget(const ReachedObjective& reached, const std::optional<std::string>& previous);

  private:
    Defaults& defaults_;
};

}  // namespace ambrel::widget
