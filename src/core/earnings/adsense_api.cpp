#include "core/earnings/adsense_api.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "core/platform/percent_encoding.h"
#include "core/platform/utf8.h"

namespace ambrel {
namespace {

// What may stay literal inside a query name or value besides the unreserved characters: the
// query's own allowed punctuation, minus "&", "=" and "+", which would change how a server
// splits or decodes the items.
constexpr std::string_view kQueryAlsoKept = "!$'()*,;:@/?";

// Characters that may appear literally in a URL path: anything else in an account name
// ("?", "#", spaces, non-ASCII) would move the request to another resource or make the URL
// unusable, so such a name is refused instead of being sent.
bool isPathSafe(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char ch) {
        auto c = static_cast<unsigned char>(ch);
        return isUnreservedByte(c) ||
               std::string_view("!$&'()*+,;=:@/").find(ch) != std::string_view::npos;
    });
}

}  // namespace

std::string encodeQuery(const QueryItems& items) {
    std::string query;
    for (const auto& [name, value] : items) {
        if (!query.empty()) query.push_back('&');
        query += percentEncode(name, kQueryAlsoKept);
        query.push_back('=');
        query += percentEncode(value, kQueryAlsoKept);
    }
    return query;
}

AdSenseAPI::AdSenseAPI(HttpClient& http, std::string base) : http_(http), base_(std::move(base)) {}

Result<std::string> AdSenseAPI::get(const std::string& url, const std::string& accessToken) const {
    HttpRequest request;
    request.method = "GET";
    request.url = url;
    request.headers = {{"Authorization", "Bearer " + accessToken}};
    request.timeout = std::chrono::seconds(60);
    auto response = http_.send(request);
    if (!response) return std::unexpected(Error{std::move(response.error())});
    if (response->status < 200 || response->status > 299) {
        std::string body =
            utf8::isValid(response->body) ? std::move(response->body) : std::string();
        return std::unexpected(
            Error{AdSenseError::http(static_cast<int>(response->status), std::move(body))});
    }
    return std::move(response->body);
}

Result<std::string> AdSenseAPI::firstAccount(const std::string& accessToken) const {
    auto body = get(base_ + "/accounts", accessToken);
    if (!body) return std::unexpected(std::move(body.error()));
    auto decoded = decodeAccountsResponse(*body);
    if (!decoded) return std::unexpected(std::move(decoded.error()));
    if (!decoded->accounts || decoded->accounts->empty())
        return std::unexpected(Error{AdSenseError::noAccount()});
    return std::move(decoded->accounts->front().name);
}

Result<ReportResponse> AdSenseAPI::generateReport(std::string_view account, const QueryItems& query,
                                                  const std::string& accessToken) const {
    auto url = accountUrl(account, "/reports:generate");
    if (!url) return std::unexpected(std::move(url.error()));
    if (!query.empty()) url->append("?").append(encodeQuery(query));
    auto body = get(*url, accessToken);
    if (!body) return std::unexpected(std::move(body.error()));
    return decodeReportResponse(*body);
}

Result<std::optional<std::vector<Payment>>> AdSenseAPI::payments(
    std::string_view account, const std::string& accessToken) const {
    auto url = accountUrl(account, "/payments");
    if (!url) return std::unexpected(std::move(url.error()));
    auto body = get(*url, accessToken);
    if (!body) return std::unexpected(std::move(body.error()));
    auto decoded = decodePaymentsResponse(*body);
    if (!decoded) return std::unexpected(std::move(decoded.error()));
    return std::move(decoded->payments);
}

Result<std::string> AdSenseAPI::accountUrl(std::string_view account,
                                           std::string_view suffix) const {
    if (!isPathSafe(account))
        return std::unexpected(Error{TransportError{
            "Cannot form a request URL from the account name \"" + std::string(account) + "\""}});
    return base_ + "/" + std::string(account) + std::string(suffix);
}

}  // namespace ambrel
