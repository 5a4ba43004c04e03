#include "widget/faces/ring_row.h"

#include <algorithm>

#include "widget/faces/face_canvas.h"
#include "widget/faces/face_texts.h"

namespace ambrel {

RingRow RingRow::dayAndMonth(const EarningsEntry& entry, double diameter, double spacing,
                             bool withAmounts) {
    const AmbrelSnapshot& snapshot = entry.snapshot;
    const auto amount = [&](double value) -> std::optional<QString> {
        if (!withAmounts) return std::nullopt;
        return moneyText(snapshot, value);
    };
    return {.rings = {WidgetRing{.title = localized("Day"),
                                 .value = snapshot.today,
                                 .goal = entry.objectives.daily,
                                 .subtitle = amount(snapshot.today),
                                 .diameter = diameter},
                      WidgetRing{.title = localized("Month"),
                                 .value = snapshot.monthToDate,
                                 .goal = entry.objectives.monthly,
                                 .subtitle = amount(snapshot.monthToDate),
                                 .diameter = diameter}},
            .spacing = spacing};
}

double RingRow::columnWidth(int index, double maxWidth) const {
    const WidgetRing& ring = rings[static_cast<std::size_t>(index)];
    const double half = (maxWidth - spacing) / 2;
    return std::min(ring.naturalSize().width(), std::max(half, ring.diameter));
}

QSizeF RingRow::size(double maxWidth) const {
    const double height =
        std::max(rings[0].naturalSize().height(), rings[1].naturalSize().height());
    return {columnWidth(0, maxWidth) + spacing + columnWidth(1, maxWidth), height};
}

void RingRow::draw(FaceCanvas& canvas, const QRectF& box) const {
    const QSizeF whole = size(box.width());
    double left = box.center().x() - whole.width() / 2;
    const double top = box.center().y() - whole.height() / 2;
    for (int i = 0; i < 2; ++i) {
        const double width = columnWidth(i, box.width());
        rings[static_cast<std::size_t>(i)].draw(canvas, QRectF(left, top, width, whole.height()));
        left += width + spacing;
    }
}

}  // namespace ambrel
