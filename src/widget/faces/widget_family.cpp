#include "widget/faces/widget_family.h"

namespace ambrel {

QSize familySize(WidgetFamily family) {
    switch (family) {
        case WidgetFamily::systemMedium:
            return {364, 170};
        case WidgetFamily::systemLarge:
            return {364, 382};
        case WidgetFamily::systemSmall:
        case WidgetFamily::systemExtraLarge:
            break;
    }
    return {170, 170};
}

QString familyName(WidgetFamily family) {
    switch (family) {
        case WidgetFamily::systemSmall:
            return QStringLiteral("small");
        case WidgetFamily::systemMedium:
            return QStringLiteral("medium");
        case WidgetFamily::systemLarge:
            return QStringLiteral("large");
        case WidgetFamily::systemExtraLarge:
            return QStringLiteral("extraLarge");
    }
    return QStringLiteral("small");
}

// Only the offered families have a name a user can give.
std::optional<WidgetFamily> familyFromName(std::string_view name) {
    for (WidgetFamily family : kSupportedFamilies) {
        if (familyName(family).toStdString() == name) return family;
    }
    return std::nullopt;
}

}  // namespace ambrel
