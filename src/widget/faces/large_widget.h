#pragma once

// The large widget: the title with how fresh the figures are; the two objective rings beside
// four figures; a divider; yesterday's performance metrics in a grid of three columns, each
// with its change; and, when Google ended the sign-in, a last line that says to sign in again.

#include <QRectF>
#include <QStringList>
#include <array>
#include <cstddef>
#include <vector>

#include "widget/earnings_provider.h"
#include "widget/faces/ring_row.h"
#include "widget/faces/widget_stat.h"

namespace ambrel {

class FaceCanvas;

struct LargeWidget {
    EarningsEntry entry;

    static constexpr double kRingDiameter = 60;
    static constexpr double kRingSpacing = 10;
    static constexpr double kRowSpacing = 14;
    static constexpr std::size_t kFigureColumns = 2;
    static constexpr double kFigureColumnSpacing = 10;
    static constexpr double kFigureRowSpacing = 12;
    static constexpr std::size_t kMetricColumns = 3;
    static constexpr double kMetricColumnSpacing = 14;
    static constexpr double kMetricRowSpacing = 16;
    static constexpr double kCellSpacing = 2;
    static constexpr double kMetricValueMinimumScale = 0.6;
    // A title too long for its column (in a longer language) shrinks a little before any of it
    // is cut; not below this, so that it stays readable at scale 1.
    static constexpr double kMetricTitleMinimumScale = 0.8;

    RingRow rings() const;
    // "Today" (prominent), "Yesterday", "This month", "Balance".
    std::array<WidgetStat, 4> figures() const;
    static QString performanceHeading();  // "Performance · Yesterday"
    // Said to assistive technologies after the drawn texts, though not drawn: where the month
    // will end, and the share of the monthly objective that reaches (earnings_trend.h). Empty
    // when the snapshot has no complete day to project from, and for the sample.
    QStringList spokenProjection() const;

    void draw(FaceCanvas& canvas, const QRectF& content) const;

  private:
    double figureGridHeight() const;
    void drawFigureGrid(FaceCanvas& canvas, const QRectF& box) const;
    double metricGridHeight() const;
    void drawMetricGrid(FaceCanvas& canvas, const QRectF& box) const;
};

}  // namespace ambrel
