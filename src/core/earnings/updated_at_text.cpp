#include "core/earnings/updated_at_text.h"

#include "core/platform/localization.h"
#include "core/platform/short_time.h"

namespace ambrel {

std::string updatedAtText(Instant updatedAt) {
    return fillPlaceholders(tr("Updated at %@"), {shortLocalTime(updatedAt)});
}

}  // namespace ambrel
