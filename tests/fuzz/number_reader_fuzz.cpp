// The reader of the report's number cells. A result is finite, reads back from its own
// shortest exact text, depends on nothing after the cell's last byte, and exists exactly when
// the C library's conversion in the C locale takes the whole text, with no white space first.

#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/earnings/daily_report.h"
#include "fuzz_check.h"

using namespace ambrel;
using fuzz::require;

namespace {

bool sameResult(std::optional<double> a, std::optional<double> b) {
    return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(double)) == 0);
}

// What the rule says the text reads as, straight from the C library.
std::optional<double> byTheRule(std::string_view text) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    if (text.empty() || std::strchr(" \t\n\v\f\r", text.front()) != nullptr) return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    const double value = strtod_l(copy.c_str(), &end, c);
    if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The fuzzer's own buffer ends exactly where the text does, so ASan sees any read past it.
    const auto text = fuzz::bytesOf(data, size);
    const auto value = readNumber(text);
    require(!value || std::isfinite(*value), "a number read is finite");
    require(sameResult(value, byTheRule(text)), "a number reads as the C conversion says");

    // The same text followed by more digits in the same buffer: a reader that ran past the
    // end of its view would take them in.
    const std::string followed = std::string(text) + "987e1";
    require(sameResult(value, readNumber(std::string_view(followed).substr(0, size))),
            "bytes after the text do not change what it reads as");

    if (value) {
        char shortest[40];
        std::snprintf(shortest, sizeof shortest, "%.17g", *value);
        require(sameResult(value, readNumber(shortest)), "a number reads back from its text");
    }
    return 0;
}
