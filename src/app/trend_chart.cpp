#include "app/trend_chart.h"

#include <QDate>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLocale>
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
#include "core/platform/locale.h"
#include "ui/colors.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {

constexpr int kBarsHeight = 120;
constexpr int kMinimumWidth = 180;
constexpr double kSlotGap = 2;       // between two bars
constexpr double kTextGap = 3;       // between a bar and the text next to it
constexpr double kBottomMargin = 4;  // room below the zero line (for bars below it)
constexpr double kBarRadius = 1.5;
constexpr double kPartialOpacity = 0.4;
constexpr int kAxisStep = 7;

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

// The locale's short date without its year ("5/21", "21/05"): the axis only needs the day.
QString dayMonthFormat(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype first = format.indexOf(u'y');
    if (first < 0) return format;
    qsizetype last = format.lastIndexOf(u'y');
    qsizetype from = first;
    qsizetype to = last + 1;
    // Take the separator on whichever side of the year touches another field.
    if (from > 0) {
        while (from > 0 && !format.at(from - 1).isLetter()) --from;
    } else {
        while (to < format.size() && !format.at(to).isLetter()) ++to;
    }
    format.remove(from, to - from);
    return format;
}

}  // namespace

TrendChart::TrendChart(std::span<const DailyEarning> days, std::string currency, QWidget* parent)
    : QWidget(parent), days_(days.begin(), days.end()), currency_(std::move(currency)) {
    setObjectName(QStringLiteral("trendChart"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    // Bars sit in the slot of their date, so a day missing from the series leaves its gap.
    const auto last = days_.empty() ? std::nullopt : parseDateKey(days_.back().date);
    for (std::size_t i = 0; i < days_.size(); ++i) {
        const DailyEarning& day = days_[i];
        const auto date = parseDateKey(day.date);
        const auto before =
            date && last ? (std::chrono::sys_days{*last} - std::chrono::sys_days{*date}).count()
                         : 0;
        slots_.push_back(static_cast<std::size_t>(
            std::clamp<long>(kTrendChartDays - 1 - before, 0, kTrendChartDays - 1)));
        low_ = std::min(low_, day.earnings);
        if (day.earnings > high_) highest_ = i;
        high_ = std::max(high_, day.earnings);
    }

    const auto summary = summarizeCompleteDays(days_);
    if (summary && std::isfinite(summary->average)) average_ = summary->average;
    setAccessibleName(localized("Earnings of the last 30 days"));
    setAccessibleDescription(summary ? qtext(summaryText(*summary, currency_))
                                     : localized("No complete day yet."));
}

QFont TrendChart::labelFont() const {
    return withMonospacedDigits(textStyleFont(TextStyle::Caption2));
}

QColor TrendChart::labelColor() const {
    return readableOn(ambrel::labelColor(LabelLevel::Secondary, palette()),
                      palette().color(QPalette::Base));
}

QSize TrendChart::sizeHint() const {
    return {kMinimumWidth * 2, minimumSizeHint().height()};
}

QSize TrendChart::minimumSizeHint() const {
    // Room for the highest amount above the bars and the dates under them.
    const int text = static_cast<int>(std::ceil(QFontMetricsF(labelFont()).height() + kTextGap));
    return {kMinimumWidth, kBarsHeight + 2 * text};
}

QRectF TrendChart::plotRect() const {
    const double text = QFontMetricsF(labelFont()).height() + kTextGap;
    return QRectF(rect()).adjusted(0, text, 0, -text - (low_ < 0 ? kBottomMargin : 1));
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

QString TrendChart::highestText() const {
    if (!highest_) return {};
    return qtext(formatCurrency(currency_, days_[*highest_].earnings));
}

std::vector<std::pair<std::size_t, QString>> TrendChart::axisLabels() const {
    std::vector<std::pair<std::size_t, QString>> labels;
    const auto last = days_.empty() ? std::nullopt : parseDateKey(days_.back().date);
    if (!last) return labels;
    const QLocale locale(QString::fromStdString(displayLocale()));
    const QString format = dayMonthFormat(locale);
    for (int back = (kTrendChartDays - 1) / kAxisStep * kAxisStep; back >= 0; back -= kAxisStep) {
        const std::chrono::year_month_day day{std::chrono::sys_days{*last} -
                                              std::chrono::days{back}};
        const QDate date(int(day.year()), int(unsigned(day.month())), int(unsigned(day.day())));
        labels.emplace_back(static_cast<std::size_t>(kTrendChartDays - 1 - back),
                            locale.toString(date, format));
    }
    return labels;
}

void TrendChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBars(painter);

    // The zero line, then the average of the complete days over the bars.
    const QRectF plot = plotRect();
    painter.setPen(QPen(ambrel::labelColor(LabelLevel::Quaternary, palette()), 1));
    const double zero = std::round(yOf(0)) + 0.5;
    painter.drawLine(QPointF(plot.left(), zero), QPointF(plot.right(), zero));
    if (const auto y = averageY()) {
        QPen line(ambrel::labelColor(LabelLevel::Secondary, palette()), 1, Qt::DashLine);
        painter.setPen(line);
        const double at = std::round(*y) + 0.5;
        painter.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
    }
    paintTexts(painter);
}

void TrendChart::paintBars(QPainter& painter) {
    const QColor bar = palette().color(QPalette::Highlight);
    QColor partial = bar;
    partial.setAlphaF(kPartialOpacity);
    const QColor hovered = isDark(palette()) ? bar.lighter(135) : bar.darker(135);
    for (std::size_t i = 0; i < days_.size(); ++i) {
        const bool inProgress = i + 1 == days_.size();
        painter.setPen(Qt::NoPen);
        painter.setBrush(hovered_ == i ? hovered : inProgress ? partial : bar);
        const QRectF rect = barRect(i);
        painter.drawRoundedRect(rect, kBarRadius, kBarRadius);
        if (inProgress && hovered_ != i) {
            // Lighter, yet outlined in the full colour: on a dark plate a faint fill alone
            // all but vanishes.
            painter.setPen(QPen(bar, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), kBarRadius, kBarRadius);
        }
    }
}

void TrendChart::paintTexts(QPainter& painter) {
    painter.setFont(labelFont());
    painter.setPen(labelColor());
    const QFontMetricsF metrics(labelFont());
    const auto centredAt = [&](double x, double top, const QString& text) {
        const double width = metrics.horizontalAdvance(text);
        const double left = std::clamp(x - width / 2, 0.0, std::max(0.0, this->width() - width));
        painter.drawText(QRectF(left, top, width + 1, metrics.height()), Qt::AlignCenter, text);
    };
    if (highest_) {
        const QRectF bar = barRect(*highest_);
        centredAt(bar.center().x(), bar.top() - kTextGap - metrics.height(), highestText());
    }
    const QRectF plot = plotRect();
    const double slotWidth = plot.width() / kTrendChartDays;
    const double axisTop = height() - metrics.height();
    for (const auto& [slot, text] : axisLabels())
        centredAt(plot.left() + (static_cast<double>(slot) + 0.5) * slotWidth, axisTop, text);
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
