#include "widget/faces/widget_ring.h"

#include <algorithm>

#include "ui/fonts.h"
#include "widget/faces/face_canvas.h"
#include "widget/faces/face_fonts.h"
#include "widget/faces/fitted_line.h"
#include "widget/faces/widget_colors.h"

namespace ambrel {
namespace {

QFont titleFont() {
    return faceCaptionFont();
}
QFont subtitleFont() {
    return systemFont(11, QFont::DemiBold, true);
}

}  // namespace

double WidgetRing::progress() const {
    return goal > 0 ? value / goal : 0;
}

QSizeF WidgetRing::naturalSize() const {
    double width = std::max(diameter, textWidth(title, titleFont()));
    double height = diameter + kSpacing + lineHeight(titleFont());
    if (subtitle) {
        width = std::max(width, textWidth(*subtitle, subtitleFont()));
        height += kSpacing + lineHeight(subtitleFont());
    }
    return {width, height};
}

void WidgetRing::draw(FaceCanvas& canvas, const QRectF& box) const {
    double y = box.top();
    const QRectF ringSquare(box.center().x() - diameter / 2, y, diameter, diameter);
    y += diameter + kSpacing;

    // The title is laid out below the ring but recorded first, so the spoken order is
    // "Day, 92 %, 9,21 €".
    const double titleHeight = lineHeight(titleFont());
    canvas.drawLine(title, QRectF(box.left(), y, box.width(), titleHeight), Qt::AlignHCenter,
                    titleFont(), whiteAt(kTitleOpacity));
    canvas.drawRing(progress(), ringSquare.topLeft(), diameter, kLineWidth,
                    diameter * kCenterFontRatio, Qt::white);
    y += titleHeight;

    if (subtitle) {
        y += kSpacing;
        canvas.drawFigure(*subtitle, QRectF(box.left(), y, box.width(), lineHeight(subtitleFont())),
                          Qt::AlignHCenter, subtitleFont(), whiteAt(0.85), kSubtitleMinimumScale);
    }
}

}  // namespace ambrel
