// Feeds arbitrary bytes, as a browser (or anything else on this machine) could send them, to
// the loopback listener's request parser, the way the listener does: repaired to UTF-8 first.
// Besides the sanitizers' checks, the parser's own promises are asserted.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/auth/redirect_request.h"
#include "core/platform/utf8.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text = ambrel::utf8::repair(bytes);
    require(ambrel::utf8::isValid(text));
    require(ambrel::utf8::isValid(bytes) == (text == bytes));

    ambrel::RedirectParameters found = ambrel::parseRedirectRequest(text);
    // Found values are never empty, and decoding never makes a value longer than it was sent.
    for (const auto& value : {found.code, found.error, found.state}) {
        if (!value) continue;
        require(!value->empty());
        require(value->size() <= text.size());
    }
    return 0;
}
