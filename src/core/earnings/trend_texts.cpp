#include "core/earnings/trend_texts.h"

#include "core/earnings/daily_report.h"
#include "core/earnings/formatting.h"
#include "core/platform/localization.h"

namespace ambrel {

std::string projectionText(std::string_view currency, double projection) {
    return fillPlaceholders(tr("Projected this month: %@"), {formatCurrency(currency, projection)});
}

std::optional<std::string> monthlyObjectiveShareText(double projection, double monthlyGoal) {
    if (!(monthlyGoal > 0)) return std::nullopt;
    return fillPlaceholders(tr("%@ of the monthly objective"),
                            {formatPercent(0, projection / monthlyGoal * 100)});
}

std::string dayText(std::string_view dateKey) {
    const auto day = parseDateKey(dateKey);
    return day ? formatDate(*day) : std::string(dateKey);
}

std::string summaryText(const CompleteDaysSummary& summary, std::string_view currency) {
    return fillPlaceholders(
        tr("Average %@ a day. Best day: %@, %@. Worst day: %@, %@."),
        {formatCurrency(currency, summary.average), dayText(summary.best.date),
         formatCurrency(currency, summary.best.earnings), dayText(summary.worst.date),
         formatCurrency(currency, summary.worst.earnings)});
}

}  // namespace ambrel
