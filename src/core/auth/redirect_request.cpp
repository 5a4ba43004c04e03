#include "core/auth/redirect_request.h"

#include <cstddef>
#include <vector>

#include "core/platform/utf8.h"

namespace ambrel {
namespace {

// Splits at every occurrence of `separator`, leaving out empty pieces. Browsers do not send
// empty pieces on purpose, so dropping them keeps stray separators ("//", "&&", a leading
// CR LF) from shifting which piece is which.
std::vector<std::string_view> splitNonEmpty(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t found = text.find(separator, start);
        std::size_t end = found == std::string_view::npos ? text.size() : found;
        if (end > start) pieces.push_back(text.substr(start, end - start));
        if (found == std::string_view::npos) break;
        start = found + separator.size();
    }
    return pieces;
}

struct NameValue {
    std::string_view name;
    std::string_view value;
};

// One "name=value" piece. Leading '=' characters are passed over (they would give an empty
// name), the first '=' after the name separates it from the value, and the value keeps any
// further '='. A piece without a name or without a value is not a parameter.
std::optional<NameValue> splitNameValue(std::string_view piece) {
    std::size_t nameStart = piece.find_first_not_of('=');
    if (nameStart == std::string_view::npos) return std::nullopt;
    std::size_t equals = piece.find('=', nameStart);
    if (equals == std::string_view::npos || equals + 1 == piece.size()) return std::nullopt;
    return NameValue{piece.substr(nameStart, equals - nameStart), piece.substr(equals + 1)};
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// %XX sequences to bytes; nothing when a '%' is not followed by two hex digits or the bytes
// are not UTF-8. '+' stays '+': the redirect is a URL query, not a form body.
std::optional<std::string> percentDecode(std::string_view value) {
    std::string bytes;
    bytes.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            bytes.push_back(value[i]);
            continue;
        }
        if (i + 2 >= value.size()) return std::nullopt;
        int high = hexValue(value[i + 1]);
        int low = hexValue(value[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    if (!utf8::isValid(bytes)) return std::nullopt;
    return bytes;
}

std::optional<std::string_view> targetOf(std::string_view request) {
    std::vector<std::string_view> lines = splitNonEmpty(request, "\r\n");
    std::string_view requestLine = lines.empty() ? std::string_view{} : lines.front();
    std::vector<std::string_view> words = splitNonEmpty(requestLine, " ");
    if (words.size() < 2) return std::nullopt;
    return words[1];
}

std::optional<std::string_view> queryOf(std::string_view target) {
    std::vector<std::string_view> targetParts = splitNonEmpty(target, "?");
    if (targetParts.size() < 2) return std::nullopt;
    return targetParts[1];
}

}  // namespace

RedirectParameters parseRedirectRequest(std::string_view request) {
    RedirectParameters found;
    std::optional<std::string_view> target = targetOf(request);
    if (!target) return found;
    found.path = std::string(target->substr(0, target->find('?')));
    std::optional<std::string_view> query = queryOf(*target);
    if (!query) return found;
    for (std::string_view piece : splitNonEmpty(*query, "&")) {
        std::optional<NameValue> pair = splitNameValue(piece);
        if (!pair) continue;
        std::optional<std::string>* into = pair->name == "code"    ? &found.code
                                           : pair->name == "error" ? &found.error
                                           : pair->name == "state" ? &found.state
                                                                   : nullptr;
        if (into == nullptr) continue;
        // A value that does not decode is taken as sent rather than dropped.
        std::optional<std::string> decoded = percentDecode(pair->value);
        *into = decoded ? std::move(*decoded) : std::string(pair->value);
    }
    return found;
}

}  // namespace ambrel
