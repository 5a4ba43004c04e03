#include <string_view>
#include <utility>

#include "core/auth/access_token.h"
#include "core/auth/auth_flow.h"
#include "core/auth/secure_endpoint.h"
#include "core/platform/percent_encoding.h"

namespace ambrel {
namespace {

// ':' and '/' may stay as they are in a query, which keeps the redirect URI and the scope
// readable; everything else outside the unreserved set is escaped, so '&', '=', '+' and '#'
// can never change the query's meaning.
constexpr std::string_view kQueryAlsoKept = ":/";

// The consent page is opened by the desktop's URL handler, which would as readily open a
// local file or start another program; only a secure web address with a host is accepted.
std::optional<std::string_view> webAddressWithoutQuery(std::string_view uri) {
    std::string_view base = uri.substr(0, uri.find_first_of("?#"));
    if (!isSecureEndpoint(base) || !hasOnlyUriCharacters(base)) return std::nullopt;
    return base;
}

}  // namespace

std::optional<std::string> AuthFlow::consentURL(const OAuthConfig& config,
                                                const std::string& redirectURI,
                                                const std::string& challenge,
                                                const std::string& state) {
    auto base = webAddressWithoutQuery(config.authURI);
    if (!base) return std::nullopt;
    const std::pair<std::string_view, std::string_view> parameters[] = {
        {"client_id", config.clientID},
        {"redirect_uri", redirectURI},
        {"response_type", "code"},
        {"scope", kAdSenseScope},
        {"access_type", "offline"},
        {"prompt", "consent"},
        {"code_challenge", challenge},
        {"code_challenge_method", "S256"},
        {"state", state},
    };
    std::string url(*base);
    char separator = '?';
    for (const auto& [name, value] : parameters) {
        url.push_back(separator);
        url += percentEncode(name, kQueryAlsoKept);
        url.push_back('=');
        url += percentEncode(value, kQueryAlsoKept);
        separator = '&';
    }
    return url;
}

}  // namespace ambrel
