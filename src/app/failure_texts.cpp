#include "app/failure_texts.h"

#include <string_view>

#include "core/platform/localization.h"

namespace ambrel {
namespace {

// The listener's own failures, which name the socket call that failed.
bool isListenerFailure(std::string_view message) {
    for (std::string_view start :
         {"could not create socket", "could not bind loopback", "could not listen on loopback",
          "loopback connection not received"})
        if (message.starts_with(start)) return true;
    return false;
}

std::string signInTokenText(const std::string& message) {
    if (message == "access_denied")
        return tr(
            "The sign-in was declined in the browser. Sign in again and allow Ambrel to "
            "see your AdSense data.");
    if (message == tr("Timed out — sign-in not completed."))
        return tr(
            "The browser did not finish the sign-in within 5 minutes. Sign in again when "
            "you are ready.");
    if (isListenerFailure(message))
        return fillPlaceholders(tr("Ambrel could not wait for the browser's answer on this "
                                   "computer (%@). Try again in a moment."),
                                {message});
    return fillPlaceholders(tr("Google did not complete the sign-in (%@). Check that your client "
                               "file is that of a \"Desktop app\" client, then sign in again."),
                            {message});
}

}  // namespace

std::string refreshFailureText(const Error& error) {
    if (const auto* transport = std::get_if<TransportError>(&error))
        return fillPlaceholders(tr("Ambrel could not reach Google (%@). It tries again when the "
                                   "network is back."),
                                {transport->message});
    if (const auto* decoding = std::get_if<DecodingError>(&error))
        return fillPlaceholders(tr("Google's answer could not be read (%@). Try again later."),
                                {decoding->message});
    return errorMessage(error);
}

std::string signInFailureText(const Error& error) {
    if (const auto* oauth = std::get_if<OAuthError>(&error)) {
        if (oauth->kind == OAuthError::Kind::missingConfig)
            return tr("Choose your Google client file first: Ambrel signs in with it.");
        if (oauth->kind == OAuthError::Kind::token) return signInTokenText(oauth->message);
    }
    if (const auto* transport = std::get_if<TransportError>(&error))
        return fillPlaceholders(
            tr("Ambrel could not reach Google (%@). Check your connection, then sign in again."),
            {transport->message});
    return errorMessage(error);
}

}  // namespace ambrel
