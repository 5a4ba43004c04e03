#pragma once

// Turning the payments list's texts into display texts.

#include <optional>
#include <string>
#include <string_view>

namespace ambrel {

// Reads an amount written in the publisher's own format ("€1,234.56", "1.234,56 €",
// "¥1,235 JPY"); `currency` decides whether a lone separator can be a decimal one.
std::optional<double> parseAmount(std::string_view text, std::string_view currency);

// A stored amount text (the balance, the last payment) written as every other amount is, in
// the display locale's currency format: a text formatted for another locale when it was
// fetched ("389,85 €" in an English session) reads the same as the figures beside it. A text
// that does not read as an amount is shown as Google wrote it.
std::string displayAmountText(std::string_view text, std::string_view currency);

// The payment's calendar day in the medium date style of the display locale, in UTC. A
// missing component takes the cleared calendar's value (1970, January, day 1); the text is
// empty when all three are missing or any is out of range (month 13, 29 February 2023).
std::string paymentDateLabel(std::optional<long long> year, std::optional<long long> month,
                             std::optional<long long> day);

}  // namespace ambrel
