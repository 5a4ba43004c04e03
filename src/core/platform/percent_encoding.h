#pragma once

#include <string>
#include <string_view>

namespace ambrel {

// A-Z a-z 0-9 - . _ ~: the bytes that never need an escape anywhere in a URL.
bool isUnreservedByte(unsigned char c);

// Only RFC 3986 characters (unreserved, reserved, and well-formed percent escapes): anything
// else means the text is not a URL that could be handed to a browser as it is.
bool hasOnlyUriCharacters(std::string_view text);

// Writes every byte outside the unreserved set (A-Z a-z 0-9 - . _ ~) and outside `alsoKeep`
// as "%" and two upper-case hexadecimal digits; a multi-byte UTF-8 character becomes the
// escapes of all its bytes. A space is "%20", never "+".
std::string percentEncode(std::string_view text, std::string_view alsoKeep = {});

}  // namespace ambrel
