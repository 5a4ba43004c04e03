#include "core/earnings/payment_text.h"

#include <gtest/gtest.h>
#include <unicode/dcfmtsym.h>
#include <unicode/numsys.h>
#include <unicode/timezone.h>
#include <unicode/uchar.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/earnings/foreign_separators.h"
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

// The separators ICU's number symbols give for every decimal numbering system, by the rule the
// constant table was made with: a single punctuation character outside ASCII, '\0' when one
// system uses it for decimals and another for grouping.
std::map<UChar32, char> separatorsFromIcu() {
    std::map<UChar32, char> found;
    auto add = [&found](const icu::UnicodeString& symbol, char ascii) {
        if (symbol.countChar32() != 1) return;
        const UChar32 c = symbol.char32At(0);
        if (c < 0x80 || !u_ispunct(c)) return;
        auto [it, added] = found.emplace(c, ascii);
        if (!added && it->second != ascii) it->second = '\0';
    };
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::StringEnumeration> names(icu::NumberingSystem::getAvailableNames(status));
    EXPECT_TRUE(U_SUCCESS(status) && names);
    while (const char* name = names ? names->next(nullptr, status) : nullptr) {
        std::unique_ptr<icu::NumberingSystem> system(
            icu::NumberingSystem::createInstanceByName(name, status));
        if (!system || system->isAlgorithmic() || system->getRadix() != 10) continue;
        icu::DecimalFormatSymbols symbols(icu::Locale::getRoot(), *system, status);
        using Symbol = icu::DecimalFormatSymbols;
        add(symbols.getSymbol(Symbol::kDecimalSeparatorSymbol), '.');
        add(symbols.getSymbol(Symbol::kMonetarySeparatorSymbol), '.');
        add(symbols.getSymbol(Symbol::kGroupingSeparatorSymbol), ',');
        add(symbols.getSymbol(Symbol::kMonetaryGroupingSeparatorSymbol), ',');
    }
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    std::erase_if(found, [](const auto& entry) { return entry.second == '\0'; });
    return found;
}

// Amounts are read with a constant table of other scripts' separators; it must hold exactly
// what ICU gives, or a newer ICU's separators would read as nothing.
TEST(ParseAmount, FoldsEverySeparatorIcuGivesForADecimalNumberingSystem) {
    std::map<UChar32, char> table;
    for (const ForeignSeparator& separator : kForeignSeparators)
        table.emplace(separator.character, separator.ascii);
    EXPECT_EQ(table, separatorsFromIcu());
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
