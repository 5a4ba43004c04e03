#pragma once

// "Updated at" and the short local time of a refresh: the dashboard's footer, the panel
// indicator's tooltip and the status line all say it the same way. Needs Qt Core only, so the
// headless widget program can use it too.

#include <QLocale>
#include <QString>

#include "core/platform/clock.h"

namespace ambrel {

// Hours and minutes only, in the user's own locale and time zone (not the display locale of
// the figures).
QString updatedAtText(Instant updatedAt, const QLocale& locale = QLocale::system());

}  // namespace ambrel
