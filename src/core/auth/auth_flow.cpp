#include "core/auth/auth_flow.h"

#include <utility>

#include "core/auth/access_token.h"
#include "core/auth/keychain.h"
#include "core/auth/loopback_server.h"
#include "core/platform/localization.h"

namespace ambrel {

AuthFlow::AuthFlow(const Services& services, BrowserOpener openBrowser,
                   std::chrono::seconds waitLimit, std::shared_ptr<const SignInCancel> cancel)
    : services_(services),
      openBrowser_(std::move(openBrowser)),
      waitLimit_(waitLimit),
      cancel_(std::move(cancel)) {}

Result<void> AuthFlow::signIn() {
    // Without a usable client identity there is nothing to ask Google for: no socket, no
    // browser.
    auto config = OAuthConfig::loadChecked(services_.clientSecretLocations);
    if (!config) return std::unexpected(config.error());

    auto server = LoopbackServer::create(waitLimit_);
    if (!server) return std::unexpected(server.error());
    std::string redirectURI = "http://127.0.0.1:" + std::to_string(server->port());

    PKCE pkce = makePKCE();
    const std::string state = makeState();
    auto url = consentURL(*config, redirectURI, pkce.challenge, state);
    if (!url) return std::unexpected(OAuthError::token("invalid authorization URL"));

    // The opener's outcome is not known here; a browser that never comes back ends in the
    // listener's time-out. No browser for a sign-in cancelled already.
    if (openBrowser_ && !(cancel_ && cancel_->isCancelled())) openBrowser_(*url);

    auto code = server->waitForCode(state, cancel_.get());
    if (!code) return std::unexpected(code.error());
    // A code that came in as the user cancelled is not exchanged: no sign-in behind their back.
    if (cancel_ && cancel_->isCancelled())
        return std::unexpected(OAuthError::token("sign-in cancelled"));
    return exchangeCode(*code, redirectURI, *config, pkce.verifier);
}

Result<void> AuthFlow::exchangeCode(const std::string& code, const std::string& redirectURI,
                                    const OAuthConfig& config, const std::string& verifier) {
    auto answer = postTokenRequest(services_.http, config.tokenURI,
                                   {{"code", code},
                                    {"client_id", config.clientID},
                                    {"client_secret", config.clientSecret},
                                    {"redirect_uri", redirectURI},
                                    {"grant_type", "authorization_code"},
                                    {"code_verifier", verifier}});
    if (!answer) return std::unexpected(answer.error());
    if (answer->error)
        return std::unexpected(
            OAuthError::token(answer->error_description.value_or(*answer->error)));
    // Only the refresh token is kept; every data refresh gets its own access token.
    if (answer->refresh_token)
        return keychain::save(services_.secrets, refreshTokenItem(), *answer->refresh_token);
    return std::unexpected(OAuthError::token(tr("no refresh token received")));
}

}  // namespace ambrel
