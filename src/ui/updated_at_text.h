#pragma once

// "Updated at" and the short local time of a refresh, as the dashboard's footer says it, with
// Qt's locale. The status line and the panel indicator say the same without Qt
// (core/earnings/updated_at_text.h).

#include <QLocale>
#include <QString>

#include "core/platform/clock.h"

namespace ambrel {

// Hours and minutes only, in `locale` (the dashboard passes QLocale::system(), not the display
// locale of the figures) and the local time zone.
QString updatedAtText(Instant updatedAt, const QLocale& locale);

}  // namespace ambrel
