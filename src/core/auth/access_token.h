#pragma once

// The token endpoint's answer, the form encoding of token requests, and the trade of the
// stored refresh token for a fresh access token.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/auth/oauth_config.h"
#include "core/error.h"
#include "core/services.h"

namespace ambrel {

inline constexpr const char* kAdSenseScope = "https://www.googleapis.com/auth/adsense.readonly";

struct TokenResponse {
    std::optional<std::string> access_token;
    std::optional<std::string> refresh_token;
    std::optional<long long> expires_in;
    std::optional<std::string> error;
    std::optional<std::string> error_description;
};

Result<TokenResponse> decodeTokenResponse(std::string_view bytes);

// application/x-www-form-urlencoded; values percent-encoded outside A-Z a-z 0-9 - . _ ~.
std::string formEncode(const std::map<std::string, std::string>& fields);

// POSTs a form to the token endpoint and decodes the answer, whatever its status. An endpoint
// that is not secure (isSecureEndpoint) is refused before anything is sent.
Result<TokenResponse> postTokenRequest(HttpClient& http, const std::string& tokenURI,
                                       const std::map<std::string, std::string>& fields);

// An access token and how long it lives, in seconds, when the answer said so.
struct IssuedAccessToken {
    std::string value;
    std::optional<long long> expiresIn;
};

// The client configuration and the stored refresh token, in this order; each failure as the
// token fetch reports it (missing configuration, store failure, not connected).
Result<std::pair<OAuthConfig, std::string>> loadGrantInputs(const Services& services);

// One refresh-token grant at the configuration's endpoint. Google's invalid_grant is
// OAuthError::grantEnded; its other refusals are OAuthError::token with their description.
Result<IssuedAccessToken> grantAccessToken(HttpClient& http, const OAuthConfig& config,
                                           const std::string& refreshToken);

// One refresh-token grant; access tokens are never cached here (AccessTokenKeeper does).
Result<std::string> fetchAccessToken(const Services& services);

}  // namespace ambrel
