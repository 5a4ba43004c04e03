#pragma once

// A change against the previous period: a small triangle and the relative change, green when
// the figure held or rose, red when it fell.

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <optional>

#include "core/earnings/snapshot.h"

namespace ambrel {

class FaceCanvas;

struct WidgetDelta {
    Comparison comparison;

    static constexpr double kArrowSize = 7;
    static constexpr double kSpacing = 2;
    static constexpr double kMinimumScale = 0.6;

    // An unchanged figure counts as up.
    bool isUp() const;
    QColor color() const;
    QString symbolName() const;
    // "(+12%)"; none when the previous figure is 0, where a relative change means nothing.
    std::optional<QString> changeText() const;

    static QFont font();
    static double height();

    // At the leading edge of `box`, vertically centred; the whole line shrinks to fit.
    void draw(FaceCanvas& canvas, const QRectF& box) const;
};

}  // namespace ambrel
