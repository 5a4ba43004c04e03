#include "app/fitting_label.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace ambrel {

FittingLabel::FittingLabel(double minimumScale, QWidget* parent)
    : QLabel(parent), minimumScale_(minimumScale) {
    setTextFormat(Qt::PlainText);  // painted as plain text below; read out the same way
    setWordWrap(false);
    setAlignment(Qt::AlignCenter);
}

QSize FittingLabel::minimumSizeHint() const {
    // Allow the layout to give it less than its text: painting shrinks, then elides.
    return {0, QLabel::minimumSizeHint().height()};
}

double FittingLabel::fittedPixelSize(int width) const {
    const double base = font().pixelSize() > 0 ? font().pixelSize() : font().pointSizeF();
    const double natural = QFontMetricsF(font()).horizontalAdvance(text());
    if (natural <= width || natural <= 0) return base;
    return std::max(base * minimumScale_, base * width / natural);
}

void FittingLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    QFont fitted = font();
    fitted.setPixelSize(std::max(1, static_cast<int>(fittedPixelSize(area.width()))));
    painter.setFont(fitted);
    painter.setPen(palette().color(foregroundRole()));
    const QString shown = QFontMetrics(fitted).elidedText(text(), Qt::ElideRight, area.width());
    painter.drawText(area, static_cast<int>(alignment()), shown);
}

}  // namespace ambrel
