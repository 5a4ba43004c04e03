#pragma once

// The indicator's picture: the product mark inside a ring of today's progress toward the daily
// objective, gold until it is reached and green from then on, as the objective rings are.
// Panels have light or dark backgrounds that the item cannot know, so the track is a mid grey
// at half opacity and the arc and mark carry a thin dark edge: each stays visible on both.
// Signed out (and before any figures), the mark is grey and has no ring. Figures older than two
// refreshes are drawn faded, as on every surface.

#include <QImage>
#include <optional>

#include "widget/panel/dbus_types.h"

namespace ambrel::panel {

// The sizes panels ask for, from a 16 px system tray to a 48 px dock-like panel.
inline constexpr int kIndicatorIconSizes[] = {16, 22, 24, 32, 48};

// How much of a faded icon shows.
inline constexpr double kStaleIconOpacity = 0.5;

// `progress`: today against the daily goal (1 = reached, unclamped); none without figures.
// Needs no QGuiApplication.
QImage indicatorIcon(int size, std::optional<double> progress, bool stale = false);

// One picture per size of kIndicatorIconSizes.
DBusImageList indicatorIconPixmaps(std::optional<double> progress, bool stale = false);

// ARGB32, not premultiplied, each pixel's bytes in network order, as the protocol wants.
DBusImage dbusImage(const QImage& image);

}  // namespace ambrel::panel
