#include "core/earnings/payment_text.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "core/earnings/formatting.h"
#include "support/scoped_env.h"

namespace ambrel {
namespace {

using testing::ScopedLanguage;

TEST(ParseAmount, ReadsSeparatorsByPositionCountAndCurrency) {
    const struct {
        std::string text;
        const char* currency;
        std::optional<double> expected;
    } cases[] = {
        // Both separators: the later one is decimal.
        {"€1,234.56", "EUR", 1234.56},
        {"1.234,56 €", "EUR", 1234.56},
        {"1.234.567,89 €", "EUR", 1234567.89},
        {"BHD 1,234.500", "BHD", 1234.5},
        // One separator with one or two digits after it is decimal.
        {"12,50 €", "EUR", 12.5},
        {"12,5 €", "EUR", 12.5},
        {"$1.5", "USD", 1.5},
        // Repeated, or in a currency without minor unit, it is grouping.
        {"1,234,567 JPY", "JPY", 1234567},
        {"¥1,235 JPY", "JPY", 1235},
        {"1.235 ¥", "JPY", 1235},
        // Exactly three digits after it: grouping, unless the minor unit has three digits.
        {"$1,234", "USD", 1234},
        {"1.234 €", "EUR", 1234},
        {"BHD 1.234", "BHD", 1.234},
        {"KWD 12,345", "kwd", 12.345},
        // Signs, spaces of any kind, digits of other scripts.
        {"-€12.34", "EUR", -12.34},
        {"\u221212,34\u00A0€", "EUR", -12.34},
        {"1\u202F234,56\u00A0€", "EUR", 1234.56},
        {"\u0661\u0662\u0663 EGP", "EGP", 123},
        // Their separators too: Arabic decimal and thousands separators.
        {"\u0661\u0662\u0663\u066B\u0664\u0665 US$", "USD", 123.45},
        {"\u0661\u066C\u0662\u0663\u0664\u066B\u0665\u0666 US$", "USD", 1234.56},
        {"\u06F1\u06F2\u066B\u06F5 EUR", "EUR", 12.5},
        {"\uFF11\uFF12.\uFF15 USD", "USD", 12.5},
        {"\xFF"
         "12,50 \xE2\x82",
         "EUR", 12.5},  // broken UTF-8 is dropped
        // Nothing that reads as one amount.
        {"", "EUR", std::nullopt},
        {"€", "EUR", std::nullopt},
        {"n/a", "EUR", std::nullopt},
        {"1-2", "EUR", std::nullopt},
        {"1.2.3,4.5", "EUR", std::nullopt},
        {"\u00BD €", "EUR", std::nullopt},
        {"1\u00B2 €", "EUR", std::nullopt},
        {std::string(400, '9'), "EUR", std::nullopt},  // beyond a double
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseAmount(c.text, c.currency), c.expected)
            << '"' << c.text << "\" " << c.currency;
}

TEST(PaymentDateLabel, ShowsTheDayInTheMediumStyleOrNothing) {
    using Y = std::optional<long long>;
    const struct {
        const char* language;
        Y year, month, day;
        std::string expected;
    } cases[] = {
        {"en_US", 2026, 5, 21, "May 21, 2026"},
        {"fr_FR", 2026, 5, 21, "21 mai 2026"},
        {"de_DE", 2026, 5, 21, "21.05.2026"},
        {"en_US", 2024, 2, 29, "Feb 29, 2024"},
        {"en_US", 2026, 5, std::nullopt, "May 1, 2026"},  // a missing day is the first
        {"en_US", 2023, 2, 29, ""},                       // no such day
        {"en_US", 2026, 13, 1, ""},
        {"en_US", 2026, 0, 1, ""},
        {"en_US", 2026, 5, 0, ""},
        {"en_US", 2026, 5, 4294967297LL, ""},  // beyond any calendar field
        {"en_US", 2026, -9223372036854775807LL - 1, 1, ""},
        {"en_US", std::nullopt, std::nullopt, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        ScopedLanguage language(c.language);
        EXPECT_EQ(paymentDateLabel(c.year, c.month, c.day), c.expected)
            << c.language << " " << c.year.value_or(-1) << "-" << c.month.value_or(-1) << "-"
            << c.day.value_or(-1);
    }
}

TEST(PaymentDateLabel, KeepsThePaymentDayInEveryTimeZone) {
    ScopedLanguage language("en_US");
    std::unique_ptr<icu::TimeZone> saved(icu::TimeZone::createDefault());
    for (const char* zone : {"Pacific/Kiritimati", "Pacific/Pago_Pago", "Europe/Paris"}) {
        icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(zone));
        EXPECT_EQ(paymentDateLabel(2026, 5, 21), "May 21, 2026") << zone;
        // The trend's days are calendar days too (formatting.h).
        EXPECT_EQ(formatDate(std::chrono::year{2026} / 5 / 21), "May 21, 2026") << zone;
    }
    icu::TimeZone::setDefault(*saved);
}

}  // namespace
}  // namespace ambrel
