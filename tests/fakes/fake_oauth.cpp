#include "fakes/fake_oauth.h"

#include "fakes/pkce_challenge.h"
#include "fakes/url_form.h"

namespace ambrel::fakes {

namespace {

bool isLoopbackRedirect(std::string_view uri) {
    return uri.starts_with("http://127.0.0.1:") || uri.starts_with("http://localhost") ||
           uri.starts_with("http://[::1]:");
}

// RFC 7636: 43 to 128 characters of the unreserved set.
bool isPkceText(std::string_view text) {
    if (text.size() < 43 || text.size() > 128) return false;
    for (const char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (!unreserved) return false;
    }
    return true;
}

bool scopeIncludesAdsense(std::string_view scope) {
    while (!scope.empty()) {
        const auto space = scope.find(' ');
        if (scope.substr(0, space) == adsenseReadonlyScope) return true;
        if (space == std::string_view::npos) break;
        scope.remove_prefix(space + 1);
    }
    return false;
}

FakeAnswer redirectTo(std::string location) {
    FakeAnswer answer = textAnswer(302, "Moved Temporarily");
    answer.contentType = "text/html; charset=UTF-8";
    answer.headers.emplace_back("Location", std::move(location));
    return answer;
}

FakeAnswer badGrant() {
    return oauthError(400, "invalid_grant", "Bad Request");
}

}  // namespace

std::optional<std::string> FakeOAuth::consentProblem(const Pairs& query) const {
    if (findValue(query, "client_id") != settings.clientId) return "unknown or missing client_id";
    const auto redirect = findValue(query, "redirect_uri");
    if (!redirect || !isLoopbackRedirect(*redirect)) return "redirect_uri must be a loopback URI";
    if (findValue(query, "response_type") != "code") return "response_type must be code";
    if (!scopeIncludesAdsense(findValue(query, "scope").value_or(""))) {
        return "scope must include " + std::string(adsenseReadonlyScope);
    }
    if (!isPkceText(findValue(query, "code_challenge").value_or(""))) {
        return "code_challenge missing or malformed";
    }
    if (findValue(query, "code_challenge_method") != "S256") {
        return "code_challenge_method must be S256";
    }
    return std::nullopt;
}

FakeAnswer FakeOAuth::consent(const Pairs& query) {
    if (const auto problem = consentProblem(query)) {
        return textAnswer(400, "400. That's an error. Error: invalid_request (" + *problem + ")");
    }
    const std::string redirect = *findValue(query, "redirect_uri");
    // Google gives the state back first, unchanged, whatever the outcome.
    const auto state = findValue(query, "state");
    const std::string echoed = state ? "state=" + queryEncode(*state) + "&" : std::string();
    if (settings.consentError) {
        return redirectTo(redirect + "?" + echoed + "error=" + queryEncode(*settings.consentError));
    }
    const std::string code = "4/fake-code-" + std::to_string(++codesIssued_);
    codes_[code] = IssuedCode{redirect, *findValue(query, "code_challenge")};
    const std::string scope = *findValue(query, "scope");
    return redirectTo(redirect + "?" + echoed + "code=" + queryEncode(code) +
                      "&scope=" + queryEncode(scope));
}

FakeAnswer FakeOAuth::token(const Pairs& form) {
    if (settings.tokenRefusal) {
        Json document;
        document["error"] = settings.tokenRefusal->error;
        if (settings.tokenRefusal->description) {
            document["error_description"] = *settings.tokenRefusal->description;
        }
        return jsonAnswer(400, document);
    }
    if (findValue(form, "client_id") != settings.clientId) {
        return oauthError(401, "invalid_client", "The OAuth client was not found.");
    }
    if (findValue(form, "client_secret") != settings.clientSecret) {
        return oauthError(401, "invalid_client", "Unauthorized");
    }
    const auto grant = findValue(form, "grant_type");
    if (grant == "refresh_token") return refreshGrant(form);
    if (grant == "authorization_code") return codeGrant(form);
    return oauthError(400, "unsupported_grant_type", "Invalid grant_type: " + grant.value_or(""));
}

FakeAnswer FakeOAuth::refreshGrant(const Pairs& form) const {
    const auto refreshToken = findValue(form, "refresh_token");
    if (!refreshToken) {
        return oauthError(400, "invalid_request", "Missing required parameter: refresh_token");
    }
    if (*refreshToken != settings.refreshToken) return badGrant();
    return tokenAnswer(false);
}

FakeAnswer FakeOAuth::codeGrant(const Pairs& form) {
    const auto code = findValue(form, "code");
    if (!code) return oauthError(400, "invalid_request", "Missing required parameter: code");
    const auto issued = codes_.find(*code);
    if (issued == codes_.end()) return badGrant();
    if (findValue(form, "redirect_uri") != issued->second.redirectUri) {
        return oauthError(400, "redirect_uri_mismatch", "Bad Request");
    }
    const auto verifier = findValue(form, "code_verifier");
    if (!verifier || s256Challenge(*verifier) != issued->second.challenge) return badGrant();
    // A code buys one token answer; a second exchange of it fails like an unknown code.
    codes_.erase(issued);
    return tokenAnswer(true);
}

FakeAnswer FakeOAuth::tokenAnswer(bool withRefreshToken) const {
    Json document;
    document["access_token"] = settings.accessToken;
    document["expires_in"] = 3599;
    if (withRefreshToken) document["refresh_token"] = settings.refreshToken;
    document["scope"] = adsenseReadonlyScope;
    document["token_type"] = "Bearer";
    return jsonAnswer(200, document);
}

}  // namespace ambrel::fakes
