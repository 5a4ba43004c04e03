// An AdSense answer outside 2xx, as Google (or anything between) may send it: the body read for
// Google's words and its API-activation page, and a Retry-After value. Whatever the bytes, the
// message never shows a JSON object's text and holds no control character of Google's, only one
// of Google's console pages (or the API's library page) is ever offered to open, and the wait
// read from Retry-After lies between none and a year.

#include <algorithm>
#include <chrono>

#include "core/earnings/google_error.h"
#include "core/platform/json.h"
#include "core/platform/retry_after.h"
#include "fuzz_check.h"

using namespace ambrel;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);
    // The first line is the Retry-After value, the rest the body.
    const auto lineEnd = bytes.find('\n');
    const std::string_view header = bytes.substr(0, lineEnd);
    const std::string body(lineEnd == std::string_view::npos ? "" : bytes.substr(lineEnd + 1));

    using namespace std::chrono;
    const auto wait = parseRetryAfter(header, sys_days{2026y / May / 21} + 10h);
    require(!wait || (*wait >= seconds::zero() && *wait <= days{365}),
            "a Retry-After wait is between none and a year");

    const AdSenseError error = adsenseHttpError(403, body, wait);
    require(error.kind == AdSenseError::Kind::http && error.status == 403 && error.body == body,
            "the status and the body are kept");
    const bool object = json::parseObject(body, "answer").has_value();
    require(!object || error.googleMessage.has_value(), "a JSON object is never shown as such");
    if (error.googleMessage) {
        require(std::none_of(error.googleMessage->begin(), error.googleMessage->end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
                "Google's words hold no control character");
        require(!body.empty() && (error.googleMessage->size() < body.size() || !object),
                "Google's words come from its answer");
    }
    const auto link = errorLink(Error{error});
    require(link.has_value() == error.serviceDisabled, "a link is offered for a disabled API only");
    if (link)
        require(isGoogleConsoleUrl(*link) || *link == kAdSenseApiLibraryUrl,
                "only Google's console is offered to open");
    const std::string message = errorMessage(Error{error});
    require(!object || body.size() < 2 || message.find(body) == std::string::npos,
            "the message never holds the JSON");
    return 0;
}
