#include "core/earnings/adsense_api.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iterator>

#include "core/earnings/google_error.h"
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

namespace {

HttpRequest getRequest(std::string url) {
    HttpRequest request;
    request.method = "GET";
    request.url = std::move(url);
    request.timeout = std::chrono::seconds(60);
    return request;
}

HttpRequest authorized(HttpRequest request, const std::string& accessToken) {
    request.headers = AdSenseAPI::authorization(accessToken);
    return request;
}

}  // namespace

HttpHeaders AdSenseAPI::authorization(const std::string& accessToken) {
    return {{"Authorization", "Bearer " + accessToken}};
}

Result<std::string> AdSenseAPI::body(HttpReply reply) {
    if (!reply) return std::unexpected(Error{std::move(reply.error())});
    if (reply->status < 200 || reply->status > 299) {
        std::string text = utf8::isValid(reply->body) ? std::move(reply->body) : std::string();
        return std::unexpected(Error{
            adsenseHttpError(static_cast<int>(reply->status), std::move(text), reply->retryAfter)});
    }
    return std::move(reply->body);
}

Result<Account> AdSenseAPI::chosenAccountOf(HttpReply reply,
                                            std::optional<std::string_view> preferred) {
    auto text = body(std::move(reply));
    if (!text) return std::unexpected(std::move(text.error()));
    auto decoded = decodeAccountsResponse(*text);
    if (!decoded) return std::unexpected(std::move(decoded.error()));
    std::vector<Account> open;
    if (decoded->accounts)
        std::ranges::copy_if(*decoded->accounts, std::back_inserter(open),
                             [](const Account& account) { return account.state != "CLOSED"; });
    if (open.empty()) return std::unexpected(Error{AdSenseError::noAccount()});
    if (preferred) {
        auto kept = std::ranges::find(open, *preferred, &Account::name);
        if (kept != open.end()) return std::move(*kept);
    }
    return std::move(open.front());
}

Result<ReportResponse> AdSenseAPI::reportOf(HttpReply reply) {
    auto text = body(std::move(reply));
    if (!text) return std::unexpected(std::move(text.error()));
    return decodeReportResponse(*text);
}

Result<std::optional<std::vector<Payment>>> AdSenseAPI::paymentsOf(HttpReply reply) {
    auto text = body(std::move(reply));
    if (!text) return std::unexpected(std::move(text.error()));
    auto decoded = decodePaymentsResponse(*text);
    if (!decoded) return std::unexpected(std::move(decoded.error()));
    return std::move(decoded->payments);
}

HttpRequest AdSenseAPI::accountsRequest() const {
    return getRequest(base_ + "/accounts");
}

Result<HttpRequest> AdSenseAPI::reportRequest(std::string_view account,
                                              const QueryItems& query) const {
    auto url = accountUrl(account, "/reports:generate");
    if (!url) return std::unexpected(std::move(url.error()));
    if (!query.empty()) url->append("?").append(encodeQuery(query));
    return getRequest(std::move(*url));
}

Result<HttpRequest> AdSenseAPI::paymentsRequest(std::string_view account) const {
    auto url = accountUrl(account, "/payments");
    if (!url) return std::unexpected(std::move(url.error()));
    return getRequest(std::move(*url));
}

Result<std::string> AdSenseAPI::get(const std::string& url, const std::string& accessToken) const {
    return body(http_.send(authorized(getRequest(url), accessToken)));
}

Result<Account> AdSenseAPI::chooseAccount(const std::string& accessToken) const {
    return chosenAccountOf(http_.send(authorized(accountsRequest(), accessToken)));
}

Result<ReportResponse> AdSenseAPI::generateReport(std::string_view account, const QueryItems& query,
                                                  const std::string& accessToken) const {
    auto request = reportRequest(account, query);
    if (!request) return std::unexpected(std::move(request.error()));
    return reportOf(http_.send(authorized(std::move(*request), accessToken)));
}

Result<std::optional<std::vector<Payment>>> AdSenseAPI::payments(
    std::string_view account, const std::string& accessToken) const {
    auto request = paymentsRequest(account);
    if (!request) return std::unexpected(std::move(request.error()));
    return paymentsOf(http_.send(authorized(std::move(*request), accessToken)));
}

Result<std::string> AdSenseAPI::accountUrl(std::string_view account,
                                           std::string_view suffix) const {
    if (!isPathSafe(account))
        return std::unexpected(Error{TransportError{
            "Cannot form a request URL from the account name \"" + std::string(account) + "\""}});
    return base_ + "/" + std::string(account) + std::string(suffix);
}

}  // namespace ambrel
