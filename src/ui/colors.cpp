#include "ui/colors.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace ambrel {
namespace {

double relativeLuminance(const QColor& color) {
    const auto channel = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

QColor composedOver(const QColor& color, const QColor& background) {
    const double alpha = color.alphaF();
    const auto mix = [alpha](double front, double back) {
        return static_cast<float>(front * alpha + back * (1 - alpha));
    };
    return QColor::fromRgbF(mix(color.redF(), background.redF()),
                            mix(color.greenF(), background.greenF()),
                            mix(color.blueF(), background.blueF()));
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& color, const QColor& background, double ratio) {
    QColor shown = composedOver(color, background);
    if (contrastRatio(shown, background) >= ratio) return shown;
    // Darker text on light backgrounds, lighter on dark ones: the side with more room.
    const bool darken = relativeLuminance(background) > 0.18;
    float hue = 0;
    float saturation = 0;
    float lightness = 0;
    shown.getHslF(&hue, &saturation, &lightness);
    constexpr float kStep = 0.01f;
    while (contrastRatio(shown, background) < ratio) {
        lightness = std::clamp(lightness + (darken ? -kStep : kStep), 0.0f, 1.0f);
        shown = QColor::fromHslF(hue, saturation, lightness);
        if (lightness <= 0.0f || lightness >= 1.0f) break;
    }
    return shown;
}

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
