#include "core/error.h"

#include <string>

#include "core/platform/localization.h"

namespace ambrel {
namespace {

std::string adsenseMessage(const AdSenseError& error) {
    if (error.kind == AdSenseError::Kind::noAccount)
        return tr("No AdSense account found for this Google account.");
    if (error.serviceDisabled)
        return tr(
            "The AdSense Management API is not enabled in your Google Cloud project. Enable it, "
            "wait a few minutes, then refresh.");
    if (error.status == 429)
        return tr(
            "Google's request quota for your Google Cloud project is used up for now. New "
            "figures come once it is renewed.");
    // Google's own words when the answer is its JSON, never the JSON itself.
    return fillPlaceholders(
        tr("AdSense error (%@): %@"),
        {std::to_string(error.status), error.googleMessage.value_or(error.body)});
}

std::string oauthMessage(const OAuthError& error) {
    switch (error.kind) {
        case OAuthError::Kind::token:
            return fillPlaceholders(tr("Authentication error: %@"), {error.message});
        case OAuthError::Kind::missingConfig:
            return tr("OAuth configuration not found (client_secret.json missing).");
        case OAuthError::Kind::noRefreshToken:
            return tr("Not connected to Google.");
        case OAuthError::Kind::grantEnded:
            return tr(
                "Google ended this sign-in: it expired or was revoked. Sign in again to "
                "see new figures.");
    }
    return {};
}

}  // namespace

std::string errorMessage(const Error& error) {
    struct Visitor {
        std::string operator()(const AdSenseError& e) const { return adsenseMessage(e); }
        std::string operator()(const OAuthError& e) const { return oauthMessage(e); }
        // Not localized: the status is what a person reports.
        std::string operator()(const KeychainError& e) const {
            return "Erreur Keychain (" + std::to_string(e.status) + ")";
        }
        std::string operator()(const TransportError& e) const { return e.message; }
        std::string operator()(const DecodingError& e) const { return e.message; }
    };
    return std::visit(Visitor{}, error);
}

bool signInEnded(const Error& error) {
    const auto* oauth = std::get_if<OAuthError>(&error);
    return oauth != nullptr && oauth->kind == OAuthError::Kind::grantEnded;
}

std::optional<std::string> errorLink(const Error& error) {
    const auto* adsense = std::get_if<AdSenseError>(&error);
    if (adsense == nullptr) return std::nullopt;
    return adsense->activationUrl;
}

}  // namespace ambrel
