#pragma once

// What the loopback listener writes back to the browser, headers included: the page after a
// redirect with a code, the page after one without, and "not found" for any other request.

#include <string>

namespace ambrel::loopback {

// "Signed in. You can close this tab.", byte for byte the same on every sign-in.
std::string signedInAnswer();

// The redirect carried an error (the user denied access, say) or no code at all: the page says
// that sign-in did not complete and that the application shows why, in the user's language.
std::string notSignedInAnswer();

// For the browser's own requests (its icon, say), which are not the redirect.
std::string notFoundAnswer();

}  // namespace ambrel::loopback
