#include "widget/ended_sign_in.h"

#include "core/platform/crypto.h"

namespace ambrel {

std::string refreshTokenDigest(std::string_view refreshToken) {
    // A digest of its own kind: it cannot be mistaken for (or matched against) a digest of the
    // same token made for another purpose.
    const auto digest = sha256("ambrel refused refresh token\n" + std::string(refreshToken));
    return base64UrlEncode(digest.data(), digest.size());
}

bool isRefusedToken(const Defaults& defaults, std::string_view tokenDigest) {
    const auto stored = defaults.data(kRefusedTokenKey);
    return stored && *stored == tokenDigest;
}

void rememberRefusedToken(Defaults& defaults, std::string_view tokenDigest) {
    defaults.set(kRefusedTokenKey, tokenDigest);
}

void forgetRefusedToken(Defaults& defaults) {
    if (defaults.data(kRefusedTokenKey)) defaults.remove(kRefusedTokenKey);
}

}  // namespace ambrel
