#pragma once

// The sizes a widget comes in. The host offers small, medium and large; any other family (which
// no configuration offers) is drawn with the small layout at the small size.

#include <QSize>
#include <QString>
#include <optional>
#include <string_view>

namespace ambrel {

enum class WidgetFamily { systemSmall, systemMedium, systemLarge, systemExtraLarge };

inline constexpr WidgetFamily kSupportedFamilies[] = {
    WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge};

// Device-independent pixels: small 170×170, medium 364×170, large 364×382.
QSize familySize(WidgetFamily family);

inline constexpr double kWidgetCornerRadius = 22;

// "small", "medium", "large": the names of the command line and of the stored positions.
QString familyName(WidgetFamily family);
std::optional<WidgetFamily> familyFromName(std::string_view name);

}  // namespace ambrel
