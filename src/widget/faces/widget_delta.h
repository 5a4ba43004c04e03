#pragma once

// A change against the previous period: a small triangle and the relative change, green when
// the figure rose, red when it fell. A change too small to show in whole percent (below half a
// percent, an unchanged figure too) is neutral: no triangle, no colour, "(0%)".

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
    // What the previous figure was ("vs same weekday last week"): said after the change to
    // assistive technologies, not drawn.
    QString comparedWith{};

    static constexpr double kSpacing = 2;
    static constexpr double kMinimumScale = 0.6;

    bool isNeutral() const;
    // A rise, or a figure that held with nothing to compare against (previous 0).
    bool isUp() const;
    QColor color() const;
    // None when neutral.
    std::optional<QString> symbolName() const;
    // "(+12%)", "(0%)" when neutral; none when the previous figure is 0, where a relative change
    // means nothing.
    std::optional<QString> changeText() const;

    static QFont font();
    static double height();

    // At the leading edge of `box`, vertically centred; the whole line shrinks to fit.
    void draw(FaceCanvas& canvas, const QRectF& box) const;
};

}  // namespace ambrel
