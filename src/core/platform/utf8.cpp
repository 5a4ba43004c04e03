#include "core/platform/utf8.h"

#include <cstddef>

namespace ambrel::utf8 {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

struct Range {
    unsigned char low;
    unsigned char high;
};

// The well-formed byte sequences of Unicode's table 3-7: the lead byte decides the length and
// narrows the second byte's range (this is what rules out overlongs, surrogates and values
// above U+10FFFF); every later byte is a plain continuation byte.
struct LeadRule {
    std::size_t length = 0;  // 0: not a lead byte
    Range second{0x80, 0xBF};
};

LeadRule ruleFor(unsigned char lead) {
    if (lead < 0x80) return {1, {}};
    if (lead >= 0xC2 && lead <= 0xDF) return {2, {0x80, 0xBF}};
    if (lead == 0xE0) return {3, {0xA0, 0xBF}};
    if (lead == 0xED) return {3, {0x80, 0x9F}};
    if (lead >= 0xE1 && lead <= 0xEF) return {3, {0x80, 0xBF}};
    if (lead == 0xF0) return {4, {0x90, 0xBF}};
    if (lead >= 0xF1 && lead <= 0xF3) return {4, {0x80, 0xBF}};
    if (lead == 0xF4) return {4, {0x80, 0x8F}};
    return {};
}

// How many bytes from `start` belong to one sequence (well-formed or the maximal ill-formed
// prefix of one), and whether it is well-formed.
struct Step {
    std::size_t length;
    bool valid;
};

Step nextSequence(std::string_view bytes, std::size_t start) {
    LeadRule rule = ruleFor(static_cast<unsigned char>(bytes[start]));
    if (rule.length == 0) return {1, false};
    std::size_t taken = 1;
    while (taken < rule.length && start + taken < bytes.size()) {
        auto byte = static_cast<unsigned char>(bytes[start + taken]);
        Range range = taken == 1 ? rule.second : Range{0x80, 0xBF};
        if (byte < range.low || byte > range.high) break;
        ++taken;
    }
    return {taken, taken == rule.length};
}

}  // namespace

bool isValid(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        Step step = nextSequence(bytes, i);
        if (!step.valid) return false;
        i += step.length;
    }
    return true;
}

std::string repair(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        Step step = nextSequence(bytes, i);
        if (step.valid)
            text.append(bytes.substr(i, step.length));
        else
            text.append(kReplacement);
        i += step.length;
    }
    return text;
}

}  // namespace ambrel::utf8
