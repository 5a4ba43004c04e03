#pragma once

// The row heading the medium and large widgets: the product mark and "AdSense earnings",
// semibold, in the accent colour, and at the far end how fresh the figures are.

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

namespace ambrel {

class FaceCanvas;

struct WidgetTitle {
    // Beside the title, right-aligned; none when empty.
    QString note{};
    QColor noteColor{};

    // The note never takes more than this share of the row: the title stays legible.
    static constexpr double kNoteShare = 0.62;
    static constexpr double kNoteMinimumScale = 0.75;
    static constexpr double kNoteGap = 8;

    static QString text();
    static QFont font();
    static QFont noteFont();
    static double height();

    // From the top left corner of `box`; the title is elided to what the note leaves of it.
    void draw(FaceCanvas& canvas, const QRectF& box) const;
};

}  // namespace ambrel
