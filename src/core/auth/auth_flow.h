#pragma once

// Google sign-in for installed applications: PKCE (S256), consent page in the browser, the
// code received on a one-shot loopback listener, exchanged for a refresh token that is kept
// in the shared secret store.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/auth/oauth_config.h"
#include "core/auth/sign_in_cancel.h"
#include "core/error.h"
#include "core/services.h"

namespace ambrel {

struct PKCE {
    std::string verifier;
    std::string challenge;
};

class AuthFlow {
  public:
    // Opens a URL in the user's browser; the application posts it to its GUI thread.
    using BrowserOpener = std::function<void(const std::string& url)>;

    // `cancel`, when given, lets another thread end the sign-in while it waits for the browser.
    AuthFlow(const Services& services, BrowserOpener openBrowser,
             std::chrono::seconds waitLimit = std::chrono::seconds(300),
             std::shared_ptr<const SignInCancel> cancel = nullptr);

    // Blocks until the refresh token is stored or the sign-in failed or was cancelled; a
    // cancelled sign-in exchanges no code.
    Result<void> signIn();

    // A fresh verifier from the secure generator, and its S256 challenge.
    static PKCE makePKCE();
    static PKCE pkceForVerifier(std::string verifier);
    // 256 random bits in unreserved characters, new for every sign-in: the redirect must bring
    // it back, which a page that merely knows the loopback port cannot.
    static std::string makeState();
    // The consent page: authURI with its query (and fragment) replaced by the sign-in
    // parameters; nothing when authURI is not an absolute http(s) URL.
    static std::optional<std::string> consentURL(const OAuthConfig& config,
                                                 const std::string& redirectURI,
                                                 const std::string& challenge,
                                                 const std::string& state);
    Result<void> exchangeCode(const std::string& code, const std::string& redirectURI,
                              const OAuthConfig& config, const std::string& verifier);

  private:
    const Services& services_;
    BrowserOpener openBrowser_;
    std::chrono::seconds waitLimit_;
    std::shared_ptr<const SignInCancel> cancel_;
};

}  // namespace ambrel
