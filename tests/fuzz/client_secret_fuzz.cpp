// client_secret.json, which the user downloads and may edit. The reading is checked against
// the file's layout read a second time with the JSON library alone: the "installed" section
// when that key is present (even when unusable), else "web", with four text members. A
// configuration that reads survives being written out and read again.

#include <nlohmann/json.hpp>

#include "core/auth/oauth_config.h"
#include "fuzz_check.h"

using namespace ambrel;
using fuzz::require;
using Json = nlohmann::json;

namespace {

std::optional<OAuthConfig> byTheLayout(const Json& document) {
    if (!document.is_object()) return std::nullopt;
    const char* key = document.contains("installed") ? "installed" : "web";
    if (!document.contains(key) || !document[key].is_object()) return std::nullopt;
    const Json& section = document[key];
    for (const char* name : {"client_id", "client_secret", "auth_uri", "token_uri"})
        if (!section.contains(name) || !section[name].is_string()) return std::nullopt;
    auto member = [&](const char* name) { return section[name].get<std::string>(); };
    return OAuthConfig{member("client_id"), member("client_secret"), member("auth_uri"),
                       member("token_uri")};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = fuzz::bytesOf(data, size);
    const auto config = OAuthConfig::parse(bytes);
    const Json document = Json::parse(bytes, nullptr, /*allow_exceptions=*/false);
    require(config == byTheLayout(document), "the configuration is what the layout names");
    if (!config) return 0;

    const Json written = {{"web",
                           {{"client_id", config->clientID},
                            {"client_secret", config->clientSecret},
                            {"auth_uri", config->authURI},
                            {"token_uri", config->tokenURI}}}};
    require(OAuthConfig::parse(written.dump()) == config, "a configuration reads back the same");
    return 0;
}
