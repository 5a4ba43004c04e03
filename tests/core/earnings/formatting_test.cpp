#include "core/earnings/formatting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "support/scoped_env.h"

namespace ambrel {
namespace {

using testing::ScopedLanguage;

PerfMetric metric(MetricKind kind, double current, std::string currency = "EUR") {
    return PerfMetric{"id", "title", kind, {current, 0}, std::move(currency)};
}

struct TextCase {
    const char* language;
    const char* call;
    std::function<std::string()> text;
    std::string expected;
};

// ICU writes the locale's own spaces: U+202F (narrow no-break) and U+00A0 (no-break).
#define NNBSP "\u202F"
#define NBSP "\u00A0"

TEST(Formatting, GivesTheLocalesTextsWithTheRequiredDigitsAndRounding) {
    const TextCase cases[] = {
        // Decimal style: exact digits, grouping, ties to even.
        {"en_US", "number 2 digits", [] { return formatNumber(2, 1234.5); }, "1,234.50"},
        {"en_US", "number 0 digits tie to even (down)", [] { return formatNumber(0, 2.5); }, "2"},
        {"fr_FR", "number fr", [] { return formatNumber(2, 1234.5); }, "1" NNBSP "234,50"},
        {"de_DE", "number de", [] { return formatNumber(2, 1234.5); }, "1.234,50"},
        // Percent style on the value itself, ties away from zero.
        {"en_US", "percent", [] { return formatPercent(0, 12.4); }, "12%"},
        {"en_US", "percent tie away from zero", [] { return formatPercent(0, 12.5); }, "13%"},
        {"en_US", "negative percent tie", [] { return formatPercent(0, -12.5); }, "-13%"},
        {"en_US", "percent 2 digits", [] { return formatPercent(2, 1.234); }, "1.23%"},
        {"fr_FR", "percent fr", [] { return formatPercent(2, 1.234); }, "1,23" NBSP "%"},
        {"de_DE", "percent de", [] { return formatPercent(2, 1.234); }, "1,23" NBSP "%"},
        // Currency: the currency's minimum digits, at most 2.
        {"en_US", "euro keeps 2 digits", [] { return formatCurrency("EUR", 12.5); }, "€12.50"},
        {"en_US", "yen shows no zeros", [] { return formatCurrency("JPY", 1234); }, "¥1,234"},
        {"en_US", "3-digit currency capped at 2", [] { return formatCurrency("BHD", 1.2345); },
         "BHD" NBSP "1.23"},
        {"fr_FR", "euro fr", [] { return formatCurrency("EUR", 12.5); }, "12,50" NBSP "€"},
        {"de_DE", "euro de", [] { return formatCurrency("EUR", 1234.5); }, "1.234,50" NBSP "€"},
        {"en_US", "unreadable code falls back", [] { return formatCurrency("", 12.5); }, "12.50"},
    };
    for (const auto& c : cases) {
        ScopedLanguage language(c.language);
        EXPECT_EQ(c.text(), c.expected) << c.language << ": " << c.call;
    }
}

TEST(Formatting, ValueTextShortensLargeCountsToThousands) {
    const TextCase cases[] = {
        {"en_US", "999.6 rounds below the threshold",
         [] { return valueText(metric(MetricKind::count, 999.6)); }, "1,000"},
        {"en_US", "1000", [] { return valueText(metric(MetricKind::count, 1000)); }, "1.00 k"},
        {"en_US", "12 345", [] { return valueText(metric(MetricKind::count, 12345)); }, "12.3 k"},
        {"en_US", "15 300", [] { return valueText(metric(MetricKind::count, 15300)); }, "15.3 k"},
        {"en_US", "123 456", [] { return valueText(metric(MetricKind::count, 123456)); }, "123 k"},
        {"fr_FR", "fr", [] { return valueText(metric(MetricKind::count, 15300)); }, "15,3 k"},
        {"en_US", "ctr", [] { return valueText(metric(MetricKind::percent, 1.234)); }, "1.23%"},
        {"fr_FR", "ctr fr", [] { return valueText(metric(MetricKind::percent, 1.234)); },
         "1,23" NBSP "%"},
        {"en_US", "rpm in the metric's currency",
         [] { return valueText(metric(MetricKind::currency, 2.5, "USD")); }, "$2.50"},
    };
    for (const auto& c : cases) {
        ScopedLanguage language(c.language);
        EXPECT_EQ(c.text(), c.expected) << c.language << ": " << c.call;
    }
}

TEST(Formatting, DeltaTextSignsTheAbsoluteChange) {
    const TextCase cases[] = {
        {"en_US", "count rounds the change",
         [] { return deltaText(MetricKind::count, "EUR", 1520, 1498.6); }, "+21"},
        {"en_US", "count half away from zero",
         [] { return deltaText(MetricKind::count, "EUR", 10, 12.5); }, "-3"},
        {"en_US", "percent points", [] { return deltaText(MetricKind::percent, "EUR", 1.5, 1.25); },
         "+0.25 pp"},
        {"en_US", "no change is plus zero",
         [] { return deltaText(MetricKind::currency, "EUR", 7.5, 7.5); }, "+€0.00"},
        {"en_US", "falling currency uses hyphen-minus",
         [] { return deltaText(MetricKind::currency, "EUR", 10, 22.5); }, "-€12.50"},
        {"de_DE", "de currency", [] { return deltaText(MetricKind::currency, "EUR", 10, 22.5); },
         "-12,50" NBSP "€"},
        {"en_US", "change against zero still has a text",
         [] { return deltaText(MetricKind::count, "EUR", 5, 0); }, "+5"},
    };
    for (const auto& c : cases) {
        ScopedLanguage language(c.language);
        EXPECT_EQ(c.text(), c.expected) << c.language << ": " << c.call;
    }
}

TEST(Formatting, PercentChangeTextIsRelativeToThePreviousMagnitude) {
    ScopedLanguage language("en_US");
    const struct {
        double current, previous;
        std::optional<std::string> expected;
    } cases[] = {
        {112.4, 100, "(+12%)"}, {100, 100, "(+0%)"},
        {87.5, 100, "(-13%)"},  // -12.5 %: the tie goes away from zero
        {50, -100, "(+150%)"},  // a negative base still counts by its size
        {5, 0, std::nullopt},   // no relative change against zero
        {0, 0, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(percentChangeText(c.current, c.previous), c.expected)
            << c.current << " against " << c.previous;
}

}  // namespace
}  // namespace ambrel
