#include "core/platform/short_time.h"

#include <unicode/dtfmtsym.h>
#include <unicode/simpletz.h>
#include <unicode/smpdtfmt.h>
#include <unicode/uchar.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

#include "core/platform/locale.h"

namespace ambrel {
namespace {

constexpr char16_t kNarrowNoBreakSpace = u'\u202F';

bool isDayPeriodField(char16_t c) {
    return c == u'a' || c == u'b' || c == u'B';
}

// The short time pattern without its seconds field and the separator before it, and with a
// plain space where ICU puts a narrow no-break space beside the day period ("h:mm\u202Fa"):
// the locale data Qt carries has the plain space, and the dashboard's time is Qt's. Quoted
// literal text is kept as it is.
icu::UnicodeString desktopPattern(const icu::UnicodeString& pattern) {
    icu::UnicodeString kept;
    bool quoted = false;
    for (int32_t i = 0; i < pattern.length(); ++i) {
        const char16_t c = pattern.charAt(i);
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u's') {
            while (!kept.isEmpty() && !u_isalpha(kept.charAt(kept.length() - 1)) &&
                   kept.charAt(kept.length() - 1) != u'\'')
                kept.truncate(kept.length() - 1);
            while (i + 1 < pattern.length() && pattern.charAt(i + 1) == u's') ++i;
            continue;
        }
        const bool besideDayPeriod =
            (i > 0 && isDayPeriodField(pattern.charAt(i - 1))) ||
            (i + 1 < pattern.length() && isDayPeriodField(pattern.charAt(i + 1)));
        kept.append(!quoted && c == kNarrowNoBreakSpace && besideDayPeriod ? u' ' : c);
    }
    return kept;
}

// Qt writes the day period in capitals whatever the locale's own case ("AM" for "am", "Π.Μ."
// for "π.μ.").
void capitalizeDayPeriods(icu::SimpleDateFormat& format) {
    icu::DateFormatSymbols symbols(*format.getDateFormatSymbols());
    int32_t count = 0;
    const icu::UnicodeString* periods = symbols.getAmPmStrings(count);
    std::vector<icu::UnicodeString> capitals(periods, periods + count);
    for (icu::UnicodeString& period : capitals) period.toUpper(icu::Locale::getRoot());
    symbols.setAmPmStrings(capitals.data(), count);
    format.setDateFormatSymbols(symbols);
}

// `at` in the short time style of `localeId`, with the wall-clock offset the C library gives
// for that instant: a fixed zone needs none of ICU's zone tables, and the C library reads TZ
// rules ICU does not ("CET-1CEST,M3.5.0,M10.5.0/3"), as Qt does.
std::optional<std::string> icuShortTime(const std::string& localeId, Instant at,
                                        long offsetSeconds) {
    std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createTimeInstance(
        icu::DateFormat::kShort, icu::Locale(localeId.c_str())));
    auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format.get());
    if (simple == nullptr) return std::nullopt;
    icu::UnicodeString pattern;
    simple->applyPattern(desktopPattern(simple->toPattern(pattern)));
    capitalizeDayPeriods(*simple);
    simple->adoptTimeZone(
        new icu::SimpleTimeZone(static_cast<int32_t>(offsetSeconds * 1000), u"local"));
    using namespace std::chrono;
    const auto milliseconds = duration_cast<std::chrono::milliseconds>(at.time_since_epoch());
    icu::UnicodeString text;
    simple->format(static_cast<UDate>(milliseconds.count()), text);
    if (text.isEmpty()) return std::nullopt;
    std::string utf8;
    return text.toUTF8String(utf8);
}

std::string twentyFourHours(const std::tm& local) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", local.tm_hour % 100, local.tm_min % 100);
    return text;
}

}  // namespace

std::string shortLocalTime(Instant at) {
    using namespace std::chrono;
    const std::time_t seconds = system_clock::to_time_t(floor<std::chrono::seconds>(at));
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) gmtime_r(&seconds, &local);
    const std::string localeId = timeLocale();
    if (!localeId.empty()) {
        if (auto text = icuShortTime(localeId, at, local.tm_gmtoff)) return *text;
    }
    return twentyFourHours(local);
}

}  // namespace ambrel
