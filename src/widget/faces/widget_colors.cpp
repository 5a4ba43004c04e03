#include "widget/faces/widget_colors.h"

#include "ui/colors.h"

namespace ambrel {

QColor widgetAccentColor() {
    return brandYellow();
}

QColor widgetGradientTop() {
    return QColor::fromRgbF(0.08f, 0.16f, 0.30f);
}

QColor widgetGradientBottom() {
    return QColor::fromRgbF(0.04f, 0.09f, 0.16f);
}

QColor whiteAt(double opacity) {
    QColor white(Qt::white);
    white.setAlphaF(static_cast<float>(opacity));
    return white;
}

}  // namespace ambrel
