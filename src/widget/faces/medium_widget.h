#pragma once

// The medium widget: the title at the top with how fresh the figures are, and below it the two
// objective rings on the left and today's earnings over the balance on the right; at the
// bottom, when Google ended the sign-in, a line that says to sign in again.

#include <QRectF>
#include <array>

#include "widget/earnings_provider.h"
#include "widget/faces/ring_row.h"
#include "widget/faces/widget_stat.h"

namespace ambrel {

class FaceCanvas;

struct MediumWidget {
    EarningsEntry entry;

    static constexpr double kRingDiameter = 60;
    static constexpr double kRingSpacing = 14;
    static constexpr double kRowSpacing = 18;
    static constexpr double kStatSpacing = 10;
    static constexpr double kSpacerMinimum = 8;  // a flexible spacer never closes up entirely

    RingRow rings() const;
    std::array<WidgetStat, 2> stats() const;  // "Today" (prominent), "Balance"

    void draw(FaceCanvas& canvas, const QRectF& content) const;
};

}  // namespace ambrel
