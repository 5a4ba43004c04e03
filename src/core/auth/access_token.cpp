#include "core/auth/access_token.h"

#include "core/auth/keychain.h"
#include "core/auth/oauth_config.h"
#include "core/auth/secure_endpoint.h"
#include "core/platform/json.h"
#include "core/platform/percent_encoding.h"

namespace ambrel {
namespace {

constexpr std::string_view kTokenAnswer = "token answer";

// Reads one optional text member into `into`; a member of another type fails the decode.
std::optional<DecodingError> readOptionalString(const json::Json& object, const char* key,
                                                std::optional<std::string>& into) {
    auto value = json::optionalString(object, key, kTokenAnswer);
    if (!value) return value.error();
    into = std::move(*value);
    return std::nullopt;
}

}  // namespace

Result<TokenResponse> decodeTokenResponse(std::string_view bytes) {
    auto object = json::parseObject(bytes, kTokenAnswer);
    if (!object) return std::unexpected(object.error());
    TokenResponse response;
    for (auto [key, into] :
         {std::pair{"access_token", &response.access_token},
          std::pair{"refresh_token", &response.refresh_token}, std::pair{"error", &response.error},
          std::pair{"error_description", &response.error_description}}) {
        if (auto failure = readOptionalString(*object, key, *into))
            return std::unexpected(std::move(*failure));
    }
    auto expiresIn = json::optionalInteger(*object, "expires_in", kTokenAnswer);
    if (!expiresIn) return std::unexpected(expiresIn.error());
    if (*expiresIn) response.expires_in = static_cast<long long>(**expiresIn);
    return response;
}

std::string formEncode(const std::map<std::string, std::string>& fields) {
    std::string body;
    for (const auto& [name, value] : fields) {
        if (!body.empty()) body.push_back('&');
        body.append(name).push_back('=');
        body.append(percentEncode(value));
    }
    return body;
}

Result<TokenResponse> postTokenRequest(HttpClient& http, const std::string& tokenURI,
                                       const std::map<std::string, std::string>& fields) {
    // Every token request carries the client secret and a code or refresh token; whatever
    // configuration the caller holds, none of it goes out in the clear.
    if (!isSecureEndpoint(tokenURI)) return std::unexpected(insecureEndpoint(tokenURI));
    HttpRequest request;
    request.method = "POST";
    request.url = tokenURI;
    request.headers = {{"Content-Type", "application/x-www-form-urlencoded"}};
    request.body = formEncode(fields);
    request.timeout = std::chrono::seconds(60);
    // The next token request comes after the hour a token lives, when a kept connection would
    // long have been closed by the server.
    request.keepConnection = false;
    auto response = http.send(request);
    if (!response) return std::unexpected(Error{std::move(response.error())});
    // Google's token endpoint explains its refusals in the JSON body, so the answer is judged
    // by that body whatever the status code says.
    return decodeTokenResponse(response->body);
}

Result<std::pair<OAuthConfig, std::string>> loadGrantInputs(const Services& services) {
    auto config = OAuthConfig::loadChecked(services.clientSecretLocations);
    if (!config) return std::unexpected(config.error());
    auto refreshToken = keychain::load(services.secrets, refreshTokenItem());
    if (!refreshToken) return std::unexpected(refreshToken.error());
    if (!*refreshToken) return std::unexpected(OAuthError::noRefreshToken());
    return std::pair{std::move(*config), std::move(**refreshToken)};
}

Result<IssuedAccessToken> grantAccessToken(HttpClient& http, const OAuthConfig& config,
                                           const std::string& refreshToken) {
    auto answer = postTokenRequest(http, config.tokenURI,
                                   {{"refresh_token", refreshToken},
                                    {"client_id", config.clientID},
                                    {"client_secret", config.clientSecret},
                                    {"grant_type", "refresh_token"}});
    if (!answer) return std::unexpected(answer.error());
    if (answer->error) {
        std::string description = answer->error_description.value_or(*answer->error);
        // The refresh token itself was refused (it expired, was revoked, or the consent screen
        // is in "Testing" and its week is over): retrying cannot help, a new sign-in can.
        if (*answer->error == "invalid_grant")
            return std::unexpected(OAuthError::grantEnded(std::move(description)));
        return std::unexpected(OAuthError::token(std::move(description)));
    }
    if (answer->access_token)
        return IssuedAccessToken{std::move(*answer->access_token), answer->expires_in};
    return std::unexpected(OAuthError::token("response without access_token"));
}

Result<std::string> fetchAccessToken(const Services& services) {
    auto inputs = loadGrantInputs(services);
    if (!inputs) return std::unexpected(std::move(inputs.error()));
    auto issued = grantAccessToken(services.http, inputs->first, inputs->second);
    if (!issued) return std::unexpected(std::move(issued.error()));
    return std::move(issued->value);
}

}  // namespace ambrel
