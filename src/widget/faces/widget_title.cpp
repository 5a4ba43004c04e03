#include "widget/faces/widget_title.h"

#include <algorithm>

#include "core/platform/localization.h"
#include "widget/faces/face_canvas.h"
#include "widget/faces/face_fonts.h"
#include "widget/faces/fitted_line.h"
#include "widget/faces/widget_colors.h"

namespace ambrel {
namespace {

// A label's symbol sits a little larger than the font's size, with a small gap before the text.
constexpr double kSymbolScale = 1.2;
constexpr double kSymbolGap = 4;

}  // namespace

QString WidgetTitle::text() {
    return QString::fromStdString(tr("AdSense earnings"));
}

QFont WidgetTitle::font() {
    return faceHeadingFont();
}

QFont WidgetTitle::noteFont() {
    return faceCaptionFont();
}

double WidgetTitle::height() {
    return std::max(lineHeight(font()), lineHeight(noteFont()));
}

void WidgetTitle::draw(FaceCanvas& canvas, const QRectF& box) const {
    const QFont titleFont = font();
    const double side = titleFont.pixelSize() * kSymbolScale;
    const double rowHeight = height();
    const double noteWidth =
        note.isEmpty() ? 0 : std::min(textWidth(note, noteFont()), box.width() * kNoteShare);
    const double titleRight = note.isEmpty() ? box.right() : box.right() - noteWidth - kNoteGap;

    canvas.drawSymbol(QStringLiteral("circle.hexagongrid.fill"),
                      QRectF(box.left(), box.top() + (rowHeight - side) / 2, side, side),
                      widgetAccentColor());
    const double textLeft = box.left() + side + kSymbolGap;
    canvas.drawLine(text(), QRectF(textLeft, box.top(), titleRight - textLeft, rowHeight),
                    Qt::AlignLeft, titleFont, widgetAccentColor());
    if (note.isEmpty()) return;
    canvas.drawLine(note, QRectF(box.right() - noteWidth, box.top(), noteWidth, rowHeight),
                    Qt::AlignRight, noteFont(), noteColor, kNoteMinimumScale);
}

}  // namespace ambrel
