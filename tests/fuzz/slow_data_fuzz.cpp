// The cached slow data ("earnings.slowData"): what decodes is storable again and comes back as
// the same value, so a record kept for six hours keeps its figures and its age.

#include "core/earnings/earnings_store.h"
#include "fuzz_check.h"

using namespace ambrel;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto first = decodeSlowData(fuzz::bytesOf(data, size));
    if (!first) return 0;
    auto bytes = encodeSlowData(*first);
    require(bytes.has_value(), "decoded slow data encodes: its figures are finite");
    auto second = decodeSlowData(*bytes);
    require(second.has_value(), "encoded slow data decodes");
    require(*second == *first, "decode, encode, decode gives the same slow data");
    return 0;
}
