#pragma once

// Turning the payments list's texts into display texts.

#include <optional>
#include <string>
#include <string_view>

namespace ambrel {

// Reads an amount written in the publisher's own format ("€1,234.56", "1.234,56 €",
// "¥1,235 JPY"); `currency` decides whether a lone separator can be a decimal one.
std::optional<double> parseAmount(std::string_view text, std::string_view currency);

// The payment's calendar day in the medium date style of the display locale, in UTC; the
// empty text when the components make no date.
std::string paymentDateLabel(std::optional<long long> year, std::optional<long long> month,
                             std::optional<long long> day);

}  // namespace ambrel
