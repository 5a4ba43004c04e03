#include "widget/faces/fitted_line.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace ambrel {

FittedLine fitLine(const QString& text, const QFont& font, double availableWidth,
                   double minimumScale) {
    const QFontMetricsF metrics(font);
    const double natural = metrics.horizontalAdvance(text);
    const double available = std::max(availableWidth, 0.0);
    if (natural <= available) return {text, 1, natural};

    const double smallest = std::clamp(minimumScale, 0.0, 1.0);
    const double needed = available / natural;
    if (needed >= smallest) return {text, needed, available};

    const double scale = smallest;
    // Elide in the font's own units: the painter scales the whole line afterwards.
    const QString shown = metrics.elidedText(text, Qt::ElideRight, available / scale);
    const double width = std::min(metrics.horizontalAdvance(shown) * scale, available);
    return {shown, scale, width};
}

double lineHeight(const QFont& font) {
    return std::ceil(QFontMetricsF(font).height());
}

double textWidth(const QString& text, const QFont& font) {
    return QFontMetricsF(font).horizontalAdvance(text);
}

}  // namespace ambrel
