#pragma once

// Draws one timeline entry: the disconnected view while no account is connected, otherwise the
// layout of the widget's family.

#include <QRectF>
#include <optional>

#include "widget/earnings_provider.h"
#include "widget/faces/widget_family.h"

namespace ambrel {

class FaceCanvas;

struct EarningsWidgetView {
    EarningsEntry entry;
    std::optional<WidgetFamily> familyOverride;  // absent where the widget itself is shown
    WidgetFamily envFamily = WidgetFamily::systemSmall;

    enum class Layout { disconnected, small, medium, large };

    // Disconnected before anything else; then the family decides, and any family but medium
    // and large falls back to the small layout.
    Layout layout() const;

    // `content` is the widget's area inside its margins.
    void draw(FaceCanvas& canvas, const QRectF& content) const;
};

}  // namespace ambrel
