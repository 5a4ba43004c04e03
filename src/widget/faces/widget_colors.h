#pragma once

// The widget's palette: white text on a dark blue gradient, a warm yellow accent, and the
// system green and red for changes.

#include <QColor>

namespace ambrel {

QColor widgetAccentColor();     // the brand yellow, #FFD66B
QColor widgetGradientTop();     // sRGB 0.08 0.16 0.30
QColor widgetGradientBottom();  // sRGB 0.04 0.09 0.16
QColor whiteAt(double opacity);

}  // namespace ambrel
