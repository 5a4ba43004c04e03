#include "ui/colors.h"

#include <QWidget>

namespace ambrel {

QColor systemGreen() {
    return QColor(0x34, 0xC7, 0x59);
}
QColor systemRed() {
    return QColor(0xFF, 0x3B, 0x30);
}
QColor brandYellow() {
    return QColor(0xFF, 0xD6, 0x6B);
}
QColor systemPink() {
    return QColor(0xFF, 0x2D, 0x55);
}

QColor labelColor(LabelLevel level, const QPalette& palette) {
    QColor color = palette.color(QPalette::Active, QPalette::WindowText);
    switch (level) {
        case LabelLevel::Primary:
            break;
        case LabelLevel::Secondary:
            color.setAlphaF(0.55f);
            break;
        case LabelLevel::Tertiary:
            color.setAlphaF(0.35f);
            break;
        case LabelLevel::Quaternary:
            color.setAlphaF(0.18f);
            break;
    }
    return color;
}

void setForegroundColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Active, role, color);
        palette.setColor(QPalette::Inactive, role, color);
    }
    widget->setPalette(palette);
}

void setLabelLevel(QWidget* widget, LabelLevel level) {
    setForegroundColor(widget, labelColor(level, widget->palette()));
}

}  // namespace ambrel
