#include "widget/faces/earnings_widget_background.h"

#include <QLinearGradient>
#include <QPainter>

#include "widget/faces/widget_colors.h"
#include "widget/faces/widget_family.h"

namespace ambrel {

void EarningsWidgetBackground::draw(QPainter& painter, const QRectF& rect) const {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, widgetGradientTop());
    gradient.setColorAt(1, widgetGradientBottom());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(rect, kWidgetCornerRadius, kWidgetCornerRadius);
    painter.restore();
}

}  // namespace ambrel
