#pragma once

// The URL and form encodings the fake reads and writes: query strings and
// application/x-www-form-urlencoded bodies share one syntax.

#include <optional>
#include <string>
#include <string_view>

#include "fakes/fake_google.h"

namespace ambrel::fakes {

// Decodes %XX escapes and, as both encodings allow, '+' as a space. A broken escape
// is kept as it is, so a sloppy client shows up in the recording rather than vanishing.
std::string formDecode(std::string_view text);

// Splits "a=1&b=2" into decoded pairs in their order; repeated names stay repeated.
Pairs parsePairs(std::string_view text);

// The query of a request target ("/path?query"), or "" when there is none.
std::string_view rawQuery(std::string_view target);

// Percent-encodes a query value, keeping what a query may hold as it is (":" and "/").
std::string queryEncode(std::string_view text);

// The first value of `name`, if any.
std::optional<std::string> findValue(const Pairs& pairs, std::string_view name);

}  // namespace ambrel::fakes
