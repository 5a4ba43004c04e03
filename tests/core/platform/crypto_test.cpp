#include "core/platform/crypto.h"

#include <gtest/gtest.h>

#include <set>

namespace ambrel {
namespace {

std::string hex(const std::array<unsigned char, 32>& bytes) {
    std::string out;
    for (unsigned char b : bytes) {
        out += "0123456789abcdef"[b >> 4];
        out += "0123456789abcdef"[b & 15];
    }
    return out;
}

std::string encode(std::string_view text) {
    return base64UrlEncode(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

// RFC 4648 section 10 vectors with the padding removed, and the two characters where the
// URL alphabet differs from the standard one.
TEST(Crypto, Base64UrlMatchesRfc4648WithoutPadding) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},
        {"f", "Zg"},
        {"fo", "Zm8"},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg"},
        {"fooba", "Zm9vYmE"},
        {"foobar", "Zm9vYmFy"},
        {"\xfb\xff", "-_8"},
        {std::string_view("\0\0\0", 3), "AAAA"},
    };
    for (const auto& [input, expected] : cases) EXPECT_EQ(encode(input), expected) << expected;
}

TEST(Crypto, Sha256KnownDigests) {
    EXPECT_EQ(hex(sha256("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hex(sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

// RFC 7636 appendix B: the S256 challenge of the example verifier, both functions together.
TEST(Crypto, PkceChallengeOfTheRfcExample) {
    const auto digest = sha256("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk");
    EXPECT_EQ(base64UrlEncode(digest.data(), digest.size()),
              "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
}

TEST(Crypto, SecureRandomBytesHaveTheLengthAndDiffer) {
    EXPECT_TRUE(secureRandomBytes(0).empty());
    std::set<std::vector<unsigned char>> seen;
    for (int i = 0; i < 8; ++i) {
        auto bytes = secureRandomBytes(32);
        ASSERT_EQ(bytes.size(), 32u);
        seen.insert(bytes);
    }
    EXPECT_EQ(seen.size(), 8u);
}

}  // namespace
}  // namespace ambrel
