#include "core/earnings/payment_text.h"

#include <locale.h>
#include <unicode/datefmt.h>
#include <unicode/simpletz.h>
#include <unicode/uchar.h>
#include <unicode/ucurr.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "core/earnings/foreign_separators.h"
#include "core/earnings/formatting.h"
#include "core/platform/locale.h"

namespace ambrel {
namespace {

constexpr UChar32 kMinusSign = 0x2212;  // what ICU writes for negative numbers in some locales

// "." or "," for a separator of another script; none for any other character.
std::optional<char> foldedSeparator(UChar32 c) {
    for (const ForeignSeparator& separator : kForeignSeparators)
        if (separator.character == c) return separator.ascii;
    return std::nullopt;
}

// The digits, separators and minus signs of the text, with every decimal digit and separator
// of any script written as its ASCII form; none when the text holds a numeric character that
// is not a decimal digit ("½", "²"), since no amount can be read from it.
std::optional<std::string> numberCharacters(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) return std::nullopt;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    std::string kept;
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c == '.' || c == ',' || c == '-') {
            kept.push_back(static_cast<char>(c));
        } else if (c == kMinusSign) {
            kept.push_back('-');
        } else if (auto separator = foldedSeparator(c)) {
            kept.push_back(*separator);
        } else if (c >= 0 && u_isdigit(c)) {
            kept.push_back(static_cast<char>('0' + u_charDigitValue(c)));
        } else if (c >= 0 && u_getNumericValue(c) != U_NO_NUMERIC_VALUE) {
            return std::nullopt;
        }
        // Anything else (currency signs, letters, spaces, broken UTF-8) is dropped.
    }
    return kept;
}

int currencyFractionDigits(std::string_view currency) {
    if (currency.size() != 3) return 2;
    UChar iso[4] = {};
    for (int i = 0; i < 3; ++i) {
        char c = currency[i];
        iso[i] = static_cast<UChar>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t digits = ucurr_getDefaultFractionDigits(iso, &status);
    return U_FAILURE(status) ? 2 : digits;
}

bool isThreeDigits(std::string_view text) {
    return text.size() == 3 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The decimal separator of a kept text, or '\0' when every separator in it is grouping.
// With both kinds present the later one is decimal ("1.234,56", "1,234.56"). A lone kind is
// grouping when it repeats, when the currency has no minor unit, or when it sets off exactly
// three digits in a currency whose minor unit is not three digits ("1,234 USD" is 1234).
char decimalSeparator(std::string_view kept, int fractionDigits) {
    auto lastDot = kept.rfind('.');
    auto lastComma = kept.rfind(',');
    if (lastDot != std::string_view::npos && lastComma != std::string_view::npos)
        return lastDot > lastComma ? '.' : ',';
    if (lastDot == std::string_view::npos && lastComma == std::string_view::npos) return '\0';

    char separator = lastDot != std::string_view::npos ? '.' : ',';
    auto first = kept.find(separator);
    bool repeats = first != kept.rfind(separator);
    bool groupsThousands = isThreeDigits(kept.substr(first + 1)) && fractionDigits != 3;
    if (repeats || fractionDigits == 0 || groupsThousands) return '\0';
    return separator;
}

std::string normalizedNumber(std::string_view kept, char decimal) {
    std::string out;
    for (char c : kept) {
        if (c == decimal)
            out.push_back('.');
        else if (c != '.' && c != ',')
            out.push_back(c);
    }
    return out;
}

// strtod in the "C" locale whatever the process locale is, so "." is always the separator.
class CLocale {
  public:
    CLocale() : handle_(newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr))) {}
    ~CLocale() {
        if (handle_ != static_cast<locale_t>(nullptr)) freelocale(handle_);
    }
    CLocale(const CLocale&) = delete;
    CLocale& operator=(const CLocale&) = delete;

    locale_t get() const { return handle_; }

  private:
    locale_t handle_;
};

std::optional<double> readNumber(const std::string& text) {
    static const CLocale cLocale;
    if (text.empty() || cLocale.get() == static_cast<locale_t>(nullptr)) return std::nullopt;
    char* end = nullptr;
    double value = strtod_l(text.c_str(), &end, cLocale.get());
    // Digits beyond what a double holds read as infinity: not an amount.
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The payment day at 00:00 UTC. Missing components are those of 1 January 1970; a component
// out of its range, or a day the month does not have, gives none rather than a date moved on.
std::optional<UDate> paymentDay(std::optional<long long> year, std::optional<long long> month,
                                std::optional<long long> day) {
    using namespace std::chrono;
    const long long y = year.value_or(1970), m = month.value_or(1), d = day.value_or(1);
    // The calendar's own limits, checked before narrowing; year 0 and before have no AD year.
    if (y < 1 || y > static_cast<int>(std::chrono::year::max()) || m < 1 || m > 12 || d < 1 ||
        d > 31)
        return std::nullopt;
    const year_month_day date{std::chrono::year(static_cast<int>(y)),
                              std::chrono::month(static_cast<unsigned>(m)),
                              std::chrono::day(static_cast<unsigned>(d))};
    if (!date.ok()) return std::nullopt;
    return static_cast<UDate>(sys_days(date).time_since_epoch().count()) * U_MILLIS_PER_DAY;
}

}  // namespace

std::optional<double> parseAmount(std::string_view text, std::string_view currency) {
    auto kept = numberCharacters(text);
    if (!kept) return std::nullopt;
    char decimal = decimalSeparator(*kept, currencyFractionDigits(currency));
    return readNumber(normalizedNumber(*kept, decimal));
}

std::string displayAmountText(std::string_view text, std::string_view currency) {
    if (auto amount = parseAmount(text, currency)) return formatCurrency(currency, *amount);
    return std::string(text);
}

std::string paymentDateLabel(std::optional<long long> year, std::optional<long long> month,
                             std::optional<long long> day) {
    if (!year && !month && !day) return {};
    auto date = paymentDay(year, month, day);
    if (!date) return {};

    std::unique_ptr<icu::DateFormat> formatter(icu::DateFormat::createDateInstance(
        icu::DateFormat::kMedium, icu::Locale(displayLocale().c_str())));
    if (!formatter) return {};
    // The payment's own calendar day, whatever the machine's time zone. A fixed zone rather
    // than ICU's "UTC", which reads the whole time zone table for one offset of zero.
    formatter->adoptTimeZone(new icu::SimpleTimeZone(0, u"UTC"));
    icu::UnicodeString label;
    formatter->format(*date, label);
    std::string utf8;
    return label.toUTF8String(utf8);
}

}  // namespace ambrel
