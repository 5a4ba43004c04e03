// The accounts list, as the refresh asks for it when no account id is cached. Checked against
// the answer read a second time with the JSON library alone: the account chosen is the first
// one listed, every listed name is kept as written, and an absent or empty list is "no
// account"; an answer that does not decode fails as a decoding error.

#include <variant>

#include "core/earnings/adsense_api.h"
#include "core/platform/json.h"
#include "fuzz_check.h"
#include "fuzz_doubles.h"

using namespace ambrel;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(fuzz::bytesOf(data, size));
    fuzz::CannedHttpClient http;
    http.answer = [&](const HttpRequest&) { return HttpResponse{200, body}; };
    const auto account = AdSenseAPI(http, fuzz::kAdSenseBase).firstAccount("token");

    const auto decoded = decodeAccountsResponse(body);
    if (!decoded) {
        require(!account && std::holds_alternative<DecodingError>(account.error()),
                "an answer that does not decode fails as a decoding error");
        return 0;
    }
    const auto document = *json::parseObject(body, "answer");
    const auto listed = document.find("accounts");
    if (listed == document.end() || listed->is_null() || listed->empty()) {
        const auto* error = account ? nullptr : std::get_if<AdSenseError>(&account.error());
        require(error != nullptr && error->kind == AdSenseError::Kind::noAccount,
                "no listed account is \"no account\"");
        return 0;
    }
    require(decoded->accounts && decoded->accounts->size() == listed->size(),
            "every listed account decodes");
    for (std::size_t i = 0; i < listed->size(); ++i)
        require((*decoded->accounts)[i].name == (*listed)[i]["name"].get<std::string>(),
                "account names are kept as written");
    require(account.has_value() && *account == (*listed)[0]["name"].get<std::string>(),
            "the first listed account is chosen");
    return 0;
}
