#include "fakes/url_form.h"

#include <cctype>

namespace ambrel::fakes {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool keptInQuery(unsigned char c) {
    return std::isalnum(c) ||
           std::string_view("-._~:/@!$'()*,;").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string formDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

Pairs parsePairs(std::string_view text) {
    Pairs pairs;
    while (!text.empty()) {
        const auto amp = text.find('&');
        const auto item = text.substr(0, amp);
        text = amp == std::string_view::npos ? std::string_view{} : text.substr(amp + 1);
        if (item.empty()) continue;
        const auto eq = item.find('=');
        if (eq == std::string_view::npos) {
            pairs.emplace_back(formDecode(item), "");
        } else {
            pairs.emplace_back(formDecode(item.substr(0, eq)), formDecode(item.substr(eq + 1)));
        }
    }
    return pairs;
}

std::string_view rawQuery(std::string_view target) {
    const auto mark = target.find('?');
    if (mark == std::string_view::npos) return {};
    auto query = target.substr(mark + 1);
    return query.substr(0, query.find('#'));
}

std::string queryEncode(std::string_view text) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (keptInQuery(byte)) {
            out += c;
        } else {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0x0F];
        }
    }
    return out;
}

std::optional<std::string> findValue(const Pairs& pairs, std::string_view name) {
    for (const auto& [key, value] : pairs) {
        if (key == name) return value;
    }
    return std::nullopt;
}

}  // namespace ambrel::fakes
