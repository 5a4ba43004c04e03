// client_secret.json, which the user downloads and may edit. The reading is checked against
// the file's layout read a second time with the JSON library alone: the "installed" section
// when that key is present (even when unusable), else "web", with four text members. The
// input is read as a whole file, and also as a section placed where the layout tells sections
// apart, since a fuzzer rarely turns one section of a valid file into another type.

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

// One file: read as the layout says, and a configuration that reads survives being written
// out and read again.
void checkFile(std::string_view bytes, const Json& document) {
    const auto config = OAuthConfig::parse(bytes);
    require(config == byTheLayout(document), "the configuration is what the layout names");
    if (!config) return;
    const Json written = {{"web",
                           {{"client_id", config->clientID},
                            {"client_secret", config->clientSecret},
                            {"auth_uri", config->authURI},
                            {"token_uri", config->tokenURI}}}};
    require(OAuthConfig::parse(written.dump()) == config, "a configuration reads back the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = fuzz::bytesOf(data, size);
    const Json document = Json::parse(bytes, nullptr, /*allow_exceptions=*/false);
    checkFile(bytes, document);
    if (document.is_discarded()) return 0;

    // The input as a section, in each place the layout tells apart: alone under either key, and
    // under "installed" beside a usable "web" section, which must never stand in for it.
    static const Json usable = {{"client_id", "web-client"},
                                {"client_secret", "web-secret"},
                                {"auth_uri", "https://oauth2.test/auth"},
                                {"token_uri", "https://oauth2.test/token"}};
    for (const Json& file : {Json{{"installed", document}}, Json{{"web", document}},
                             Json{{"installed", document}, {"web", usable}}}) {
        const std::string text = file.dump();
        checkFile(text, file);
    }
    return 0;
}
