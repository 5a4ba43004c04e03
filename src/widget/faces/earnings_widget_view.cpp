#include "widget/faces/earnings_widget_view.h"

#include "widget/faces/disconnected_widget.h"
#include "widget/faces/large_widget.h"
#include "widget/faces/medium_widget.h"
#include "widget/faces/small_widget.h"

namespace ambrel {

EarningsWidgetView::Layout EarningsWidgetView::layout() const {
    if (!entry.isConnected) return Layout::disconnected;
    switch (familyOverride.value_or(envFamily)) {
        case WidgetFamily::systemMedium:
            return Layout::medium;
        case WidgetFamily::systemLarge:
            return Layout::large;
        case WidgetFamily::systemSmall:
        case WidgetFamily::systemExtraLarge:
            break;
    }
    return Layout::small;
}

void EarningsWidgetView::draw(FaceCanvas& canvas, const QRectF& content) const {
    switch (layout()) {
        case Layout::disconnected:
            DisconnectedWidget().draw(canvas, content);
            return;
        case Layout::small:
            SmallWidget{entry}.draw(canvas, content);
            return;
        case Layout::medium:
            MediumWidget{entry}.draw(canvas, content);
            return;
        case Layout::large:
            LargeWidget{entry}.draw(canvas, content);
            return;
    }
}

}  // namespace ambrel
