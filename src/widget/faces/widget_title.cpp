#include "widget/faces/widget_title.h"

#include "core/platform/localization.h"
#include "ui/fonts.h"
#include "widget/faces/face_canvas.h"
#include "widget/faces/fitted_line.h"
#include "widget/faces/widget_colors.h"

namespace ambrel {
namespace {

// A label's symbol sits a little larger than the font's size, with a small gap before the text.
constexpr double kSymbolScale = 1.2;
constexpr double kSymbolGap = 4;

}  // namespace

QString WidgetTitle::text() {
    return QString::fromStdString(tr("AdSense earnings"));
}

QFont WidgetTitle::font() {
    QFont font = textStyleFont(TextStyle::Caption);
    font.setWeight(QFont::DemiBold);
    return font;
}

double WidgetTitle::height() {
    return lineHeight(font());
}

void WidgetTitle::draw(FaceCanvas& canvas, const QRectF& box) const {
    const QFont titleFont = font();
    const double side = titleFont.pixelSize() * kSymbolScale;
    const double rowHeight = height();
    canvas.drawSymbol(QStringLiteral("circle.hexagongrid.fill"),
                      QRectF(box.left(), box.top() + (rowHeight - side) / 2, side, side),
                      widgetAccentColor());
    const double textLeft = box.left() + side + kSymbolGap;
    canvas.drawLine(text(), QRectF(textLeft, box.top(), box.right() - textLeft, rowHeight),
                    Qt::AlignLeft, titleFont, widgetAccentColor());
}

}  // namespace ambrel
