#pragma once

// Every failure of the core is one of these values. Lower layers pass them up unchanged;
// only the application state turns one into the text a person reads (errorMessage).

#include <chrono>
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <variant>

namespace ambrel {

// A request that did not produce an HTTP answer: no network, time-out, TLS failure.
struct TransportError {
    std::string message;  // libcurl's description, with the address when known
};

// Bytes that do not have the expected JSON shape; the message names what was being read.
struct DecodingError {
    std::string message;
};

struct AdSenseError {
    enum class Kind { http, noAccount };
    Kind kind = Kind::http;
    int status = 0;    // http only
    std::string body;  // http only, the answer's text
    // What Google's error answer says in words ("error.message"), when the body is one. Set
    // (possibly empty) whenever the body is a JSON object, so the JSON is never shown.
    std::optional<std::string> googleMessage;
    // The AdSense API is not enabled in the user's Cloud project, and where to enable it: an
    // https page of Google's console only (google_error.h), never another address.
    bool serviceDisabled = false;
    std::optional<std::string> activationUrl;
    // How long Google asks to be left alone (Retry-After), when it says.
    std::optional<std::chrono::seconds> retryAfter;

    static AdSenseError http(int status, std::string body) {
        return {Kind::http, status, std::move(body), {}, false, {}, {}};
    }
    static AdSenseError noAccount() { return {Kind::noAccount, 0, {}, {}, false, {}, {}}; }
};

struct OAuthError {
    // grantEnded: Google refused the stored refresh token (invalid_grant): it expired or was
    // revoked, and only a new sign-in brings figures again.
    enum class Kind { token, missingConfig, noRefreshToken, grantEnded };
    Kind kind = Kind::token;
    std::string message;  // token only, passed through unchanged

    static OAuthError token(std::string message) { return {Kind::token, std::move(message)}; }
    static OAuthError missingConfig() { return {Kind::missingConfig, {}}; }
    static OAuthError noRefreshToken() { return {Kind::noRefreshToken, {}}; }
    static OAuthError grantEnded(std::string message) {
        return {Kind::grantEnded, std::move(message)};
    }
};

// Secret-store statuses keep the numbers of the original keychain API, since they appear in
// the messages users see and report.
inline constexpr std::int32_t errSecSuccess = 0;
inline constexpr std::int32_t errSecItemNotFound = -25300;
inline constexpr std::int32_t errSecNotAvailable = -25291;

struct KeychainError {
    std::int32_t status = 0;
};

using Error = std::variant<AdSenseError, OAuthError, KeychainError, TransportError, DecodingError>;

template <class T>
using Result = std::expected<T, Error>;

// The one user-facing text of an error, localized where the text is ours.
std::string errorMessage(const Error& error);

// Google ended the sign-in: the next step is to sign in again, not to retry.
bool signInEnded(const Error& error);

// A page that mends the error (where the API is enabled), when the error names one.
std::optional<std::string> errorLink(const Error& error);

}  // namespace ambrel
