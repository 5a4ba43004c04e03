#include "core/auth/auth_flow.h"
#include "core/platform/crypto.h"

namespace ambrel {

PKCE AuthFlow::makePKCE() {
    // 32 random bytes give the 43-character verifier; the generator aborts rather than
    // return predictable bytes.
    std::vector<unsigned char> random = secureRandomBytes(32);
    return pkceForVerifier(base64UrlEncode(random.data(), random.size()));
}

std::string AuthFlow::makeState() {
    std::vector<unsigned char> random = secureRandomBytes(32);
    return base64UrlEncode(random.data(), random.size());
}

PKCE AuthFlow::pkceForVerifier(std::string verifier) {
    auto digest = sha256(verifier);
    std::string challenge = base64UrlEncode(digest.data(), digest.size());
    return PKCE{std::move(verifier), std::move(challenge)};
}

}  // namespace ambrel
