#include "app/trend_chart.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "app/localized.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_trend.h"
#include "core/earnings/formatting.h"
#include "core/earnings/trend_texts.h"
#include "ui/colors.h"

namespace ambrel {
namespace {

constexpr int kHeight = 120;
constexpr int kMinimumWidth = 180;
constexpr double kSlotGap = 2;       // between two bars
constexpr double kTopMargin = 8;     // room above the tallest bar
constexpr double kBottomMargin = 4;  // room below the zero line (for bars below it)
constexpr double kBarRadius = 1.5;
constexpr double kPartialOpacity = 0.4;

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

}  // namespace

TrendChart::TrendChart(std::span<const DailyEarning> days, std::string currency, QWidget* parent)
    : QWidget(parent), days_(days.begin(), days.end()), currency_(std::move(currency)) {
    setObjectName(QStringLiteral("trendChart"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    // Bars sit in the slot of their date, so a day missing from the series leaves its gap.
    const auto last = days_.empty() ? std::nullopt : parseDateKey(days_.back().date);
    for (const DailyEarning& day : days_) {
        const auto date = parseDateKey(day.date);
        const auto before =
            date && last ? (std::chrono::sys_days{*last} - std::chrono::sys_days{*date}).count()
                         : 0;
        slots_.push_back(static_cast<std::size_t>(
            std::clamp<long>(kTrendChartDays - 1 - before, 0, kTrendChartDays - 1)));
        low_ = std::min(low_, day.earnings);
        high_ = std::max(high_, day.earnings);
    }

    const auto summary = summarizeCompleteDays(days_);
    if (summary && std::isfinite(summary->average)) average_ = summary->average;
    setAccessibleName(localized("Earnings of the last 30 days"));
    setAccessibleDescription(summary ? qtext(summaryText(*summary, currency_))
                                     : localized("No complete day yet."));
}

QSize TrendChart::sizeHint() const {
    return {kMinimumWidth * 2, kHeight};
}

QSize TrendChart::minimumSizeHint() const {
    return {kMinimumWidth, kHeight};
}

QRectF TrendChart::plotRect() const {
    return QRectF(rect()).adjusted(0, kTopMargin, 0, low_ < 0 ? -kBottomMargin : -1);
}

double TrendChart::yOf(double value) const {
    const QRectF plot = plotRect();
    const double span = high_ - low_;
    if (!(span > 0) || !std::isfinite(span)) return plot.bottom();
    return plot.bottom() - (value - low_) / span * plot.height();
}

QRectF TrendChart::barRect(std::size_t index) const {
    const QRectF plot = plotRect();
    const double slotWidth = plot.width() / kTrendChartDays;
    const double left = plot.left() + static_cast<double>(slots_[index]) * slotWidth + kSlotGap / 2;
    const double zero = yOf(0);
    const double top = yOf(days_[index].earnings);
    return QRectF(QPointF(left, std::min(zero, top)),
                  QPointF(left + std::max(slotWidth - kSlotGap, 1.0), std::max(zero, top)));
}

std::optional<std::size_t> TrendChart::barAt(QPointF point) const {
    // The whole height of the chart answers, so a low bar is as easy to point at as a tall one.
    if (point.y() < 0 || point.y() > height()) return std::nullopt;
    for (std::size_t i = 0; i < days_.size(); ++i) {
        const QRectF bar = barRect(i);
        if (point.x() >= bar.left() && point.x() < bar.right()) return i;
    }
    return std::nullopt;
}

QString TrendChart::toolTipText(std::size_t index) const {
    const DailyEarning& day = days_[index];
    QString text =
        qtext(dayText(day.date)) + u'\n' + qtext(formatCurrency(currency_, day.earnings));
    if (index + 1 == days_.size()) text += u'\n' + localized("Day in progress");
    return text;
}

std::optional<double> TrendChart::averageY() const {
    if (!average_) return std::nullopt;
    return yOf(*average_);
}

void TrendChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor bar = palette().color(QPalette::Highlight);
    QColor partial = bar;
    partial.setAlphaF(kPartialOpacity);
    const QColor hovered = isDark(palette()) ? bar.lighter(135) : bar.darker(135);

    painter.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < days_.size(); ++i) {
        const bool inProgress = i + 1 == days_.size();
        painter.setBrush(hovered_ == i ? hovered : inProgress ? partial : bar);
        painter.drawRoundedRect(barRect(i), kBarRadius, kBarRadius);
    }

    // The zero line, then the average of the complete days over the bars.
    const QRectF plot = plotRect();
    painter.setPen(QPen(labelColor(LabelLevel::Quaternary, palette()), 1));
    const double zero = std::round(yOf(0)) + 0.5;
    painter.drawLine(QPointF(plot.left(), zero), QPointF(plot.right(), zero));
    if (const auto y = averageY()) {
        QPen line(labelColor(LabelLevel::Secondary, palette()), 1, Qt::DashLine);
        painter.setPen(line);
        const double at = std::round(*y) + 0.5;
        painter.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
    }
}

bool TrendChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const auto index = barAt(help->pos())) {
            QToolTip::showText(help->globalPos(), toolTipText(*index), this,
                               barRect(*index).toAlignedRect());
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    setHovered(barAt(event->position()));
    QWidget::mouseMoveEvent(event);
}

void TrendChart::leaveEvent(QEvent* event) {
    setHovered(std::nullopt);
    QWidget::leaveEvent(event);
}

void TrendChart::setHovered(std::optional<std::size_t> index) {
    if (hovered_ == index) return;
    hovered_ = index;
    update();
}

}  // namespace ambrel
