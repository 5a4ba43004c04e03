// The reader of the payments' amount texts ("€1,234.56", "1.234,56 €", "١٢٣٫٤٥ د.إ"), for the
// currencies whose minor units change how a lone separator reads. A result is finite and
// depends on nothing after the text's last byte.

#include <cmath>
#include <cstring>
#include <string>

#include "core/earnings/payment_text.h"
#include "fuzz_check.h"

using namespace ambrel;
using fuzz::require;

namespace {

// Two minor digits, none, three, four, and codes that name no currency.
constexpr const char* kCurrencies[] = {"EUR", "USD", "JPY", "KRW", "BHD",
                                       "KWD", "CLF", "eur", "XXX", ""};

bool sameResult(std::optional<double> a, std::optional<double> b) {
    return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(double)) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char* currency = kCurrencies[data[0] % std::size(kCurrencies)];
    // The fuzzer's own buffer ends exactly where the text does, so ASan sees any read past it.
    const auto text = fuzz::bytesOf(data + 1, size - 1);
    const auto value = parseAmount(text, currency);
    require(!value || std::isfinite(*value), "an amount read is finite");

    // The same text followed by more digits and separators in the same buffer.
    for (const char* tail : {"0", "٫5", ",000.75", "\xd9"}) {
        const std::string followed = std::string(text) + tail;
        require(sameResult(value, parseAmount(std::string_view(followed).substr(0, text.size()),
                                              currency)),
                "bytes after the amount do not change what it reads as");
    }
    return 0;
}
