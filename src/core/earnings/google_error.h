#pragma once

// What Google's JSON APIs say when they refuse a call, read for the words a person needs:
// {"error": {"code", "message", "status", "details": [{"@type":
// "type.googleapis.com/google.rpc.ErrorInfo", "reason", "metadata": {"activationUrl"}}]}}.
// The body comes from the network: it is read leniently (a member of an unexpected type is
// passed over) and nothing in it is trusted as a link unless it points at Google's console.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"

namespace ambrel {

struct GoogleErrorBody {
    std::optional<std::string> message;        // error.message, control characters made spaces
    std::optional<std::string> status;         // error.status, "PERMISSION_DENIED"
    std::optional<std::string> reason;         // the ErrorInfo detail's reason, "SERVICE_DISABLED"
    std::optional<std::string> activationUrl;  // its metadata's, unchecked

    bool operator==(const GoogleErrorBody&) const = default;
};

// None when the body is not a JSON object with an "error" object.
std::optional<GoogleErrorBody> parseGoogleErrorBody(std::string_view body);

// An https address on console.developers.google.com or console.cloud.google.com, made only of
// URL characters: the only addresses from an error answer that are offered to open.
bool isGoogleConsoleUrl(std::string_view url);

// The AdSense API's library page, where the user picks the project to enable it in: offered
// when Google says the API is disabled without naming a usable page of its own.
inline constexpr std::string_view kAdSenseApiLibraryUrl =
    "https://console.cloud.google.com/apis/library/adsense.googleapis.com";

// The error of an answer outside 2xx: Google's words when the body is JSON (its message, else
// its status name, else none: never the JSON itself), whether the API is disabled in the user's
// project and where to enable it, and how long Google asked to be left alone.
AdSenseError adsenseHttpError(int status, std::string body,
                              std::optional<std::chrono::seconds> retryAfter);

}  // namespace ambrel
