// The cached snapshot ("earnings.snapshot") as the widget reads it back. What decodes must be
// storable again (every figure finite), and must come back as the same value from its own
// encoding: a cache that drifts on each save would show other figures than were fetched.

#include "core/earnings/snapshot.h"
#include "fuzz_check.h"

using namespace ambrel;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto first = decodeSnapshot(fuzz::bytesOf(data, size));
    if (!first) return 0;
    auto bytes = encodeSnapshot(*first);
    require(bytes.has_value(), "a decoded snapshot encodes: its figures are finite");
    auto second = decodeSnapshot(*bytes);
    require(second.has_value(), "an encoded snapshot decodes");
    require(*second == *first, "decode, encode, decode gives the same snapshot");
    return 0;
}
