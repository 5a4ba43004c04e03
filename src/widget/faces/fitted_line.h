#pragma once

// One line of text made to fit a width the way the widget's labels do: first shrunk, down to a
// minimum scale factor, and only then cut off with an ellipsis.

#include <QFont>
#include <QString>

namespace ambrel {

struct FittedLine {
    QString text;      // the whole text, or its elided form when even the minimum scale is too wide
    double scale = 1;  // factor applied to the font, between the minimum scale and 1
    double width = 0;  // width of the drawn line, after scaling
};

FittedLine fitLine(const QString& text, const QFont& font, double availableWidth,
                   double minimumScale);

// Height of one line of `font`, which the stacks use as the text's frame height.
double lineHeight(const QFont& font);

// Natural width of `text` on one line.
double textWidth(const QString& text, const QFont& font);

}  // namespace ambrel
