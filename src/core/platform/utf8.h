#pragma once

// Reading bytes that ought to be UTF-8 but come from outside (a browser's request, a stored
// secret): either checked strictly, or repaired so that a text can always be formed.

#include <string>
#include <string_view>

namespace ambrel::utf8 {

bool isValid(std::string_view bytes);

// The bytes as UTF-8 text, each maximal ill-formed subsequence replaced by one U+FFFD (the
// Unicode recommended practice, which is also what browsers do).
std::string repair(std::string_view bytes);

}  // namespace ambrel::utf8
