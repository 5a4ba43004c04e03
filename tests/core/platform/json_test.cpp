#include "core/platform/json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ambrel::json {
namespace {

// The decoded value, failing the test when decoding failed.
template <class T>
T ok(Decoded<T> decoded) {
    EXPECT_TRUE(decoded.has_value()) << (decoded ? "" : decoded.error().message);
    return decoded ? *std::move(decoded) : T{};
}

Json object(std::string_view text) {
    auto parsed = parseObject(text, "test");
    EXPECT_TRUE(parsed.has_value()) << text;
    return parsed ? *parsed : Json::object();
}

TEST(Json, ParseObjectRejectsInvalidJsonAndNonObjects) {
    for (std::string_view text : {"", "{", "[1,2]", "\"text\"", "42", "null", "{\"a\":1} x"}) {
        auto parsed = parseObject(text, "token answer");
        ASSERT_FALSE(parsed.has_value()) << text;
        EXPECT_NE(parsed.error().message.find("token answer"), std::string::npos);
    }
}

// Writing or copying a document recurses once per level: documents from outside may not nest
// deeper than 64 levels, whatever brackets their strings hold.
TEST(Json, ParseObjectRefusesDeepNesting) {
    auto nested = [](int levels, std::string_view inner = "0") {
        return "{\"a\":" + std::string(levels - 1, '[') + std::string(inner) +
               std::string(levels - 1, ']') + "}";
    };
    EXPECT_TRUE(parseObject(nested(64, "\"[[[[\\\"[[\""), "report").has_value());
    for (int levels : {65, 100000}) {
        auto parsed = parseObject(nested(levels), "report");
        ASSERT_FALSE(parsed.has_value()) << levels;
        EXPECT_EQ(parsed.error().message, "report: nested more than 64 levels deep");
    }
}

// A required member that is missing or null fails, and the message names the member and the
// document; unknown members are ignored.
TEST(Json, RequiredMembersMustBePresentAndNonNull) {
    const Json value = object(R"({"name":"x","n":2.5,"extra":[1],"nothing":null})");
    EXPECT_EQ(ok(requiredString(value, "name", "row")), "x");
    EXPECT_EQ(ok(requiredNumber(value, "n", "row")), 2.5);
    for (std::string_view key : {"absent", "nothing"}) {
        auto missing = requiredString(value, key, "report row");
        ASSERT_FALSE(missing.has_value());
        EXPECT_NE(missing.error().message.find(std::string(key)), std::string::npos);
        EXPECT_NE(missing.error().message.find("report row"), std::string::npos);
        EXPECT_FALSE(requiredNumber(value, key, "row").has_value());
        EXPECT_FALSE(requiredArray(value, key, "row").has_value());
        EXPECT_FALSE(requiredObject(value, key, "row").has_value());
    }
}

// Null and absence read the same for optional members; a present member of another type
// fails rather than reading as absent.
TEST(Json, OptionalMembersTreatNullAsAbsentButRejectWrongTypes) {
    const Json value =
        object(R"({"s":"t","i":7,"f":7.5,"a":[],"o":{},"null":null,"num":1,"text":"1"})");
    EXPECT_EQ(ok(optionalString(value, "s", "w")), "t");
    EXPECT_EQ(ok(optionalInteger(value, "i", "w")), 7);
    for (std::string_view key : {"null", "absent"}) {
        EXPECT_EQ(ok(optionalString(value, key, "w")), std::nullopt);
        EXPECT_EQ(ok(optionalInteger(value, key, "w")), std::nullopt);
        EXPECT_EQ(ok(optionalArray(value, key, "w")), nullptr);
        EXPECT_EQ(ok(optionalObject(value, key, "w")), nullptr);
    }
    EXPECT_FALSE(optionalString(value, "num", "w").has_value());
    EXPECT_FALSE(optionalInteger(value, "text", "w").has_value());
    EXPECT_FALSE(optionalInteger(value, "f", "w").has_value()) << "7.5 is not an integer";
    EXPECT_FALSE(optionalArray(value, "o", "w").has_value());
    EXPECT_FALSE(optionalObject(value, "a", "w").has_value());
    EXPECT_FALSE(requiredString(value, "num", "w").has_value());
    EXPECT_FALSE(requiredNumber(value, "text", "w").has_value());
}

// JSON has no NaN or infinity: such a record must fail to encode, not write "null".
TEST(Json, DumpRefusesNonFiniteNumbersAnywhere) {
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (double number : bad) {
        EXPECT_FALSE(dump(Json{{"daily", number}}, "objectives").has_value());
        EXPECT_FALSE(dump(Json{{"rows", Json::array({Json{{"v", number}}})}}, "x").has_value());
    }
    EXPECT_EQ(ok(dump(Json{{"daily", 10.0}, {"monthly", 300}}, "objectives")),
              R"({"daily":10.0,"monthly":300})");
}

}  // namespace
}  // namespace ambrel::json
