#pragma once

// The container background of every family: a dark blue gradient from the top edge to the
// bottom edge, inside the widget's rounded corners; outside them nothing is painted.

#include <QRectF>

class QPainter;

namespace ambrel {

struct EarningsWidgetBackground {
    void draw(QPainter& painter, const QRectF& rect) const;
};

}  // namespace ambrel
