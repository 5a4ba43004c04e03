#pragma once

// The S256 code challenge of RFC 7636, computed on the server's side so the fake can tell
// a client that sends the wrong verifier from one that sends the right one.

#include <string>
#include <string_view>

namespace ambrel::fakes {

// Base64url without padding of SHA-256 of the verifier's bytes.
std::string s256Challenge(std::string_view verifier);

}  // namespace ambrel::fakes
