#include "app/snapshot_form.h"

#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "app/balance_row.h"
#include "app/form_section.h"
#include "app/localized.h"
#include "app/objectives_rings.h"
#include "app/projection_row.h"
#include "app/trend_chart.h"
#include "app/trend_legend.h"
#include "app/value_row.h"
#include "core/earnings/account_day_text.h"
#include "core/earnings/earnings_trend.h"
#include "core/earnings/formatting.h"
#include "core/earnings/updated_at_text.h"
#include "ui/colors.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {
constexpr int kSectionSpacing = 16;
constexpr int kFormMargin = 16;
constexpr int kFreshnessSpacing = 8;  // less than between sections: the line belongs to them
constexpr int kRingsPadding = 6;
constexpr int kChartPadding = 10;
constexpr int kNoteInset = 6;

QString rowName(const std::string& id) {
    return QStringLiteral("row_") + qtext(id);
}

}  // namespace

SnapshotForm::SnapshotForm(const AmbrelSnapshot& snapshot, const Objectives& objectives,
                           Instant now, QWidget* parent)
    : QWidget(parent), updatedAt_(snapshot.updatedAt) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kFormMargin, kFormMargin, kFormMargin, kFormMargin);
    layout->setSpacing(kSectionSpacing);
    // First, where it is read before any figure.
    layout->addWidget(makeFreshnessLine());
    layout->addSpacing(kFreshnessSpacing - kSectionSpacing);
    layout->addWidget(makeBalanceSection(snapshot));
    layout->addWidget(makeObjectivesSection(snapshot, objectives));
    layout->addWidget(makeRevenueSection(snapshot));
    if (FormSection* trend = makeTrendSection(snapshot, objectives)) layout->addWidget(trend);
    if (FormSection* performance = makePerformanceSection(snapshot)) layout->addWidget(performance);
    if (const auto accountDay = accountDayText(snapshot.timeZone))
        layout->addWidget(makeNote(qtext(*accountDay), QStringLiteral("accountDay")));
    layout->addStretch(1);
    setNow(now);
}

void SnapshotForm::setObjectives(const Objectives& objectives) {
    rings_->setObjectives(objectives);
    if (projection_) projection_->setMonthlyGoal(objectives.monthly);
}

void SnapshotForm::setNow(Instant now) {
    std::string text = updatedAtText(updatedAt_, now);
    const bool stale = isStale(updatedAt_, now);
    // Old figures say how old, beside the time: "Updated yesterday at 23:50 · 15 hours ago".
    if (stale) text = fillPlaceholders(ambrel::tr("%@ · %@"), {text, ageText(updatedAt_, now)});
    freshness_->setText(qtext(text));
    freshness_->setAccessibleName(freshness_->text());
    setDimmed(stale);
}

QLabel* SnapshotForm::makeFreshnessLine() {
    freshness_ = makeNote(QString(), QStringLiteral("freshness"));
    return freshness_;
}

QLabel* SnapshotForm::makeNote(const QString& text, const QString& name) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(textStyleFont(TextStyle::Caption));
    label->setAccessibleName(text);
    label->setContentsMargins(kNoteInset, 0, kNoteInset, 0);
    setForegroundColor(label, readableOn(labelColor(LabelLevel::Secondary, palette()),
                                         palette().color(QPalette::Window)));
    return label;
}

void SnapshotForm::setDimmed(bool dimmed) {
    dimmed_ = dimmed;
    balance_->setDimmed(dimmed);
    for (ValueRow* row : rows_) row->setDimmed(dimmed);
}

FormSection* SnapshotForm::makeBalanceSection(const AmbrelSnapshot& snapshot) {
    auto* section = new FormSection(localized("Balance"), this);
    section->setObjectName(QStringLiteral("balanceSection"));
    balance_ = new BalanceRow(snapshot, section);
    section->addRow(balance_);
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
            delta = RowDelta{*card.comparison, MetricKind::currency, card.currency,
                             qtext(card.comparisonLabel.value_or(std::string()))};
        auto* row = new ValueRow(qtext(card.title),
                                 qtext(formatCurrency(card.currency, card.value)), delta, section);
        row->setObjectName(rowName(card.id));
        section->addRow(row);
        rows_.push_back(row);
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
    chartLayout->addWidget(new TrendLegend(chartRow));
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
                         RowDelta{metric.comparison, metric.kind, metric.currency, {}}, section);
        row->setObjectName(rowName(metric.id));
        section->addRow(row);
        rows_.push_back(row);
    }
    // Said once for the six rows, which all compare yesterday with the same weekday before.
    section->setFooter(localized("Changes are against the same weekday a week earlier."));
    return section;
}

}  // namespace ambrel
