#include "core/earnings/updated_at_text.h"

#include <unicode/dtptngen.h>
#include <unicode/reldatefmt.h>
#include <unicode/simpletz.h>
#include <unicode/smpdtfmt.h>

#include <ctime>
#include <memory>
#include <optional>

#include "core/platform/locale.h"
#include "core/platform/localization.h"
#include "core/platform/short_time.h"

namespace ambrel {
namespace {

using std::chrono::duration_cast;

struct LocalDay {
    int year = 0;
    int dayOfYear = 0;
    long offsetSeconds = 0;
};

// The local calendar day of `at`, with the C library's zone rules as shortLocalTime reads them.
LocalDay localDay(Instant at) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(at));
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) gmtime_r(&seconds, &local);
    return {local.tm_year, local.tm_yday, local.tm_gmtoff};
}

// Days from `earlier` to `later` in the local calendar: 0 the same day, 1 the day before.
long calendarDaysBetween(Instant earlier, Instant later) {
    const LocalDay from = localDay(earlier);
    const LocalDay to = localDay(later);
    using namespace std::chrono;
    const auto fromDay = floor<days>(sys_seconds{floor<seconds>(earlier.time_since_epoch())} +
                                     seconds{from.offsetSeconds});
    const auto toDay = floor<days>(sys_seconds{floor<seconds>(later.time_since_epoch())} +
                                   seconds{to.offsetSeconds});
    return static_cast<long>((toDay - fromDay).count());
}

UDate icuDate(Instant at) {
    return static_cast<UDate>(
        duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count());
}

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    return text.toUTF8String(out);
}

// "3 Dec" (with the year when it is not `now`'s) in the time locale's own order, in the local
// wall-clock offset of that instant.
std::optional<std::string> shortDate(Instant at, bool withYear) {
    const std::string id = timeLocale();
    const icu::Locale locale(id.empty() ? "en_GB" : id.c_str());
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    if (U_FAILURE(status)) return std::nullopt;
    const icu::UnicodeString pattern =
        generator->getBestPattern(withYear ? u"dMMMy" : u"dMMM", status);
    icu::SimpleDateFormat format(pattern, locale, status);
    if (U_FAILURE(status)) return std::nullopt;
    format.adoptTimeZone(
        new icu::SimpleTimeZone(static_cast<int32_t>(localDay(at).offsetSeconds * 1000), u"local"));
    icu::UnicodeString text;
    format.format(icuDate(at), text);
    if (text.isEmpty()) return std::nullopt;
    return utf8(text);
}

}  // namespace

std::string updatedAtText(Instant updatedAt, Instant now) {
    const std::string time = shortLocalTime(updatedAt);
    const long days = calendarDaysBetween(updatedAt, now);
    // A refresh "tomorrow" only comes from a clock that was set back: name its time alone.
    if (days <= 0) return fillPlaceholders(tr("Updated at %@"), {time});
    if (days == 1) return fillPlaceholders(tr("Updated yesterday at %@"), {time});
    const bool sameYear = localDay(updatedAt).year == localDay(now).year;
    const auto date = shortDate(updatedAt, !sameYear);
    if (!date) return fillPlaceholders(tr("Updated at %@"), {time});
    return fillPlaceholders(tr("Updated %@ at %@"), {*date, time});
}

bool isStale(Instant updatedAt, Instant now) {
    return now > updatedAt && now - updatedAt > kStaleAfter;
}

std::string ageText(Instant updatedAt, Instant now) {
    using namespace std::chrono;
    const auto age = now > updatedAt ? duration_cast<minutes>(now - updatedAt) : minutes{0};
    double count = static_cast<double>(age.count());
    UDateRelativeUnit unit = UDAT_RELATIVE_MINUTES;
    if (age >= days{2}) {
        count = static_cast<double>(duration_cast<days>(age).count());
        unit = UDAT_RELATIVE_DAYS;
    } else if (age >= hours{1}) {
        count = static_cast<double>(duration_cast<hours>(age).count());
        unit = UDAT_RELATIVE_HOURS;
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::RelativeDateTimeFormatter formatter(icu::Locale(displayLocale().c_str()), status);
    if (U_FAILURE(status)) return {};
    icu::UnicodeString text;
    formatter.format(count, UDAT_DIRECTION_LAST, unit, text, status);
    if (U_FAILURE(status)) return {};
    return utf8(text);
}

}  // namespace ambrel
