// Strict checking and repair of UTF-8 from outside: each maximal ill-formed subsequence
// becomes exactly one U+FFFD, as browsers do.

#include "core/platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace ambrel {
namespace {

const std::string kFFFD = "\xEF\xBF\xBD";

struct Case {
    const char* why;
    std::string bytes;
    std::string repaired;
};

const Case kCases[] = {
    {"ASCII", "token-1/x", "token-1/x"},
    {"two, three and four byte sequences", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
     "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
    {"stray continuation byte", "a\x80z", "a" + kFFFD + "z"},
    {"byte never used in UTF-8", "\xFF", kFFFD},
    {"truncated sequence at the end is one replacement", "a\xE2\x82", "a" + kFFFD},
    {"truncated sequence before ASCII",
     "\xE2\x82"
     "A",
     kFFFD + "A"},
    {"overlong two-byte form", "\xC0\xAF", kFFFD + kFFFD},
    {"overlong three-byte form", "\xE0\x80\xAF", kFFFD + kFFFD + kFFFD},
    {"surrogate", "\xED\xA0\x80", kFFFD + kFFFD + kFFFD},
    {"above U+10FFFF", "\xF4\x90\x80\x80", kFFFD + kFFFD + kFFFD + kFFFD},
    {"valid after invalid",
     "\xF0\x9F\x98"
     "\xC3\xA9",
     kFFFD + "\xC3\xA9"},
    {"NUL is a character", std::string("a\0b", 3), std::string("a\0b", 3)},
};

TEST(Utf8, RepairsAndChecksEveryCase) {
    for (const Case& c : kCases) {
        EXPECT_EQ(utf8::repair(c.bytes), c.repaired) << c.why;
        EXPECT_EQ(utf8::isValid(c.bytes), c.bytes == c.repaired) << c.why;
        EXPECT_TRUE(utf8::isValid(utf8::repair(c.bytes))) << c.why;
    }
}

}  // namespace
}  // namespace ambrel
