// The request parser of the loopback listener: every shape of request line and query it must
// read, and the ones it must not.

#include "core/auth/redirect_request.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace ambrel {
namespace {

struct Case {
    const char* why;
    std::string request;
    std::optional<std::string> code;
    std::optional<std::string> error;
};

const Case kCases[] = {
    {"typical redirect with headers",
     "GET /?code=4/abc&scope=x HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", "4/abc", std::nullopt},
    {"percent escapes are decoded", "GET /?code=4%2Fabc HTTP/1.1\r\n", "4/abc", std::nullopt},
    {"malformed escape keeps the raw value", "GET /?code=a%ZZ HTTP/1.1", "a%ZZ", std::nullopt},
    {"truncated escape keeps the raw value", "GET /?code=a%2 HTTP/1.1", "a%2", std::nullopt},
    {"escapes decode as UTF-8", "GET /?code=%C3%A9t%C3%A9 HTTP/1.1", "\xC3\xA9t\xC3\xA9",
     std::nullopt},
    {"escapes that are not UTF-8 keep the raw value", "GET /?code=a%FFb HTTP/1.1", "a%FFb",
     std::nullopt},
    {"lower-case hex digits decode", "GET /?code=4%2fabc HTTP/1.1", "4/abc", std::nullopt},
    {"plus stays plus", "GET /?code=a+b HTTP/1.1", "a+b", std::nullopt},
    {"error alone", "GET /?error=access_denied HTTP/1.1", std::nullopt, "access_denied"},
    {"empty code is ignored", "GET /?code=&error=x HTTP/1.1", std::nullopt, "x"},
    {"code and error both read", "GET /?code=a&error=e HTTP/1.1", "a", "e"},
    {"last occurrence wins", "GET /?code=a&code=b HTTP/1.1", "b", std::nullopt},
    {"leading '=' characters are passed over", "GET /?==code=v HTTP/1.1", "v", std::nullopt},
    {"value keeps further '='", "GET /?code=a=b HTTP/1.1", "a=b", std::nullopt},
    {"value may start with '='", "GET /?code==x HTTP/1.1", "=x", std::nullopt},
    {"piece without '=' is ignored", "GET /?code&error=e HTTP/1.1", std::nullopt, "e"},
    {"piece of only '=' is ignored", "GET /?=&code=a HTTP/1.1", "a", std::nullopt},
    {"names are case-sensitive", "GET /?Code=a&ERROR=b HTTP/1.1", std::nullopt, std::nullopt},
    {"names are not decoded", "GET /?co%64e=a HTTP/1.1", std::nullopt, std::nullopt},
    {"empty query pieces are skipped", "GET /?&&code=a&& HTTP/1.1", "a", std::nullopt},
    {"leading CR LF is passed over", "\r\n\r\nGET /?code=a HTTP/1.1\r\n", "a", std::nullopt},
    {"only the request line is read", "GET /x HTTP/1.1\r\nGET /?code=b HTTP/1.1\r\n", std::nullopt,
     std::nullopt},
    {"request line without CR LF", "GET /?code=a", "a", std::nullopt},
    {"repeated spaces are one separator", "GET   /?code=a   HTTP/1.1", "a", std::nullopt},
    {"a bare LF is not a line end", "GET /?code=a\nb HTTP/1.1", "a\nb", std::nullopt},
    {"empty request", "", std::nullopt, std::nullopt},
    {"only CR LF", "\r\n\r\n", std::nullopt, std::nullopt},
    {"method only", "GET", std::nullopt, std::nullopt},
    {"target without query", "GET /callback HTTP/1.1", std::nullopt, std::nullopt},
    {"target ending in '?'", "GET /? HTTP/1.1", std::nullopt, std::nullopt},
    {"target starting with '?' has no path", "GET ?code=a HTTP/1.1", std::nullopt, std::nullopt},
    {"doubled '?' is skipped", "GET /??code=a HTTP/1.1", "a", std::nullopt},
    {"query ends at a second '?'", "GET /?x=1?code=a HTTP/1.1", std::nullopt, std::nullopt},
    {"replacement characters pass through", "GET /?code=a\xEF\xBF\xBD HTTP/1.1", "a\xEF\xBF\xBD",
     std::nullopt},
};

TEST(RedirectRequest, ParsesEveryCase) {
    for (const Case& c : kCases) {
        RedirectParameters found = parseRedirectRequest(c.request);
        EXPECT_EQ(found.code, c.code) << c.why;
        EXPECT_EQ(found.error, c.error) << c.why;
    }
}

// The state is read as the code is: decoded, the last one winning, empty meaning none.
TEST(RedirectRequest, ReadsTheState) {
    EXPECT_EQ(parseRedirectRequest("GET /?state=a%2Db&code=c&state=x-y HTTP/1.1").state, "x-y");
    EXPECT_EQ(parseRedirectRequest("GET /?state=&code=c HTTP/1.1").state, std::nullopt);
    EXPECT_EQ(parseRedirectRequest("GET /?code=c HTTP/1.1").state, std::nullopt);
}

}  // namespace
}  // namespace ambrel
