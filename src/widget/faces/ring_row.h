#pragma once

// The day's and the month's objective rings side by side: the one row every family shows.

#include <QRectF>
#include <QSizeF>
#include <array>

#include "widget/earnings_provider.h"
#include "widget/faces/widget_ring.h"

namespace ambrel {

class FaceCanvas;

struct RingRow {
    std::array<WidgetRing, 2> rings;
    double spacing = 14;

    // "Day" (today against the daily goal) and "Month" (month to date against the monthly
    // goal); `withAmounts` adds each amount as money below its ring.
    static RingRow dayAndMonth(const EarningsEntry& entry, double diameter, double spacing,
                               bool withAmounts);

    // Each column as wide as its widest line, but no wider than half of `maxWidth`: a long
    // amount shrinks rather than pushing the other ring away.
    QSizeF size(double maxWidth) const;

    // Centred in `box`.
    void draw(FaceCanvas& canvas, const QRectF& box) const;

  private:
    double columnWidth(int index, double maxWidth) const;
};

}  // namespace ambrel
