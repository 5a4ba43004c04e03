#pragma once

// The fake's OAuth 2.0 side: the consent page (which, having no user to ask, consents at
// once and redirects) and the token endpoint with its refresh-token and PKCE
// authorization-code grants. Not thread-safe: FakeGoogle calls it under its lock.

#include <map>
#include <optional>
#include <string>

#include "fakes/fake_answer.h"
#include "fakes/fake_google.h"

namespace ambrel::fakes {

inline constexpr std::string_view adsenseReadonlyScope =
    "https://www.googleapis.com/auth/adsense.readonly";

struct TokenRefusal {
    std::string error;
    std::optional<std::string> description;
};

struct OAuthSettings {
    std::string clientId = "1234-fake.apps.googleusercontent.com";
    std::string clientSecret = "fake-client-secret";
    std::string refreshToken = "1//fake-refresh-token";
    std::string accessToken = "ya29.fake-access-token";
    std::optional<std::string> consentError;
    std::optional<TokenRefusal> tokenRefusal;
};

class FakeOAuth {
  public:
    OAuthSettings settings;

    FakeAnswer consent(const Pairs& query);
    FakeAnswer token(const Pairs& form);

  private:
    // What a code was issued for: the exchange must repeat the redirect URI and prove
    // it holds the verifier of this challenge.
    struct IssuedCode {
        std::string redirectUri;
        std::string challenge;
    };

    std::optional<std::string> consentProblem(const Pairs& query) const;
    FakeAnswer refreshGrant(const Pairs& form) const;
    FakeAnswer codeGrant(const Pairs& form);
    FakeAnswer tokenAnswer(bool withRefreshToken) const;

    std::map<std::string, IssuedCode> codes_;
    int codesIssued_ = 0;
};

}  // namespace ambrel::fakes
