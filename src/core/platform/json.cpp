#include "core/platform/json.h"

#include <cmath>

namespace ambrel::json {
namespace {

DecodingError fail(std::string_view where, std::string_view key, std::string_view problem) {
    return DecodingError{std::string(where) + ": member \"" + std::string(key) + "\" " +
                         std::string(problem)};
}

const Json* member(const Json& object, std::string_view key) {
    auto it = object.find(key);
    return it == object.end() || it->is_null() ? nullptr : &*it;
}

// nlohmann's parser keeps its own stack, but writing, copying or comparing a document recurses
// once per level, so a document from outside nested deeper than any answer we read could
// exhaust the stack. Such documents are refused before parsing; strings are skipped whole, so
// brackets inside them do not count.
constexpr int kMaxNesting = 64;

bool nestedDeeperThan(std::string_view bytes, int limit) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : bytes) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

bool hasNonFinite(const Json& value) {
    if (value.is_number_float()) return !std::isfinite(value.get<double>());
    if (value.is_structured()) {
        for (const auto& child : value)
            if (hasNonFinite(child)) return true;
    }
    return false;
}

}  // namespace

Decoded<Json> parseObject(std::string_view bytes, std::string_view what) {
    if (nestedDeeperThan(bytes, kMaxNesting))
        return std::unexpected(DecodingError{std::string(what) + ": nested more than " +
                                             std::to_string(kMaxNesting) + " levels deep"});
    Json value = Json::parse(bytes, nullptr, /*allow_exceptions=*/false);
    if (value.is_discarded())
        return std::unexpected(DecodingError{std::string(what) + ": not valid JSON"});
    if (!value.is_object())
        return std::unexpected(DecodingError{std::string(what) + ": not a JSON object"});
    return value;
}

Decoded<std::string> requiredString(const Json& object, std::string_view key,
                                    std::string_view where) {
    const Json* value = member(object, key);
    if (value == nullptr) return std::unexpected(fail(where, key, "is missing"));
    if (!value->is_string()) return std::unexpected(fail(where, key, "is not a string"));
    return value->get<std::string>();
}

Decoded<std::optional<std::string>> optionalString(const Json& object, std::string_view key,
                                                   std::string_view where) {
    const Json* value = member(object, key);
    if (value == nullptr) return std::optional<std::string>{};
    if (!value->is_string()) return std::unexpected(fail(where, key, "is not a string"));
    return std::optional<std::string>{value->get<std::string>()};
}

Decoded<double> requiredNumber(const Json& object, std::string_view key, std::string_view where) {
    const Json* value = member(object, key);
    if (value == nullptr) return std::unexpected(fail(where, key, "is missing"));
    if (!value->is_number()) return std::unexpected(fail(where, key, "is not a number"));
    return value->get<double>();
}

Decoded<std::optional<std::int64_t>> optionalInteger(const Json& object, std::string_view key,
                                                     std::string_view where) {
    const Json* value = member(object, key);
    if (value == nullptr) return std::optional<std::int64_t>{};
    if (!value->is_number_integer()) return std::unexpected(fail(where, key, "is not an integer"));
    return std::optional<std::int64_t>{value->get<std::int64_t>()};
}

Decoded<const Json*> optionalArray(const Json& object, std::string_view key,
                                   std::string_view where) {
    const Json* value = member(object, key);
    if (value != nullptr && !value->is_array())
        return std::unexpected(fail(where, key, "is not an array"));
    return value;
}

Decoded<const Json*> optionalObject(const Json& object, std::string_view key,
                                    std::string_view where) {
    const Json* value = member(object, key);
    if (value != nullptr && !value->is_object())
        return std::unexpected(fail(where, key, "is not an object"));
    return value;
}

Decoded<const Json*> requiredArray(const Json& object, std::string_view key,
                                   std::string_view where) {
    auto value = optionalArray(object, key, where);
    if (value && *value == nullptr) return std::unexpected(fail(where, key, "is missing"));
    return value;
}

Decoded<const Json*> requiredObject(const Json& object, std::string_view key,
                                    std::string_view where) {
    auto value = optionalObject(object, key, where);
    if (value && *value == nullptr) return std::unexpected(fail(where, key, "is missing"));
    return value;
}

Decoded<std::string> dump(const Json& value, std::string_view what) {
    if (hasNonFinite(value))
        return std::unexpected(DecodingError{std::string(what) + ": a number is not finite"});
    // Invalid UTF-8 in a text becomes U+FFFD instead of failing the whole record.
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace ambrel::json
