#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel {

// Bytes from OpenSSL's cryptographically secure generator.
std::vector<unsigned char> secureRandomBytes(std::size_t count);

std::array<unsigned char, 32> sha256(std::string_view bytes);

// RFC 4648 base64url without padding.
std::string base64UrlEncode(const unsigned char* bytes, std::size_t count);

}  // namespace ambrel
