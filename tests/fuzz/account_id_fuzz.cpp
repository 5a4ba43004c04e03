// The cached account id ("adsense.account"), which ends up in every request's path. An id that
// loads is exactly what was stored and never empty; used in a request it either stays a path
// of the API under the base URL, or the request is refused before anything is sent.

#include <algorithm>
#include <variant>

#include "core/earnings/adsense_api.h"
#include "core/earnings/earnings_store.h"
#include "fuzz_check.h"
#include "fuzz_doubles.h"

using namespace ambrel;
using fuzz::require;

namespace {

// No byte that would end the path (query, fragment), break the URL or leave ASCII.
bool staysAPath(std::string_view account) {
    return std::all_of(account.begin(), account.end(), [](char c) {
        return c > ' ' && c < 0x7f && c != '?' && c != '#' && c != '%' && c != '\\';
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::SignedIn program;
    const auto bytes = fuzz::bytesOf(data, size);
    saveAccountId(program.defaults, bytes);
    const auto account = loadAccountId(program.defaults);
    require(account == (bytes.empty() ? std::nullopt : std::optional<std::string>(bytes)),
            "an account id loads as stored, an empty one as none");
    if (!account) return 0;

    program.http.requests = 0;
    const auto payments = AdSenseAPI(program.http, fuzz::kAdSenseBase).payments(*account, "t");
    if (program.http.requests == 0) {
        require(!payments && std::holds_alternative<TransportError>(payments.error()),
                "an account id that cannot be sent is refused as a failed request");
        return 0;
    }
    require(program.http.lastUrl == std::string(fuzz::kAdSenseBase) + "/" + *account + "/payments",
            "the request goes to the account's path under the base");
    require(staysAPath(*account), "the account id cannot end or break the path");
    return 0;
}
