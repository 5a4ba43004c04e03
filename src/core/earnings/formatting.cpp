#include "core/earnings/formatting.h"

#include <unicode/currunit.h>
#include <unicode/datefmt.h>
#include <unicode/measunit.h>
#include <unicode/numberformatter.h>
#include <unicode/ucurr.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "core/platform/locale.h"

namespace ambrel {
namespace {

using icu::number::LocalizedNumberFormatter;
using icu::number::Precision;

// The display locale is read at every call: the user may change it while a program runs,
// and the formatters are cheap next to a repaint.
LocalizedNumberFormatter displayFormatter() {
    return icu::number::NumberFormatter::withLocale(icu::Locale(displayLocale().c_str()));
}

std::optional<std::string> render(const LocalizedNumberFormatter& formatter, double value) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text = formatter.formatDouble(value, status).toString(status);
    if (U_FAILURE(status) || text.isEmpty()) return std::nullopt;
    std::string utf8;
    return text.toUTF8String(utf8);
}

std::string fixedPoint(int digits, double value) {
    char buffer[512];
    int length = std::snprintf(buffer, sizeof buffer, "%.*f", std::max(digits, 0), value);
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < sizeof buffer) return std::string(buffer, length);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", std::max(digits, 0), value);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Most currencies show 2; yen 0; a code ICU cannot read counts as 2.
int defaultFractionDigits(std::string_view code) {
    if (code.size() != 3) return 2;
    UChar iso[4] = {static_cast<UChar>(code[0]), static_cast<UChar>(code[1]),
                    static_cast<UChar>(code[2]), 0};
    UErrorCode status = U_ZERO_ERROR;
    int32_t digits = ucurr_getDefaultFractionDigits(iso, &status);
    return U_FAILURE(status) ? 2 : digits;
}

std::optional<std::string> currencyText(std::string_view code, double value) {
    UErrorCode status = U_ZERO_ERROR;
    icu::CurrencyUnit unit(icu::StringPiece(code.data(), static_cast<int32_t>(code.size())),
                           status);
    if (U_FAILURE(status)) return std::nullopt;
    // The currency's own minimum (0 for yen) but never more than 2 digits.
    int minimum = std::clamp(defaultFractionDigits(code), 0, 2);
    return render(displayFormatter().unit(unit).precision(Precision::minMaxFraction(minimum, 2)),
                  value);
}

std::string thousandsText(double value) {
    double thousands = value / 1000;
    double magnitude = std::abs(thousands);
    int digits = magnitude >= 100 ? 0 : magnitude >= 10 ? 1 : 2;
    return formatNumber(digits, thousands) + " k";
}

}  // namespace

std::string formatNumber(int digits, double value) {
    auto text = render(displayFormatter()
                           .precision(Precision::fixedFraction(digits))
                           .roundingMode(UNUM_ROUND_HALFEVEN),
                       value);
    return text ? *text : fixedPoint(digits, value);
}

std::string formatPercent(int digits, double value) {
    // With the percent unit ICU writes the value as it is (12.4 gives "12%"), in the locale's
    // percent pattern; no scaling by 100 is involved.
    auto text = render(displayFormatter()
                           .unit(icu::MeasureUnit::getPercent())
                           .precision(Precision::fixedFraction(digits))
                           .roundingMode(UNUM_ROUND_HALFUP),
                       value);
    return text ? *text : formatNumber(digits, value) + " %";
}

std::string formatCurrency(std::string_view code, double value) {
    auto text = currencyText(code, value);
    return text ? *text : fixedPoint(2, value);
}

std::string formatDate(std::chrono::year_month_day day) {
    std::unique_ptr<icu::DateFormat> formatter(icu::DateFormat::createDateInstance(
        icu::DateFormat::kMedium, icu::Locale(displayLocale().c_str())));
    if (!formatter) return {};
    // Midnight UTC of the day, formatted in UTC: the same day in every time zone.
    formatter->adoptTimeZone(icu::TimeZone::createTimeZone("UTC"));
    const auto sinceEpoch = std::chrono::sys_days{day}.time_since_epoch();
    const UDate date = static_cast<UDate>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
    icu::UnicodeString text;
    formatter->format(date, text);
    std::string utf8;
    return text.toUTF8String(utf8);
}

std::string valueText(const PerfMetric& metric) {
    double current = metric.comparison.current;
    switch (metric.kind) {
        case MetricKind::currency:
            return formatCurrency(metric.currency, current);
        case MetricKind::count:
            return std::abs(current) >= 1000 ? thousandsText(current) : formatNumber(0, current);
        case MetricKind::percent:
            return formatPercent(2, current);
    }
    return {};
}

std::string deltaText(MetricKind kind, std::string_view code, double current, double previous) {
    double change = current - previous;
    double magnitude = std::abs(change);
    std::string sign = change >= 0 ? "+" : "-";
    switch (kind) {
        case MetricKind::currency:
            return sign + formatCurrency(code, magnitude);
        case MetricKind::count:
            // std::round takes halves away from zero, unlike the formatter's half-even.
            return sign + formatNumber(0, std::round(magnitude));
        case MetricKind::percent:
            return sign + formatNumber(2, magnitude) + " pp";
    }
    return {};
}

std::optional<std::string> percentChangeText(double current, double previous) {
    if (previous == 0) return std::nullopt;
    double ratio = (current - previous) / std::abs(previous) * 100;
    return "(" + std::string(ratio >= 0 ? "+" : "-") + formatPercent(0, std::abs(ratio)) + ")";
}

}  // namespace ambrel
