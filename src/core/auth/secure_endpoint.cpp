#include "core/auth/secure_endpoint.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/platform/localization.h"

namespace ambrel {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool isPort(std::string_view text) {
    return !text.empty() && text.size() <= 5 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Only the exact spellings: what the HTTP client would make of anything looser (user
// information, a trailing dot, an encoded character) need not be guessed.
bool isLoopbackAuthority(std::string_view authority) {
    static constexpr std::array<std::string_view, 3> kHosts{"127.0.0.1", "localhost", "[::1]"};
    for (std::string_view host : kHosts) {
        if (authority.size() < host.size() ||
            !equalsIgnoringCase(authority.substr(0, host.size()), host))
            continue;
        std::string_view rest = authority.substr(host.size());
        if (rest.empty() || (rest.front() == ':' && isPort(rest.substr(1)))) return true;
    }
    return false;
}

}  // namespace

bool isSecureEndpoint(std::string_view uri) {
    const std::size_t schemeEnd = uri.find("://");
    if (schemeEnd == std::string_view::npos) return false;
    const std::string_view scheme = uri.substr(0, schemeEnd);
    const std::string_view rest = uri.substr(schemeEnd + 3);
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (equalsIgnoringCase(scheme, "https")) return !authority.empty();
    return equalsIgnoringCase(scheme, "http") && isLoopbackAuthority(authority);
}

bool isPlainHttp(std::string_view uri) {
    constexpr std::string_view kPrefix = "http://";
    return uri.size() >= kPrefix.size() &&
           equalsIgnoringCase(uri.substr(0, kPrefix.size()), kPrefix);
}

Error insecureEndpoint(std::string_view uri) {
    return OAuthError::token(
        fillPlaceholders(tr("insecure address in client_secret.json (https required): %@"), {uri}));
}

}  // namespace ambrel
