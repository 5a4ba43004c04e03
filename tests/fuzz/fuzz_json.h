#pragma once

// A fuzzer rarely turns one member of a valid JSON document into a value of another type: the
// edit must replace a whole value and keep the document valid. So the stored-record targets
// also read their input as one JSON value and put it in place of one member of a document
// their own writer wrote; the members are the writer's, so new ones are covered unasked.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/json.h"

namespace ambrel::fuzz {

// The input as one JSON value, through the readers' own parser (and its nesting limit).
std::optional<json::Json> asValue(std::string_view bytes);

// `written` (a JSON object) with its member number `pick`, counted modulo the member count,
// replaced by `value`; as text. A number replaces each member in turn instead: only a few
// members (the dates) have a range, and a number rarely has the length that would pick one.
std::vector<std::string> withMemberReplaced(const std::string& written, std::size_t pick,
                                            const json::Json& value);

}  // namespace ambrel::fuzz
