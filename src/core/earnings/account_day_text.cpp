#include "core/earnings/account_day_text.h"

#include <unicode/timezone.h>

#include <memory>

#include "core/platform/localization.h"

namespace ambrel {
namespace {

icu::UnicodeString canonicalId(const icu::UnicodeString& id) {
    icu::UnicodeString canonical;
    UErrorCode status = U_ZERO_ERROR;
    icu::TimeZone::getCanonicalID(id, canonical, status);
    return U_SUCCESS(status) ? canonical : id;
}

// The same midnight: one zone under two names ("UTC", "Etc/UTC"), or zones whose rules agree.
bool sameZone(const icu::TimeZone& account, const icu::TimeZone& desktop) {
    icu::UnicodeString accountId;
    icu::UnicodeString desktopId;
    account.getID(accountId);
    desktop.getID(desktopId);
    return canonicalId(accountId) == canonicalId(desktopId) || account.hasSameRules(desktop);
}

}  // namespace

std::optional<std::string> accountDayText(const std::optional<std::string>& accountZone) {
    if (!accountZone || accountZone->empty()) return std::nullopt;
    std::unique_ptr<icu::TimeZone> account(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(*accountZone)));
    if (!account || *account == icu::TimeZone::getUnknown()) return std::nullopt;
    // The host's zone, read from TZ and the system anew, never ICU's default: a program may
    // have fixed that default for its own texts.
    std::unique_ptr<icu::TimeZone> desktop(icu::TimeZone::detectHostTimeZone());
    if (desktop && sameZone(*account, *desktop)) return std::nullopt;
    return fillPlaceholders(tr("Days end at midnight, %@"), {*accountZone});
}

}  // namespace ambrel
