#include "widget/faces/widget_delta.h"

#include <algorithm>
#include <cmath>

#include "core/earnings/formatting.h"
#include "ui/colors.h"
#include "widget/faces/face_canvas.h"
#include "widget/faces/face_fonts.h"
#include "widget/faces/fitted_line.h"
#include "widget/faces/widget_colors.h"

namespace ambrel {
namespace {

// Below this relative change in percent, the whole-percent text would read "+0%" or "-0%".
constexpr double kNeutralPercent = 0.5;
constexpr double kNeutralOpacity = 0.6;

}  // namespace

bool WidgetDelta::isNeutral() const {
    const double change = comparison.current - comparison.previous;
    if (change == 0) return true;
    if (comparison.previous == 0) return false;
    return std::abs(change / comparison.previous) * 100 < kNeutralPercent;
}

bool WidgetDelta::isUp() const {
    return comparison.current - comparison.previous >= 0;
}

QColor WidgetDelta::color() const {
    if (isNeutral()) return whiteAt(kNeutralOpacity);
    return isUp() ? systemGreen() : systemRed();
}

std::optional<QString> WidgetDelta::symbolName() const {
    if (isNeutral()) return std::nullopt;
    return isUp() ? QStringLiteral("arrowtriangle.up.fill")
                  : QStringLiteral("arrowtriangle.down.fill");
}

std::optional<QString> WidgetDelta::changeText() const {
    if (comparison.previous == 0) return std::nullopt;
    if (isNeutral()) return QStringLiteral("(%1)").arg(QString::fromStdString(formatPercent(0, 0)));
    auto text = percentChangeText(comparison.current, comparison.previous);
    if (!text) return std::nullopt;
    return QString::fromStdString(*text);
}

QFont WidgetDelta::font() {
    return faceDeltaFont();
}

double WidgetDelta::height() {
    return lineHeight(font());
}

void WidgetDelta::draw(FaceCanvas& canvas, const QRectF& box) const {
    // A placeholder has no arrow: its bar starts at the leading edge, as the other figures' do.
    const std::optional<QString> symbol =
        canvas.figureStyle() == FigureStyle::placeholder ? std::nullopt : symbolName();
    const std::optional<QString> text = changeText();
    const double arrowNatural = symbol ? kFaceDeltaArrowSize + kSpacing : 0;
    const double textNatural = text ? textWidth(*text, font()) : 0;
    const double natural = arrowNatural + textNatural;
    if (natural <= 0) return;
    // Arrow and text shrink together; the text takes the same factor from the width left to it.
    const double scale = std::clamp(box.width() / natural, kMinimumScale, 1.0);

    double textLeft = box.left();
    if (symbol) {
        const double arrow = kFaceDeltaArrowSize * scale;
        canvas.drawFigureSymbol(
            *symbol, QRectF(box.left(), box.center().y() - arrow / 2, arrow, arrow), color());
        textLeft += arrow + kSpacing * scale;
    }
    if (!text) return;
    const QString spoken = comparedWith.isEmpty() ? QString() : *text + u' ' + comparedWith;
    canvas.drawFigure(*text, QRectF(textLeft, box.top(), box.right() - textLeft, box.height()),
                      Qt::AlignLeft, font(), color(), kMinimumScale, spoken);
}

}  // namespace ambrel
