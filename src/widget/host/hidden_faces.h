#pragma once

// The faces the user hid with "Hide this widget", remembered in the widget's cache folder
// ("host.hidden.<family>", beside the places of the faces) so that they stay hidden at the next
// start. A start that would show no face at all shows every face it was asked for again and
// forgets that they were hidden: that is how a hidden face comes back
// (`ambrel-widget show --family small`).

#include <string>
#include <vector>

#include "core/platform/defaults.h"
#include "widget/faces/widget_family.h"

namespace ambrel::widget {

std::string hiddenKey(WidgetFamily family);

class HiddenFaces {
  public:
    explicit HiddenFaces(Defaults& defaults) : defaults_(defaults) {}

    bool isHidden(WidgetFamily family) const;
    // False when the cache folder could not keep it.
    bool hide(WidgetFamily family);
    void forget(WidgetFamily family);

    // The families of `wanted` that are not hidden, or all of them (no longer hidden) when
    // every one is.
    std::vector<WidgetFamily> shown(const std::vector<WidgetFamily>& wanted);

  private:
    Defaults& defaults_;
};

}  // namespace ambrel::widget
