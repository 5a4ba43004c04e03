#include "core/earnings/google_error.h"

#include <algorithm>
#include <cctype>

#include "core/platform/json.h"
#include "core/platform/percent_encoding.h"

namespace ambrel {
namespace {

constexpr std::string_view kErrorInfoType = "type.googleapis.com/google.rpc.ErrorInfo";
constexpr std::size_t kLongestUrl = 2048;

std::optional<std::string> stringMember(const json::Json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) return std::nullopt;
    return found->get<std::string>();
}

// Line breaks and other control characters would break the one line a message is shown on.
std::string printable(std::string text) {
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, ' ');
    return text;
}

void readErrorInfo(const json::Json& error, GoogleErrorBody& into) {
    const auto details = error.find("details");
    if (details == error.end() || !details->is_array()) return;
    for (const json::Json& detail : *details) {
        if (!detail.is_object() || stringMember(detail, "@type") != kErrorInfoType) continue;
        into.reason = stringMember(detail, "reason");
        const auto metadata = detail.find("metadata");
        if (metadata != detail.end() && metadata->is_object())
            into.activationUrl = stringMember(*metadata, "activationUrl");
        return;
    }
}

std::optional<json::Json> parsedObject(std::string_view body) {
    auto object = json::parseObject(body, "error answer");
    if (!object) return std::nullopt;
    return std::move(*object);
}

// Google's own words for an API that was never enabled in the project, for answers that lack
// the ErrorInfo detail.
bool saysServiceDisabled(const std::optional<std::string>& message) {
    return message && message->find("has not been used in project") != std::string::npos &&
           message->find("or it is disabled") != std::string::npos;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::optional<GoogleErrorBody> parseGoogleErrorBody(std::string_view body) {
    const auto document = parsedObject(body);
    if (!document) return std::nullopt;
    const auto error = document->find("error");
    if (error == document->end() || !error->is_object()) return std::nullopt;
    GoogleErrorBody parsed;
    if (auto message = stringMember(*error, "message")) parsed.message = printable(*message);
    parsed.status = stringMember(*error, "status");
    readErrorInfo(*error, parsed);
    return parsed;
}

bool isGoogleConsoleUrl(std::string_view url) {
    constexpr std::string_view kScheme = "https://";
    if (url.size() > kLongestUrl || url.size() < kScheme.size() ||
        !equalsIgnoringCase(url.substr(0, kScheme.size()), kScheme) || !hasOnlyUriCharacters(url))
        return false;
    const std::string_view rest = url.substr(kScheme.size());
    const std::string_view host = rest.substr(0, rest.find_first_of("/?#"));
    return equalsIgnoringCase(host, "console.developers.google.com") ||
           equalsIgnoringCase(host, "console.cloud.google.com");
}

AdSenseError adsenseHttpError(int status, std::string body,
                              std::optional<std::chrono::seconds> retryAfter) {
    AdSenseError error = AdSenseError::http(status, std::move(body));
    error.retryAfter = retryAfter;
    const auto google = parseGoogleErrorBody(error.body);
    if (!google) {
        if (parsedObject(error.body)) error.googleMessage = std::string();
        return error;
    }
    // Without a message, the status names the error; it is shown on the same one line.
    if (google->message)
        error.googleMessage = google->message;
    else
        error.googleMessage = printable(google->status.value_or(std::string()));
    error.serviceDisabled = google->reason == "SERVICE_DISABLED" ||
                            google->reason == "API_DISABLED" ||
                            saysServiceDisabled(google->message);
    if (!error.serviceDisabled) return error;
    if (google->activationUrl && isGoogleConsoleUrl(*google->activationUrl))
        error.activationUrl = google->activationUrl;
    else
        error.activationUrl = std::string(kAdSenseApiLibraryUrl);
    return error;
}

}  // namespace ambrel
