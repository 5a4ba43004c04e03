#include "widget/faces/widget_delta.h"

#include <algorithm>

#include "core/earnings/formatting.h"
#include "ui/colors.h"
#include "ui/fonts.h"
#include "widget/faces/face_canvas.h"
#include "widget/faces/fitted_line.h"

namespace ambrel {

bool WidgetDelta::isUp() const {
    return comparison.current - comparison.previous >= 0;
}

QColor WidgetDelta::color() const {
    return isUp() ? systemGreen() : systemRed();
}

QString WidgetDelta::symbolName() const {
    return isUp() ? QStringLiteral("arrowtriangle.up.fill")
                  : QStringLiteral("arrowtriangle.down.fill");
}

std::optional<QString> WidgetDelta::changeText() const {
    auto text = percentChangeText(comparison.current, comparison.previous);
    if (!text) return std::nullopt;
    return QString::fromStdString(*text);
}

QFont WidgetDelta::font() {
    return systemFont(10, QFont::Medium);
}

double WidgetDelta::height() {
    return lineHeight(font());
}

void WidgetDelta::draw(FaceCanvas& canvas, const QRectF& box) const {
    const std::optional<QString> text = changeText();
    const double textNatural = text ? kSpacing + textWidth(*text, font()) : 0;
    const double natural = kArrowSize + textNatural;
    // Arrow and text shrink together; the text takes the same factor from the width left to it.
    const double scale = std::clamp(box.width() / natural, kMinimumScale, 1.0);

    const double arrow = kArrowSize * scale;
    canvas.drawSymbol(symbolName(), QRectF(box.left(), box.center().y() - arrow / 2, arrow, arrow),
                      color());
    if (!text) return;
    const double textLeft = box.left() + arrow + kSpacing * scale;
    canvas.drawLine(*text, QRectF(textLeft, box.top(), box.right() - textLeft, box.height()),
                    Qt::AlignLeft, font(), color(), kMinimumScale);
}

}  // namespace ambrel
