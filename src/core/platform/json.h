#pragma once

// Strict JSON reading over nlohmann/json: a required member that is missing, or any member of
// the wrong type, fails the whole decode; null reads as absent for optional members; unknown
// members are ignored. Errors name the member and what was being read.

#include <cstdint>
#include <expected>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"

namespace ambrel::json {

using Json = nlohmann::json;

template <class T>
using Decoded = std::expected<T, DecodingError>;

// Parses the bytes; anything but a JSON object fails, and so does a document nested more than
// 64 arrays or objects deep. `what` names the document.
Decoded<Json> parseObject(std::string_view bytes, std::string_view what);

// Member readers. `where` names the object in messages ("token answer", "report row").
Decoded<std::string> requiredString(const Json& object, std::string_view key,
                                    std::string_view where);
Decoded<std::optional<std::string>> optionalString(const Json& object, std::string_view key,
                                                   std::string_view where);
Decoded<double> requiredNumber(const Json& object, std::string_view key, std::string_view where);
Decoded<std::optional<std::int64_t>> optionalInteger(const Json& object, std::string_view key,
                                                     std::string_view where);
// The member itself when it is an array (or object), nullptr when it is absent or null.
Decoded<const Json*> optionalArray(const Json& object, std::string_view key,
                                   std::string_view where);
Decoded<const Json*> optionalObject(const Json& object, std::string_view key,
                                    std::string_view where);
Decoded<const Json*> requiredArray(const Json& object, std::string_view key,
                                   std::string_view where);
Decoded<const Json*> requiredObject(const Json& object, std::string_view key,
                                    std::string_view where);

// Serialises without indentation; fails when a number is not finite (JSON cannot hold it).
Decoded<std::string> dump(const Json& value, std::string_view what);

}  // namespace ambrel::json
