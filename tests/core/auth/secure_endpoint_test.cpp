// Which endpoint addresses may receive the client secret, a code or a refresh token.

#include "core/auth/secure_endpoint.h"

#include <gtest/gtest.h>

namespace ambrel {
namespace {

TEST(SecureEndpoint, HttpsAnywhereAndPlainHttpOnlyToLoopback) {
    for (const char* uri :
         {"https://oauth2.googleapis.com/token", "HTTPS://Accounts.Example:8443/auth?x=1",
          "http://127.0.0.1:8080/token", "http://127.0.0.1/token", "http://localhost:9/t",
          "http://LOCALHOST", "http://[::1]:4000/token?x#y"}) {
        EXPECT_TRUE(isSecureEndpoint(uri)) << uri;
    }
    for (const char* uri :
         {"http://oauth2.googleapis.com/token", "http://127.0.0.1.evil.test/token",
          "http://127.0.0.1@evil.test/", "http://evil.test@127.0.0.1/",
          "http://localhost.evil.test/", "http://127.0.0.1:80x/", "http://127.0.0.1:/",
          "http://[::1]evil/", "http://127.0.0.2/", "ftp://127.0.0.1/", "file:///etc/passwd",
          "https://", "https:///path", "oauth2.googleapis.com/token", ""}) {
        EXPECT_FALSE(isSecureEndpoint(uri)) << uri;
    }
}

}  // namespace
}  // namespace ambrel
