#pragma once

// The label heading the medium and large widgets: the product mark and "AdSense earnings",
// caption font, semibold, in the accent colour.

#include <QFont>
#include <QRectF>
#include <QString>

namespace ambrel {

class FaceCanvas;

struct WidgetTitle {
    static QString text();
    static QFont font();
    static double height();

    // Drawn from the top left corner of `box`, elided to its width.
    void draw(FaceCanvas& canvas, const QRectF& box) const;
};

}  // namespace ambrel
