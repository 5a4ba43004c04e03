#include "core/earnings/account_calendar.h"

#include <unicode/timezone.h>

#include <memory>

namespace ambrel {
namespace {

std::unique_ptr<icu::TimeZone> zoneNamed(std::string_view id) {
    if (id.empty()) return nullptr;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(
        icu::StringPiece(id.data(), static_cast<int32_t>(id.size())))));
    if (!zone) return nullptr;
    // A name ICU does not know comes back as its "unknown" zone, which behaves as UTC.
    icu::UnicodeString found;
    zone->getID(found);
    if (found == UCAL_UNKNOWN_ZONE_ID || *zone == icu::TimeZone::getUnknown()) return nullptr;
    return zone;
}

}  // namespace

std::optional<std::string> knownTimeZone(std::string_view id) {
    if (!zoneNamed(id)) return std::nullopt;
    return std::string(id);
}

std::string accountTimeZone(const std::optional<std::string>& id) {
    if (id) {
        if (auto known = knownTimeZone(*id)) return std::move(*known);
    }
    return std::string(kDefaultAccountTimeZone);
}

std::chrono::year_month_day accountToday(Instant now, std::string_view zone) {
    using namespace std::chrono;
    std::unique_ptr<icu::TimeZone> rules = zoneNamed(zone);
    if (!rules) rules = zoneNamed(kDefaultAccountTimeZone);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch());
    int32_t raw = 0;
    int32_t daylight = 0;
    UErrorCode status = U_ZERO_ERROR;
    if (rules) rules->getOffset(static_cast<UDate>(millis.count()), false, raw, daylight, status);
    // Without the zone's rules (ICU's data missing) the day is UTC's: off by hours, not by days.
    if (!rules || U_FAILURE(status)) raw = daylight = 0;
    const auto local = sys_time<milliseconds>(millis) + milliseconds(raw) + milliseconds(daylight);
    return year_month_day{floor<days>(local)};
}

}  // namespace ambrel
