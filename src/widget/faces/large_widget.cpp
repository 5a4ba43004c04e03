#include "widget/faces/large_widget.h"

#include <QPainter>
#include <algorithm>

#include "core/earnings/earnings_trend.h"
#include "core/earnings/formatting.h"
#include "core/earnings/trend_texts.h"
#include "ui/fonts.h"
#include "widget/faces/face_canvas.h"
#include "widget/faces/face_fonts.h"
#include "widget/faces/face_notice.h"
#include "widget/faces/face_texts.h"
#include "widget/faces/fitted_line.h"
#include "widget/faces/stack_spacers.h"
#include "widget/faces/widget_colors.h"
#include "widget/faces/widget_delta.h"
#include "widget/faces/widget_title.h"

namespace ambrel {
namespace {

constexpr double kDividerThickness = 1;
constexpr double kDividerOpacity = 0.15;

// Minimum lengths of the stack's spacers, top to bottom.
const std::vector<double> kSpacerMinimums{10, 12, 12, 10, 0};

QFont headingFont() {
    return faceHeadingFont();
}

QFont metricTitleFont() {
    return faceCaptionFont();
}
QFont metricValueFont() {
    return systemFont(15, QFont::DemiBold, true);
}

double metricCellHeight() {
    return lineHeight(metricTitleFont()) + LargeWidget::kCellSpacing +
           lineHeight(metricValueFont()) + LargeWidget::kCellSpacing + WidgetDelta::height();
}

// What yesterday's metrics are compared with: the same comparison as the yesterday card's, in
// its words.
QString metricComparison(const AmbrelSnapshot& snapshot) {
    for (const EarningsCard& card : snapshot.cards()) {
        if (card.id == "yesterday" && card.comparisonLabel)
            return QString::fromStdString(*card.comparisonLabel);
    }
    return {};
}

// One performance metric: its title, its value and its change, at the cell's leading edge.
void drawMetricCell(FaceCanvas& canvas, const PerfMetric& metric, const QString& comparedWith,
                    const QRectF& cell) {
    double y = cell.top();
    const double titleHeight = lineHeight(metricTitleFont());
    canvas.drawLine(QString::fromStdString(metric.title),
                    QRectF(cell.left(), y, cell.width(), titleHeight), Qt::AlignLeft,
                    metricTitleFont(), whiteAt(0.55), LargeWidget::kMetricTitleMinimumScale);
    y += titleHeight + LargeWidget::kCellSpacing;
    const double valueHeight = lineHeight(metricValueFont());
    canvas.drawFigure(QString::fromStdString(valueText(metric)),
                      QRectF(cell.left(), y, cell.width(), valueHeight), Qt::AlignLeft,
                      metricValueFont(), Qt::white, LargeWidget::kMetricValueMinimumScale);
    y += valueHeight + LargeWidget::kCellSpacing;
    WidgetDelta{.comparison = metric.comparison, .comparedWith = comparedWith}.draw(
        canvas, QRectF(cell.left(), y, cell.width(), WidgetDelta::height()));
}

double columnWidth(double width, std::size_t columns, double spacing) {
    const double count = static_cast<double>(columns);
    return std::max((width - spacing * (count - 1)) / count, 0.0);
}

}  // namespace

RingRow LargeWidget::rings() const {
    return RingRow::dayAndMonth(entry, kRingDiameter, kRingSpacing, false);
}

std::array<WidgetStat, 4> LargeWidget::figures() const {
    const AmbrelSnapshot& snapshot = entry.snapshot;
    return {WidgetStat{localized("Today"), moneyText(snapshot, snapshot.today), true},
            WidgetStat{localized("Yesterday"), moneyText(snapshot, snapshot.yesterday), false},
            WidgetStat{localized("This month"), moneyText(snapshot, snapshot.monthToDate), false},
            WidgetStat{localized("Balance"), balanceText(snapshot), false}};
}

QString LargeWidget::performanceHeading() {
    return localized("Performance \u00B7 Yesterday");
}

QStringList LargeWidget::spokenProjection() const {
    if (entry.isSample) return {};
    const auto projection = monthEndProjection(entry.snapshot.dailyEarnings);
    if (!projection) return {};
    QStringList texts{QString::fromStdString(projectionText(entry.snapshot.currency, *projection))};
    if (const auto share = monthlyObjectiveShareText(*projection, entry.objectives.monthly))
        texts << QString::fromStdString(*share);
    return texts;
}

// Each row is as high as its tallest figure.
double LargeWidget::figureGridHeight() const {
    const std::array<WidgetStat, 4> stats = figures();
    double height = 0;
    for (std::size_t first = 0; first < stats.size(); first += kFigureColumns) {
        if (first > 0) height += kFigureRowSpacing;
        double rowHeight = 0;
        for (std::size_t i = first; i < std::min(first + kFigureColumns, stats.size()); ++i) {
            rowHeight = std::max(rowHeight, stats[i].height());
        }
        height += rowHeight;
    }
    return height;
}

void LargeWidget::drawFigureGrid(FaceCanvas& canvas, const QRectF& box) const {
    const std::array<WidgetStat, 4> stats = figures();
    const double cellWidth = columnWidth(box.width(), kFigureColumns, kFigureColumnSpacing);
    double y = box.top();
    for (std::size_t first = 0; first < stats.size(); first += kFigureColumns) {
        double rowHeight = 0;
        for (std::size_t i = first; i < std::min(first + kFigureColumns, stats.size()); ++i) {
            const double x =
                box.left() + static_cast<double>(i - first) * (cellWidth + kFigureColumnSpacing);
            stats[i].draw(canvas, QRectF(x, y, cellWidth, stats[i].height()));
            rowHeight = std::max(rowHeight, stats[i].height());
        }
        y += rowHeight + kFigureRowSpacing;
    }
}

double LargeWidget::metricGridHeight() const {
    const std::size_t count = entry.snapshot.perfMetrics().size();
    const std::size_t rows = (count + kMetricColumns - 1) / kMetricColumns;
    if (rows == 0) return 0;
    return static_cast<double>(rows) * metricCellHeight() +
           static_cast<double>(rows - 1) * kMetricRowSpacing;
}

void LargeWidget::drawMetricGrid(FaceCanvas& canvas, const QRectF& box) const {
    const std::vector<PerfMetric> metrics = entry.snapshot.perfMetrics();
    const QString comparedWith = metricComparison(entry.snapshot);
    const double cellWidth = columnWidth(box.width(), kMetricColumns, kMetricColumnSpacing);
    const double cellHeight = metricCellHeight();
    for (std::size_t i = 0; i < metrics.size(); ++i) {
        const double column = static_cast<double>(i % kMetricColumns);
        const double row = static_cast<double>(i / kMetricColumns);
        drawMetricCell(
            canvas, metrics[i], comparedWith,
            QRectF(box.left() + column * (cellWidth + kMetricColumnSpacing),
                   box.top() + row * (cellHeight + kMetricRowSpacing), cellWidth, cellHeight));
    }
}

void LargeWidget::draw(FaceCanvas& canvas, const QRectF& content) const {
    const RingRow ringRow = rings();
    const QSizeF ringsSize = ringRow.size(content.width());
    const double gridLeft = content.left() + ringsSize.width() + kRowSpacing;
    const double figuresHeight = figureGridHeight();
    const double rowHeight = std::max(ringsSize.height(), figuresHeight);
    const double titleHeight = WidgetTitle::height();
    const double headingHeight = lineHeight(headingFont());
    const double metricsHeight = metricGridHeight();
    const FaceNotice notice = faceNoticeOf(entry);
    const double alertHeight = notice.signInAgain ? lineHeight(faceCaptionFont()) : 0;

    const double fixed =
        titleHeight + rowHeight + kDividerThickness + headingHeight + metricsHeight + alertHeight;
    const std::vector<double> spacers =
        distributeSpacers(kSpacerMinimums, content.height() - fixed);

    double y = content.top();
    WidgetTitle{.note = notice.freshness, .noteColor = notice.freshnessColor}.draw(
        canvas, QRectF(content.left(), y, content.width(), titleHeight));
    y += titleHeight + spacers[0];

    ringRow.draw(canvas, QRectF(content.left(), y, ringsSize.width(), rowHeight));
    drawFigureGrid(canvas, QRectF(gridLeft, y + (rowHeight - figuresHeight) / 2,
                                  content.right() - gridLeft, figuresHeight));
    y += rowHeight + spacers[1];

    if (QPainter* painter = canvas.painter()) {
        painter->fillRect(QRectF(content.left(), y, content.width(), kDividerThickness),
                          whiteAt(kDividerOpacity));
    }
    y += kDividerThickness + spacers[2];

    canvas.drawLine(performanceHeading(), QRectF(content.left(), y, content.width(), headingHeight),
                    Qt::AlignLeft, headingFont(), whiteAt(0.8));
    y += headingHeight + spacers[3];

    drawMetricGrid(canvas, QRectF(content.left(), y, content.width(), metricsHeight));
    if (notice.signInAgain) {
        canvas.drawLine(
            *notice.signInAgain,
            QRectF(content.left(), content.bottom() - alertHeight, content.width(), alertHeight),
            Qt::AlignLeft, faceCaptionFont(), widgetAccentColor());
    }
}

}  // namespace ambrel
