#pragma once

// The little of an HTTP request that the loopback listener needs: the path of the request
// target, and the `code`, `error` and `state` query parameters of the browser's redirect. A pure
// function over the request text, so the rules can be tested (and fuzzed) without sockets.

#include <optional>
#include <string>
#include <string_view>

namespace ambrel {

struct RedirectParameters {
    std::optional<std::string> code;
    std::optional<std::string> error;
    std::optional<std::string> state;  // what the consent URL sent, echoed by Google
    // The request target up to its query ("/" for the redirect URI, "/favicon.ico" for a
    // browser's icon request); empty when there is no request target.
    std::string path;

    bool operator==(const RedirectParameters&) const = default;
};

// `request` is the text read from the connection (already UTF-8). Anything that does not fit
// the expected shape simply yields no parameters.
RedirectParameters parseRedirectRequest(std::string_view request);

}  // namespace ambrel
