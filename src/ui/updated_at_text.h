#pragma once

// "Updated at" and the short local time of a refresh as Qt's locale writes it: how the desktop's
// Qt programs show a time. Every surface says it without Qt (core/earnings/updated_at_text.h),
// and must read the same.

#include <QLocale>
#include <QString>

#include "core/platform/clock.h"

namespace ambrel {

// Hours and minutes only, in `locale` and the local time zone.
QString updatedAtText(Instant updatedAt, const QLocale& locale);

}  // namespace ambrel
