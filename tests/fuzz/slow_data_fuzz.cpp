// The cached slow data ("earnings.slowData"): what decodes is storable again and comes back as
// the same value, so a record kept for six hours keeps its figures and its age. The input is
// read as a whole record, and as the value of one member of a complete one.

#include "core/earnings/earnings_store.h"
#include "fuzz_check.h"
#include "fuzz_json.h"

using namespace ambrel;
using fuzz::require;

namespace {

void check(std::string_view bytes) {
    auto first = decodeSlowData(bytes);
    if (!first) return;
    auto encoded = encodeSlowData(*first);
    require(encoded.has_value(), "decoded slow data encodes: its figures are finite");
    auto second = decodeSlowData(*encoded);
    require(second.has_value(), "encoded slow data decodes");
    require(*second == *first, "decode, encode, decode gives the same slow data");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = fuzz::bytesOf(data, size);
    check(bytes);
    if (auto value = fuzz::asValue(bytes)) {
        static const std::string complete =
            encodeSlowData({195.92, "389,85 €", "341,95 €", "21 mai 2026", Instant{}}).value();
        for (const auto& text : fuzz::withMemberReplaced(complete, size, *value)) check(text);
    }
    return 0;
}
