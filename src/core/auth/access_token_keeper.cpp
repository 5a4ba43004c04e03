#include "core/auth/access_token_keeper.h"

#include <algorithm>

#include "core/auth/access_token.h"
#include "core/platform/crypto.h"

namespace ambrel {

Result<AccessTokenGrant> AccessTokenKeeper::token(const Services& services) {
    auto inputs = loadGrantInputs(services);
    if (!inputs) return std::unexpected(std::move(inputs.error()));
    const auto& [config, refreshToken] = *inputs;
    // A digest, so that the refresh token itself is not held longer than the fetch needs it;
    // a new sign-in or another client makes it differ.
    const auto issuer = sha256(config.clientID + '\n' + config.tokenURI + '\n' + refreshToken);
    {
        std::lock_guard guard(mutex_);
        if (kept_ && kept_->issuer == issuer && services.now() < kept_->usableUntil)
            return AccessTokenGrant{kept_->value, true};
    }
    auto issued = grantAccessToken(services.http, config, refreshToken);
    if (!issued) return std::unexpected(std::move(issued.error()));
    std::lock_guard guard(mutex_);
    if (issued->expiresIn && *issued->expiresIn > kAccessTokenMargin.count()) {
        // Google's tokens live an hour; a lifetime beyond a day is not believed.
        const std::chrono::seconds lifetime(std::min(*issued->expiresIn, 86400LL));
        kept_ = Kept{issuer, issued->value, services.now() + lifetime - kAccessTokenMargin};
    } else {
        kept_.reset();
    }
    return AccessTokenGrant{std::move(issued->value), false};
}

void AccessTokenKeeper::forget() {
    std::lock_guard guard(mutex_);
    kept_.reset();
}

}  // namespace ambrel
