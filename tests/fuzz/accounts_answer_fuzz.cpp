// The accounts list, as the refresh asks for it when no account (or no zone) is cached. Checked
// against the answer read a second time with the JSON library alone: the account chosen is the
// first one listed that is not CLOSED, every listed name is kept as written, a list without an
// open account is "no account", and whatever zone the answer names, the days counted are those
// of a zone ICU knows; an answer that does not decode fails as a decoding error.

#include <variant>

#include "core/earnings/account_calendar.h"
#include "core/earnings/adsense_api.h"
#include "core/platform/json.h"
#include "fuzz_check.h"
#include "fuzz_doubles.h"

using namespace ambrel;
using fuzz::require;

namespace {

bool isClosed(const json::Json& account) {
    const auto state = account.find("state");
    return state != account.end() && state->is_string() && state->get<std::string>() == "CLOSED";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(fuzz::bytesOf(data, size));
    fuzz::CannedHttpClient http;
    http.answer = [&](const HttpRequest&) { return HttpResponse{200, body}; };
    const auto account = AdSenseAPI(http, fuzz::kAdSenseBase).chooseAccount("token");

    const auto decoded = decodeAccountsResponse(body);
    if (!decoded) {
        require(!account && std::holds_alternative<DecodingError>(account.error()),
                "an answer that does not decode fails as a decoding error");
        return 0;
    }
    const auto document = *json::parseObject(body, "answer");
    const auto listed = document.find("accounts");
    const json::Json* open = nullptr;
    if (listed != document.end() && !listed->is_null()) {
        require(decoded->accounts && decoded->accounts->size() == listed->size(),
                "every listed account decodes");
        for (std::size_t i = 0; i < listed->size(); ++i) {
            require((*decoded->accounts)[i].name == (*listed)[i]["name"].get<std::string>(),
                    "account names are kept as written");
            if (open == nullptr && !isClosed((*listed)[i])) open = &(*listed)[i];
        }
    }
    if (open == nullptr) {
        const auto* error = account ? nullptr : std::get_if<AdSenseError>(&account.error());
        require(error != nullptr && error->kind == AdSenseError::Kind::noAccount,
                "no open listed account is \"no account\"");
        return 0;
    }
    require(account.has_value() && account->name == (*open)["name"].get<std::string>(),
            "the first open account is chosen");
    const std::string zone = accountTimeZone(account->timeZone);
    require(knownTimeZone(zone) == zone, "the days are counted in a zone ICU knows");
    require(!account->timeZone || zone == *account->timeZone || zone == kDefaultAccountTimeZone,
            "the zone is the account's own, or Google's default");
    using namespace std::chrono;
    const auto today = accountToday(sys_days{2026y / May / 21} + 10h, zone);
    require(today.ok(), "the account's today is a day");
    return 0;
}
