#pragma once

// The dashboard's chart of the last 30 days: one bar per day up to the reference day, whose bar
// is lighter and outlined (the day is still in progress), a dashed line at the average of the
// complete days, the highest bar's amount above it, and a light date axis under the bars: the
// reference day and every seventh day before it. Hovering a bar shows its date and amount;
// assistive technologies read the average, the best and the worst day in the description.

#include <QWidget>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/earnings/snapshot.h"

namespace ambrel {

class TrendChart final : public QWidget {
    Q_OBJECT
  public:
    // `days`: the chart's days (earnings_trend.h), oldest first, the day in progress last.
    TrendChart(std::span<const DailyEarning> days, std::string currency, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Where the bar of `days[index]` is drawn, and the bar under a point (none between bars).
    QRectF barRect(std::size_t index) const;
    std::optional<std::size_t> barAt(QPointF point) const;
    // "21 May 2026", the amount, and for the last day that it is still in progress.
    QString toolTipText(std::size_t index) const;
    // The height of the average line; none without a complete day.
    std::optional<double> averageY() const;
    // The amount written above the highest bar; empty when no day earned anything.
    QString highestText() const;
    // The dates written under the bars, oldest first, with the slot each stands under.
    std::vector<std::pair<std::size_t, QString>> axisLabels() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    QRectF plotRect() const;
    QFont labelFont() const;
    QColor labelColor() const;
    void paintBars(QPainter& painter);
    void paintTexts(QPainter& painter);
    double yOf(double value) const;
    void setHovered(std::optional<std::size_t> index);

    std::vector<DailyEarning> days_;
    std::vector<std::size_t> slots_;  // each day's place among the 30, from its date
    std::string currency_;
    std::optional<double> average_;
    double low_ = 0;  // the value axis: 0 and every day's figure lie within
    double high_ = 0;
    std::optional<std::size_t> hovered_;
    std::optional<std::size_t> highest_;  // the highest bar above zero
};

}  // namespace ambrel
