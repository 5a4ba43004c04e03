#pragma once

// Where the user last put each family's window, kept in the widget's own defaults domain under
// "host.position.<family>" as "x,y" (device-independent pixels, virtual desktop coordinates).

#include <QPoint>
#include <QString>
#include <optional>
#include <string>

#include "core/platform/defaults.h"
#include "widget/faces/widget_family.h"

namespace ambrel::widget {

std::string positionKey(WidgetFamily family);

class WindowPositions {
  public:
    explicit WindowPositions(Defaults& defaults) : defaults_(defaults) {}

    // None when nothing was stored or the stored text is not two whole numbers.
    std::optional<QPoint> load(WidgetFamily family) const;
    void save(WidgetFamily family, const QPoint& position);

  private:
    Defaults& defaults_;
};

}  // namespace ambrel::widget
