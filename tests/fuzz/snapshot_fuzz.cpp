// The cached snapshot ("earnings.snapshot") as the widget reads it back. What decodes must be
// storable again (every figure finite), and must come back as the same value from its own
// encoding: a cache that drifts on each save would show other figures than were fetched. The
// input is read as a whole snapshot, and as the value of one member of the widget's sample.

#include "core/earnings/snapshot.h"
#include "fuzz_check.h"
#include "fuzz_json.h"
#include "widget/sample_snapshot.h"

using namespace ambrel;
using fuzz::require;

namespace {

void check(std::string_view bytes) {
    auto first = decodeSnapshot(bytes);
    if (!first) return;
    auto encoded = encodeSnapshot(*first);
    require(encoded.has_value(), "a decoded snapshot encodes: its figures are finite");
    auto second = decodeSnapshot(*encoded);
    require(second.has_value(), "an encoded snapshot decodes");
    require(*second == *first, "decode, encode, decode gives the same snapshot");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = fuzz::bytesOf(data, size);
    check(bytes);
    if (auto value = fuzz::asValue(bytes)) {
        static const std::string sample = encodeSnapshot(sampleSnapshot()).value();
        for (const auto& text : fuzz::withMemberReplaced(sample, size, *value)) check(text);
    }
    return 0;
}
