#include "widget/objective_notices.h"

#include "core/earnings/daily_report.h"
#include "core/earnings/formatting.h"
#include "core/platform/localization.h"

namespace ambrel::widget {
namespace {

constexpr const char* kEnabledKey = "notify.objectives";

const char* periodKey(Objective objective) {
    return objective == Objective::daily ? "notify.dailyReached" : "notify.monthlyReached";
}

// A stored period that names no day or month counts as none, so damage cannot silence every
// later notice by comparing after them all.
bool isPeriod(Objective objective, const std::string& text) {
    return parseDateKey(objective == Objective::daily ? text : text + "-01").has_value() &&
           text.size() == (objective == Objective::daily ? 10u : 7u);
}

}  // namespace

std::vector<ReachedObjective> reachedObjectives(const EarningsEntry& entry) {
    const AmbrelSnapshot& snapshot = entry.snapshot;
    if (!entry.isConnected || snapshot.dailyEarnings.empty()) return {};
    const std::string& day = snapshot.dailyEarnings.back().date;
    std::vector<ReachedObjective> reached;
    const auto check = [&](Objective objective, std::string period, double amount, double goal) {
        if (goal > 0 && amount >= goal)
            reached.push_back({objective, std::move(period), amount, goal, snapshot.currency});
    };
    check(Objective::daily, day, snapshot.today, entry.objectives.daily);
    check(Objective::monthly, day.substr(0, 7), snapshot.monthToDate, entry.objectives.monthly);
    return reached;
}

std::string noticeTitle(Objective objective) {
    return tr(objective == Objective::daily ? N_("Daily objective reached")
                                            : N_("Monthly objective reached"));
}

std::string noticeBody(const ReachedObjective& reached) {
    return fillPlaceholders(tr("%@ / %@"), {formatCurrency(reached.currency, reached.amount),
                                            formatCurrency(reached.currency, reached.goal)});
}

bool ObjectiveNotices::isEnabled() const {
    return defaults_.data(kEnabledKey) != "off";
}

bool ObjectiveNotices::setEnabled(bool enabled) {
    return defaults_.set(kEnabledKey, enabled ? "on" : "off");
}

bool ObjectiveNotices::isNew(const ReachedObjective& reached) const {
    const auto last = defaults_.data(periodKey(reached.objective));
    return !last || !isPeriod(reached.objective, *last) || reached.period > *last;
}

std::optional<std::string> ObjectiveNotices::remember(const ReachedObjective& reached) {
    auto previous = defaults_.data(periodKey(reached.objective));
    defaults_.set(periodKey(reached.objective), reached.period);
    return previous;
}

void ObjectiveNotices::forget(const ReachedObjective& reached,
                              const std::optional<std::string>& previous) {
    const char* key = periodKey(reached.objective);
    if (defaults_.data(key) != reached.period) return;
    if (previous)
        defaults_.set(key, *previous);
    else
        defaults_.remove(key);
}

}  // namespace ambrel::widget
