#include "widget/faces/widget_stat.h"

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

}  // namespace

QFont WidgetStat::valueFont() const {
    return prominent ? systemFont(20, QFont::Bold, true) : systemFont(16, QFont::DemiBold, true);
}

double WidgetStat::height() const {
    return lineHeight(titleFont()) + kSpacing + lineHeight(valueFont());
}

void WidgetStat::draw(FaceCanvas& canvas, const QRectF& box) const {
    const double titleHeight = lineHeight(titleFont());
    canvas.drawLine(title, QRectF(box.left(), box.top(), box.width(), titleHeight), Qt::AlignLeft,
                    titleFont(), whiteAt(kTitleOpacity), kTitleMinimumScale);
    const double valueTop = box.top() + titleHeight + kSpacing;
    canvas.drawFigure(value, QRectF(box.left(), valueTop, box.width(), lineHeight(valueFont())),
                      Qt::AlignLeft, valueFont(),
                      prominent ? widgetAccentColor() : QColor(Qt::white), kValueMinimumScale);
}

}  // namespace ambrel
