#pragma once

// The main window's first size: the content's 600 × 800 where that fits, shrunk to the
// screen's available area (a 1366 × 768 laptop with a panel) where it does not, never below
// the content's minimum.

#include <QRect>
#include <QSize>

namespace ambrel {

// Room the window manager's title bar and borders take, which is unknown before the window is
// first shown.
inline constexpr int kWindowFrameAllowance = 40;

// `wanted` content size, with `bars` (menu bar, toolbar) on top of it, within `available`.
QSize firstContentSize(QSize wanted, QSize minimum, QSize bars, QRect available);

}  // namespace ambrel
