#pragma once

// The design's system colours, and the label hierarchy (primary … quaternary) derived from a
// palette's text colour so it follows light and dark themes.

#include <QColor>
#include <QPalette>

class QWidget;

namespace ambrel {

QColor systemGreen();  // #34C759
QColor systemRed();    // #FF3B30
// The product's one yellow: the mark, the sign-in view and the faces' accent.
QColor brandYellow();  // #FFD66B
QColor systemPink();   // #FF2D55

enum class LabelLevel { Primary, Secondary, Tertiary, Quaternary };

// The palette's window text colour at the level's opacity (1.0, 0.55, 0.35, 0.18).
QColor labelColor(LabelLevel level, const QPalette& palette = QPalette());

// WCAG 2 contrast ratio of two opaque colours (1 … 21).
double contrastRatio(const QColor& a, const QColor& b);

// `color` (composed over `background` when translucent) moved darker or lighter, its hue kept,
// until it reaches `ratio` against `background`: the contrast a text needs. Unchanged when it
// reaches it already.
QColor readableOn(const QColor& color, const QColor& background, double ratio = 4.5);

// Sets the widget's foreground roles (WindowText, Text, ButtonText) to `color`.
void setForegroundColor(QWidget* widget, const QColor& color);

// Sets the widget's foreground to the label level derived from its own palette.
void setLabelLevel(QWidget* widget, LabelLevel level);

}  // namespace ambrel
