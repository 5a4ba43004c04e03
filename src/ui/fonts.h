#pragma once

// The text styles of the design, in device-independent pixels (QFont::setPixelSize), and the
// system font with a size, weight and optionally the rounded design.

#include <QFont>

namespace ambrel {

enum class TextStyle {
    LargeTitle,   // 26
    Title2,       // 17
    Headline,     // 13, bold
    Body,         // 13
    Callout,      // 12
    Subheadline,  // 11
    Caption,      // 10
    Caption2,     // 10
};

// Pixel size of a text style at the desktop's default font size.
int textStylePixelSize(TextStyle style);

// How much larger than the design the text styles are drawn: the desktop's font size against
// the design's 13 px, so a user who enlarges text gets larger figures. 1 until a program sets
// it; the application does, the desktop faces never do (their sizes are fixed).
void setTextScale(double scale);
double textScale();
// The scale the application font of the running QGuiApplication asks for, within 1 … 3.
double desktopTextScale();
// `pixelSize` of the design at the text scale.
double scaledPixelSize(double pixelSize);

// The application font at the style's pixel size (and weight, for headline), at the text scale.
QFont textStyleFont(TextStyle style);

// The application font at `pixelSize`; `rounded` picks an installed rounded family when there is
// one and otherwise keeps the default family, so a missing family never changes the metrics
// beyond the design.
QFont systemFont(double pixelSize, QFont::Weight weight = QFont::Normal, bool rounded = false);

// A fixed-pitch font at `pixelSize` (licence texts).
QFont monospacedFont(double pixelSize);

// `base` with equal-width (tabular) digits, so numbers do not jiggle while they change.
// Qt 6.4 has no OpenType feature switch (QFont::setFeature arrived in 6.7), so when the base
// family's digits differ in width this swaps to DejaVu Sans, whose digits are all one width.
QFont withMonospacedDigits(const QFont& base);

// Whether the ten digits of `font` all have the same advance.
bool hasEqualWidthDigits(const QFont& font);

}  // namespace ambrel
