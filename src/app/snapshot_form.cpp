#include "app/snapshot_form.h"

#include <QLocale>
#include <QVBoxLayout>

#include "app/balance_row.h"
#include "app/form_section.h"
#include "app/localized.h"
#include "app/objectives_rings.h"
#include "app/projection_row.h"
#include "app/trend_chart.h"
#include "app/value_row.h"
#include "core/earnings/earnings_trend.h"
#include "core/earnings/formatting.h"
#include "ui/updated_at_text.h"

namespace ambrel {
namespace {
constexpr int kSectionSpacing = 16;
constexpr int kFormMargin = 16;
constexpr int kRingsPadding = 6;
constexpr int kChartPadding = 10;

QString rowName(const std::string& id) {
    return QStringLiteral("row_") + qtext(id);
}

}  // namespace

SnapshotForm::SnapshotForm(const AmbrelSnapshot& snapshot, const Objectives& objectives,
                           QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kFormMargin, kFormMargin, kFormMargin, kFormMargin);
    layout->setSpacing(kSectionSpacing);
    layout->addWidget(makeBalanceSection(snapshot));
    layout->addWidget(makeObjectivesSection(snapshot, objectives));
    layout->addWidget(makeRevenueSection(snapshot));
    if (FormSection* trend = makeTrendSection(snapshot, objectives)) layout->addWidget(trend);
    if (FormSection* performance = makePerformanceSection(snapshot)) layout->addWidget(performance);
    layout->addStretch(1);
}

void SnapshotForm::setObjectives(const Objectives& objectives) {
    rings_->setObjectives(objectives);
    if (projection_) projection_->setMonthlyGoal(objectives.monthly);
}

QString SnapshotForm::updatedAtText(Instant updatedAt, const QLocale& locale) {
    return ambrel::updatedAtText(updatedAt, locale);
}

FormSection* SnapshotForm::makeBalanceSection(const AmbrelSnapshot& snapshot) {
    auto* section = new FormSection(localized("Balance"), this);
    section->setObjectName(QStringLiteral("balanceSection"));
    section->addRow(new BalanceRow(snapshot, section));
    return section;
}

FormSection* SnapshotForm::makeObjectivesSection(const AmbrelSnapshot& snapshot,
                                                 const Objectives& objectives) {
    auto* section = new FormSection(localized("Objectives"), this);
    section->setObjectName(QStringLiteral("objectivesSection"));
    rings_ = new ObjectivesRings(snapshot, objectives, section);
    rings_->setContentsMargins(0, kRingsPadding, 0, kRingsPadding);
    section->addRow(rings_);
    return section;
}

FormSection* SnapshotForm::makeRevenueSection(const AmbrelSnapshot& snapshot) {
    auto* section = new FormSection(localized("Revenue"), this);
    section->setObjectName(QStringLiteral("revenueSection"));
    for (const EarningsCard& card : snapshot.cards()) {
        std::optional<RowDelta> delta;
        if (card.comparison)
            delta = RowDelta{*card.comparison, MetricKind::currency, card.currency};
        auto* row = new ValueRow(qtext(card.title),
                                 qtext(formatCurrency(card.currency, card.value)), delta, section);
        row->setObjectName(rowName(card.id));
        section->addRow(row);
    }
    return section;
}

// Absent for a snapshot without a daily series: the zero snapshot, which has no day to draw.
FormSection* SnapshotForm::makeTrendSection(const AmbrelSnapshot& snapshot,
                                            const Objectives& objectives) {
    if (snapshot.dailyEarnings.empty()) return nullptr;
    auto* section = new FormSection(localized("Last 30 days"), this);
    section->setObjectName(QStringLiteral("trendSection"));
    auto* chart = new TrendChart(chartDays(snapshot.dailyEarnings), snapshot.currency, section);
    auto* chartRow = new QWidget(section);
    auto* chartLayout = new QVBoxLayout(chartRow);
    chartLayout->setContentsMargins(0, kChartPadding, 0, kChartPadding);
    chartLayout->addWidget(chart);
    section->addRow(chartRow);
    if (const auto projection = monthEndProjection(snapshot.dailyEarnings)) {
        projection_ =
            new ProjectionRow(*projection, snapshot.currency, objectives.monthly, section);
        section->addRow(projection_);
    }
    return section;
}

FormSection* SnapshotForm::makePerformanceSection(const AmbrelSnapshot& snapshot) {
    const std::vector<PerfMetric> metrics = snapshot.perfMetrics();
    if (metrics.empty()) return nullptr;
    auto* section = new FormSection(localized("Performance · Yesterday"), this);
    section->setObjectName(QStringLiteral("performanceSection"));
    for (const PerfMetric& metric : metrics) {
        auto* row =
            new ValueRow(qtext(metric.title), qtext(valueText(metric)),
                         RowDelta{metric.comparison, metric.kind, metric.currency}, section);
        row->setObjectName(rowName(metric.id));
        section->addRow(row);
    }
    section->setFooter(updatedAtText(snapshot.updatedAt));
    return section;
}

}  // namespace ambrel
