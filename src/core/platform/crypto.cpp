#include "core/platform/crypto.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <cstdlib>

namespace ambrel {

std::vector<unsigned char> secureRandomBytes(std::size_t count) {
    std::vector<unsigned char> bytes(count);
    // Fewer or predictable bytes would silently weaken PKCE; without a working generator the
    // only safe outcome is to stop.
    constexpr std::size_t kMaxChunk = 1 << 20;  // RAND_bytes takes an int count
    for (std::size_t done = 0; done < count; done += kMaxChunk) {
        std::size_t chunk = std::min(kMaxChunk, count - done);
        if (RAND_bytes(bytes.data() + done, static_cast<int>(chunk)) != 1) std::abort();
    }
    return bytes;
}

std::array<unsigned char, 32> sha256(std::string_view bytes) {
    std::array<unsigned char, 32> digest{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) !=
            1 ||
        length != digest.size())
        std::abort();  // only possible when libcrypto itself is broken
    return digest;
}

std::string base64UrlEncode(const unsigned char* bytes, std::size_t count) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    out.reserve((count * 4 + 2) / 3);
    std::size_t i = 0;
    for (; i + 3 <= count; i += 3) {
        unsigned group = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += kAlphabet[(group >> 6) & 63];
        out += kAlphabet[group & 63];
    }
    // One or two bytes left: two or three characters, and no '=' padding.
    if (std::size_t rest = count - i; rest > 0) {
        unsigned group = bytes[i] << 16;
        if (rest == 2) group |= bytes[i + 1] << 8;
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        if (rest == 2) out += kAlphabet[(group >> 6) & 63];
    }
    return out;
}

}  // namespace ambrel
