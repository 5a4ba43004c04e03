#pragma once

// A figure with its caption above, at the leading edge of the full width it is given. The
// prominent figure (today's earnings) is larger, bold and in the accent colour.

#include <QFont>
#include <QRectF>
#include <QString>

namespace ambrel {

class FaceCanvas;

struct WidgetStat {
    QString title;
    QString value;
    bool prominent = false;

    static constexpr double kSpacing = 2;
    static constexpr double kTitleMinimumScale = 0.6;
    static constexpr double kValueMinimumScale = 0.5;
    // 5.4:1 against the gradient's lightest, top edge.
    static constexpr double kTitleOpacity = 0.55;

    QFont valueFont() const;
    double height() const;

    void draw(FaceCanvas& canvas, const QRectF& box) const;
};

}  // namespace ambrel
