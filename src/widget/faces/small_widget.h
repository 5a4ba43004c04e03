#pragma once

// The small widget: the day's and the month's objective rings side by side, each with its
// amount, centred in the widget; below them, only when something is amiss, one line that says
// what (the sign-in ended, the figures are a sample, or how old they are).

#include <QRectF>

#include "widget/earnings_provider.h"
#include "widget/faces/ring_row.h"

namespace ambrel {

class FaceCanvas;

struct SmallWidget {
    EarningsEntry entry;

    static constexpr double kRingDiameter = 62;
    static constexpr double kRingSpacing = 14;
    static constexpr double kNoteSpacing = 10;
    static constexpr double kNoteMinimumScale = 0.75;

    RingRow rings() const;

    // `content` is the widget's area inside its margins.
    void draw(FaceCanvas& canvas, const QRectF& content) const;
};

}  // namespace ambrel
