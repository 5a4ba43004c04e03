#include "widget/faces/disconnected_widget.h"

#include <QFontMetricsF>
#include <cmath>

#include "widget/faces/face_canvas.h"
#include "widget/faces/face_fonts.h"
#include "widget/faces/face_texts.h"
#include "widget/faces/widget_colors.h"

namespace ambrel {
namespace {

// The symbol takes the size of the surrounding text, the body style's 13 px; symbols sit a
// little larger than the font's pixel size.
constexpr double kSymbolSide = 13 * 1.2;

QFont messageFont() {
    return faceCaptionFont();
}

}  // namespace

QString DisconnectedWidget::message() {
    return localized("Open Ambrel to sign in");
}

void DisconnectedWidget::draw(FaceCanvas& canvas, const QRectF& content) const {
    const QRectF area = content.adjusted(kPadding, kPadding, -kPadding, -kPadding);
    const QRectF textBounds = QFontMetricsF(messageFont())
                                  .boundingRect(QRectF(0, 0, area.width(), area.height()),
                                                Qt::AlignHCenter | Qt::TextWordWrap, message());
    const double textHeight = std::ceil(textBounds.height());
    const double side = kSymbolSide;
    const double top = area.center().y() - (side + kSpacing + textHeight) / 2;

    canvas.drawSymbol(QStringLiteral("circle.hexagongrid.fill"),
                      QRectF(area.center().x() - side / 2, top, side, side), widgetAccentColor());
    canvas.drawWrapped(message(),
                       QRectF(area.left(), top + side + kSpacing, area.width(), textHeight),
                       messageFont(), whiteAt(0.7));
}

}  // namespace ambrel
