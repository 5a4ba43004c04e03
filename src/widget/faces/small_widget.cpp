#include "widget/faces/small_widget.h"

namespace ambrel {

RingRow SmallWidget::rings() const {
    return RingRow::dayAndMonth(entry, kRingDiameter, kRingSpacing, true);
}

void SmallWidget::draw(FaceCanvas& canvas, const QRectF& content) const {
    rings().draw(canvas, content);
}

}  // namespace ambrel
