#pragma once

// The program's OAuth client identity, read from client_secret.json on every use.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"

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

    // What the sign-in and the token refresh work with: the loaded configuration, or
    // missingConfig, or a token error naming an endpoint that is not secure (see
    // isSecureEndpoint), before anything is asked of the keychain, a socket or the network.
    static Result<OAuthConfig> loadChecked(const std::vector<std::filesystem::path>& locations);

    // The endpoint rule of loadChecked alone, for a configuration read from elsewhere.
    static Result<void> checkEndpoints(const OAuthConfig& config);
};

}  // namespace ambrel
