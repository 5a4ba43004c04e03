#pragma once

// One objective ring of the widget: the ring, its title below and optionally the amount below
// that, centred in a column.

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

namespace ambrel {

class FaceCanvas;

struct WidgetRing {
    QString title;
    double value = 0;
    double goal = 0;
    std::optional<QString> subtitle{};
    double diameter = 60;

    static constexpr double kLineWidth = 6;
    static constexpr double kSpacing = 4;
    static constexpr double kCenterFontRatio = 0.22;
    static constexpr double kSubtitleMinimumScale = 0.6;
    static constexpr double kTitleOpacity = 0.6;

    // value / goal; a goal of 0 or less is no progress rather than a division by zero.
    double progress() const;

    // The widest of ring, title and subtitle, and the stacked height.
    QSizeF naturalSize() const;

    // Centred horizontally in `box`, from its top; the subtitle shrinks to the box's width.
    void draw(FaceCanvas& canvas, const QRectF& box) const;
};

}  // namespace ambrel
