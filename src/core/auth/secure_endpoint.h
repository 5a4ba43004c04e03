#pragma once

// Google's endpoints receive the client secret, the authorization code and the refresh token:
// none of them may travel in the clear. An endpoint must use https; plain http is accepted
// only for this machine's loopback (local emulators and the tests' fake Google server).

#include <string_view>

#include "core/error.h"

namespace ambrel {

// "https://<host>…", or "http://" followed by exactly 127.0.0.1, localhost or [::1] (with an
// optional port) and then "/", "?", "#" or nothing. Scheme and host compare without case.
// Anything else — another scheme, user information, a lookalike host — is refused.
bool isSecureEndpoint(std::string_view uri);

// Whether `uri` starts with "http://" (any case).
bool isPlainHttp(std::string_view uri);

// The failure for an endpoint that isSecureEndpoint refused; its text names the address.
Error insecureEndpoint(std::string_view uri);

}  // namespace ambrel
