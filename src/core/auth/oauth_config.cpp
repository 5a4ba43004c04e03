#include "core/auth/oauth_config.h"

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <system_error>

#include "core/auth/secure_endpoint.h"

namespace ambrel {
namespace {

using Json = nlohmann::json;

// stdio rather than iostreams: a stream's read error (a folder in place of the file, say) can
// surface as an exception, and no exception may leave the core.
std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, count);
    if (std::ferror(file.get()) != 0) return std::nullopt;
    return bytes;
}

std::optional<std::string> stringMember(const Json& section, const char* key) {
    auto it = section.find(key);
    if (it == section.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
}

// Google's console hands out desktop credentials under "installed" and web credentials under
// "web". A present "installed" section is authoritative even when unusable: falling back to
// "web" would silently sign in as a different client than the file names first.
const Json* clientSection(const Json& document) {
    auto installed = document.find("installed");
    const Json* section = nullptr;
    if (installed != document.end()) {
        section = &*installed;
    } else if (auto web = document.find("web"); web != document.end()) {
        section = &*web;
    }
    return section != nullptr && section->is_object() ? section : nullptr;
}

}  // namespace

std::optional<OAuthConfig> OAuthConfig::parse(std::string_view bytes) {
    Json document = Json::parse(bytes, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded() || !document.is_object()) return std::nullopt;
    const Json* section = clientSection(document);
    if (section == nullptr) return std::nullopt;
    auto clientID = stringMember(*section, "client_id");
    auto clientSecret = stringMember(*section, "client_secret");
    auto authURI = stringMember(*section, "auth_uri");
    auto tokenURI = stringMember(*section, "token_uri");
    if (!clientID || !clientSecret || !authURI || !tokenURI) return std::nullopt;
    return OAuthConfig{std::move(*clientID), std::move(*clientSecret), std::move(*authURI),
                       std::move(*tokenURI)};
}

std::optional<OAuthConfig> OAuthConfig::load(const std::vector<std::filesystem::path>& locations) {
    for (const auto& location : locations) {
        std::error_code error;
        if (!std::filesystem::exists(location, error)) continue;
        // The user's own copy overrides the installed one entirely: a broken copy is reported
        // as a missing configuration rather than quietly replaced by another client identity.
        auto bytes = readWholeFile(location);
        if (!bytes) return std::nullopt;
        return parse(*bytes);
    }
    return std::nullopt;
}

Result<OAuthConfig> OAuthConfig::loadChecked(const std::vector<std::filesystem::path>& locations) {
    auto config = load(locations);
    if (!config) return std::unexpected(OAuthError::missingConfig());
    if (auto checked = checkEndpoints(*config); !checked) return std::unexpected(checked.error());
    return std::move(*config);
}

Result<void> OAuthConfig::checkEndpoints(const OAuthConfig& config) {
    // The token endpoint receives the secrets, so it must be secure whatever it looks like. The
    // consent page is refused when it is a plain-http address; any other text that is no web
    // address at all is left to the sign-in, which reports an invalid authorization URL.
    if (!isSecureEndpoint(config.tokenURI))
        return std::unexpected(insecureEndpoint(config.tokenURI));
    if (!isSecureEndpoint(config.authURI) && isPlainHttp(config.authURI))
        return std::unexpected(insecureEndpoint(config.authURI));
    return {};
}

}  // namespace ambrel
