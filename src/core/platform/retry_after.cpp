#include "core/platform/retry_after.h"

#include <curl/curl.h>

#include <algorithm>
#include <string>

namespace ambrel {
namespace {

constexpr std::chrono::seconds kLongestWait = std::chrono::days{365};

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::chrono::seconds> delaySeconds(std::string_view digits) {
    long long seconds = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        seconds = std::min<long long>(seconds * 10 + (c - '0'), kLongestWait.count());
    }
    return std::chrono::seconds(seconds);
}

}  // namespace

std::optional<std::chrono::seconds> parseRetryAfter(std::string_view value,
                                                    std::chrono::system_clock::time_point now) {
    const std::string_view text = trimmed(value);
    if (text.empty()) return std::nullopt;
    if (text.front() >= '0' && text.front() <= '9') return delaySeconds(text);
    // Every HTTP date begins with its day's name; libcurl reads each form of it, from a
    // terminated copy.
    const bool letter = (text.front() >= 'A' && text.front() <= 'Z') ||
                        (text.front() >= 'a' && text.front() <= 'z');
    if (!letter) return std::nullopt;
    const time_t date = curl_getdate(std::string(text).c_str(), nullptr);
    if (date == -1) return std::nullopt;
    if (date < 0) return std::chrono::seconds::zero();  // before 1970: long past
    // In seconds throughout: a date far in the future does not fit the clock's nanoseconds.
    const auto since = std::chrono::floor<std::chrono::seconds>(now.time_since_epoch());
    const std::chrono::seconds left{static_cast<long long>(date) - since.count()};
    return std::clamp(left, std::chrono::seconds::zero(), kLongestWait);
}

}  // namespace ambrel
