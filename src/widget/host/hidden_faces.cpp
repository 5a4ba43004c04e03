#include "widget/host/hidden_faces.h"

#include <algorithm>

namespace ambrel::widget {

std::string hiddenKey(WidgetFamily family) {
    return "host.hidden." + familyName(family).toStdString();
}

bool HiddenFaces::isHidden(WidgetFamily family) const {
    return defaults_.data(hiddenKey(family)).has_value();
}

bool HiddenFaces::hide(WidgetFamily family) {
    return defaults_.set(hiddenKey(family), "hidden");
}

void HiddenFaces::forget(WidgetFamily family) {
    defaults_.remove(hiddenKey(family));
}

std::vector<WidgetFamily> HiddenFaces::shown(const std::vector<WidgetFamily>& wanted) {
    std::vector<WidgetFamily> visible;
    std::copy_if(wanted.begin(), wanted.end(), std::back_inserter(visible),
                 [this](WidgetFamily family) { return !isHidden(family); });
    if (!visible.empty() || wanted.empty()) return visible;
    for (WidgetFamily family : wanted) forget(family);
    return wanted;
}

}  // namespace ambrel::widget
