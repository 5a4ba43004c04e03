// The objectives item of the shared secret store, which the other program may have written.
// What decodes is storable again and comes back the same; whatever the item holds, loading it
// gives either exactly what decodes or the defaults (10 and 300), never anything in between.
// The input is read as a whole item, and as the value of one of the two goals.

#include "core/auth/keychain.h"
#include "core/earnings/earnings_store.h"
#include "fuzz_check.h"
#include "fuzz_doubles.h"
#include "fuzz_json.h"

using namespace ambrel;
using fuzz::require;

namespace {

void check(std::string_view bytes) {
    static fuzz::MemorySecrets secrets;
    static_cast<void>(keychain::saveData(secrets, objectivesItem(), bytes));
    const Objectives loaded = Objectives::load(secrets);

    auto first = decodeObjectives(bytes);
    if (!first) {
        require(loaded == Objectives{}, "unreadable objectives load as the defaults");
        return;
    }
    require(loaded == *first, "readable objectives load as they decode");
    auto encoded = encodeObjectives(*first);
    require(encoded.has_value(), "decoded objectives encode: they are finite");
    auto second = decodeObjectives(*encoded);
    require(second.has_value() && *second == *first,
            "decode, encode, decode gives the same objectives");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = fuzz::bytesOf(data, size);
    check(bytes);
    if (auto value = fuzz::asValue(bytes)) {
        static const std::string edited = encodeObjectives({12.34, 456.78}).value();
        for (const auto& text : fuzz::withMemberReplaced(edited, size, *value)) check(text);
    }
    return 0;
}
