#pragma once

// "Updated at" and the short local time of a refresh, as the status line and the panel
// indicator say it. The dashboard says the same with Qt's locale (ui/updated_at_text.h); both
// read the time locale and zone the same way, so the texts match.

#include <string>

#include "core/platform/clock.h"

namespace ambrel {

// Hours and minutes only, in the user's time locale and zone (not the display locale of the
// figures).
std::string updatedAtText(Instant updatedAt);

}  // namespace ambrel
