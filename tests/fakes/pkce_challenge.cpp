#include "fakes/pkce_challenge.h"

#include <openssl/sha.h>

#include <array>

namespace ambrel::fakes {

namespace {

std::string base64UrlNoPadding(const unsigned char* bytes, std::size_t size) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    std::uint32_t buffer = 0;
    int bits = 0;
    for (std::size_t i = 0; i < size; ++i) {
        buffer = (buffer << 8) | bytes[i];
        bits += 8;
        while (bits >= 6) {
            bits -= 6;
            out += alphabet[(buffer >> bits) & 0x3F];
        }
    }
    if (bits > 0) out += alphabet[(buffer << (6 - bits)) & 0x3F];
    return out;
}

}  // namespace

std::string s256Challenge(std::string_view verifier) {
    std::array<unsigned char, SHA256_DIGEST_LENGTH> digest{};
    SHA256(reinterpret_cast<const unsigned char*>(verifier.data()), verifier.size(), digest.data());
    return base64UrlNoPadding(digest.data(), digest.size());
}

}  // namespace ambrel::fakes
