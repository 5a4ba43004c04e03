#pragma once

// The program's OAuth client identity, read from client_secret.json on every use.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel {

struct OAuthConfig {
    std::string clientID;
    std::string clientSecret;
    std::string authURI;
    std::string tokenURI;

    bool operator==(const OAuthConfig&) const = default;

    // The first of `locations` that exists is read; any failure gives no configuration.
    static std::optional<OAuthConfig> load(const std::vector<std::filesystem::path>& locations);
    static std::optional<OAuthConfig> parse(std::string_view bytes);
};

}  // namespace ambrel
