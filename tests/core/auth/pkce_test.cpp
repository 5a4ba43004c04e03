// PKCE pairs and the consent URL.

#include <gtest/gtest.h>

#include <set>

#include "core/auth/auth_flow.h"

namespace ambrel {
namespace {

TEST(PKCE, ChallengeOfTheRfc7636Example) {
    PKCE pkce = AuthFlow::pkceForVerifier("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk");
    EXPECT_EQ(pkce.verifier, "dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk");
    EXPECT_EQ(pkce.challenge, "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
}

TEST(PKCE, FreshPairsAreUrlSafeFullLengthAndDistinct) {
    std::set<std::string> verifiers;
    for (int i = 0; i < 50; ++i) {
        PKCE pkce = AuthFlow::makePKCE();
        for (const std::string& text : {pkce.verifier, pkce.challenge}) {
            EXPECT_EQ(text.size(), 43u);
            EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                             "0123456789-_"),
                      std::string::npos)
                << text;
        }
        EXPECT_EQ(pkce.challenge, AuthFlow::pkceForVerifier(pkce.verifier).challenge);
        verifiers.insert(pkce.verifier);
    }
    EXPECT_EQ(verifiers.size(), 50u);
}

OAuthConfig configWithAuth(std::string authURI) {
    return OAuthConfig{"123-abc.apps.googleusercontent.com", "secret", std::move(authURI),
                       "https://oauth2.example/token"};
}

TEST(ConsentURL, CarriesExactlyTheNineParametersInOrder) {
    auto url = AuthFlow::consentURL(configWithAuth("https://accounts.example/o/oauth2/auth"),
                                    "http://127.0.0.1:53412",
                                    "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM", "s-1_x");
    EXPECT_EQ(url,
              "https://accounts.example/o/oauth2/auth"
              "?client_id=123-abc.apps.googleusercontent.com"
              "&redirect_uri=http://127.0.0.1:53412"
              "&response_type=code"
              "&scope=https://www.googleapis.com/auth/adsense.readonly"
              "&access_type=offline"
              "&prompt=consent"
              "&code_challenge=E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM"
              "&code_challenge_method=S256"
              "&state=s-1_x");
}

// 256 random bits, base64url: unreserved characters only, new on every sign-in.
TEST(ConsentURL, StateIsFreshAndUnreserved) {
    std::set<std::string> states;
    for (int i = 0; i < 50; ++i) {
        const std::string state = AuthFlow::makeState();
        EXPECT_EQ(state.size(), 43u);
        EXPECT_EQ(state.find_first_not_of(
                      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
                  std::string::npos)
            << state;
        states.insert(state);
    }
    EXPECT_EQ(states.size(), 50u);
}

TEST(ConsentURL, ReplacesAnyQueryAndFragmentOfAuthURI) {
    auto url = AuthFlow::consentURL(
        configWithAuth("https://accounts.example:8443/auth?hl=fr&client_id=evil#top"),
        "http://127.0.0.1:1", "c", "s");
    ASSERT_TRUE(url.has_value());
    EXPECT_TRUE(url->starts_with("https://accounts.example:8443/auth?client_id=123-abc."));
    EXPECT_EQ(url->find("hl=fr"), std::string::npos);
    EXPECT_EQ(url->find("evil"), std::string::npos);
    EXPECT_EQ(url->find('#'), std::string::npos);
}

TEST(ConsentURL, EscapesWhatWouldChangeTheQuery) {
    OAuthConfig config = configWithAuth("http://127.0.0.1:8080/o/oauth2/auth");
    config.clientID = "a&b=c d+e#f?g\xC3\xA9";
    auto url = AuthFlow::consentURL(config, "http://127.0.0.1:2", "c", "s");
    ASSERT_TRUE(url.has_value());
    EXPECT_TRUE(
        url->starts_with("http://127.0.0.1:8080/o/oauth2/auth?client_id="
                         "a%26b%3Dc%20d%2Be%23f%3Fg%C3%A9&redirect_uri="))
        << *url;
}

TEST(ConsentURL, AuthURIThatIsNotAWebAddressFormsNoURL) {
    for (const char* authURI :
         {"", "accounts.example/auth", "/etc/passwd", "file:///etc/passwd", "javascript:alert(1)",
          "https://", "https:///path", "https://accounts.example/a b",
          "https://accounts.example/%zz", "https://accounts.example/\xC3\xA9"}) {
        EXPECT_EQ(AuthFlow::consentURL(configWithAuth(authURI), "http://127.0.0.1:1", "c", "s"),
                  std::nullopt)
            << authURI;
    }
    EXPECT_TRUE(AuthFlow::consentURL(configWithAuth("HTTPS://Accounts.Example/auth"),
                                     "http://127.0.0.1:1", "c", "s")
                    .has_value());
}

}  // namespace
}  // namespace ambrel
