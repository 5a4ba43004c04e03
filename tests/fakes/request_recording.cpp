#include "fakes/request_recording.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "fakes/url_form.h"

namespace ambrel::fakes {

namespace {

std::string lowerCase(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// httplib adds the connection's addresses to the request headers; no client sent them.
bool addedByHttplib(std::string_view lowerName) {
    constexpr std::array added{"remote_addr", "remote_port", "local_addr", "local_port"};
    return std::ranges::find(added, lowerName) != added.end();
}

bool isFormBody(const httplib::Request& request) {
    return lowerCase(request.get_header_value("Content-Type"))
        .starts_with("application/x-www-form-urlencoded");
}

}  // namespace

RecordedRequest recordRequest(const httplib::Request& request) {
    RecordedRequest recorded;
    recorded.method = request.method;
    recorded.path = request.path;
    recorded.query = parsePairs(rawQuery(request.target));
    for (const auto& [name, value] : request.headers) {
        auto lowerName = lowerCase(name);
        if (!addedByHttplib(lowerName)) recorded.headers.emplace_back(std::move(lowerName), value);
    }
    if (isFormBody(request)) recorded.form = parsePairs(request.body);
    recorded.body = request.body;
    return recorded;
}

std::string headerValue(const RecordedRequest& request, std::string_view lowerCaseName) {
    for (const auto& [name, value] : request.headers) {
        if (name == lowerCaseName) return value;
    }
    return {};
}

}  // namespace ambrel::fakes
