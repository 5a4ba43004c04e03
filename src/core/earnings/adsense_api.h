#pragma once

// The three read-only calls of the AdSense Management API v2 the refresh needs, over one
// authorized GET. Nothing is cached or retried here; the refresh decides what to ask for.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/earnings/wire_types.h"
#include "core/error.h"
#include "core/platform/http_client.h"

namespace ambrel {

// Query items in the order they are sent; a repeated name ("metrics") is one item each.
using QueryItems = std::vector<std::pair<std::string, std::string>>;

// "name=value&..." with each name and value percent-encoded as a URL query component.
std::string encodeQuery(const QueryItems& items);

class AdSenseAPI {
  public:
    // `base` is the API's base URL without a trailing slash.
    AdSenseAPI(HttpClient& http, std::string base);

    // The body of a successful (2xx) answer; any other status is AdSenseError::http.
    Result<std::string> get(const std::string& url, const std::string& accessToken) const;

    // The calls below as requests without their "Authorization" header, so that they can be
    // sent together or before the access token is known, and their answers read apart.
    HttpRequest accountsRequest() const;
    Result<HttpRequest> reportRequest(std::string_view account, const QueryItems& query) const;
    Result<HttpRequest> paymentsRequest(std::string_view account) const;
    // The one header that authorizes a request.
    static HttpHeaders authorization(const std::string& accessToken);

    static Result<std::string> body(HttpReply reply);
    // The account to show: `preferred` (the cached one) when it is listed and open, else the
    // first listed that is not CLOSED; AdSenseError::noAccount when none is open.
    static Result<Account> chosenAccountOf(HttpReply reply,
                                           std::optional<std::string_view> preferred = {});
    static Result<ReportResponse> reportOf(HttpReply reply);
    static Result<std::optional<std::vector<Payment>>> paymentsOf(HttpReply reply);

    // The first account listed that is not CLOSED; AdSenseError::noAccount when none is.
    Result<Account> chooseAccount(const std::string& accessToken) const;

    Result<ReportResponse> generateReport(std::string_view account, const QueryItems& query,
                                          const std::string& accessToken) const;

    // The "payments" member, absent when the answer has none.
    Result<std::optional<std::vector<Payment>>> payments(std::string_view account,
                                                         const std::string& accessToken) const;

  private:
    Result<std::string> accountUrl(std::string_view account, std::string_view suffix) const;

    HttpClient& http_;
    std::string base_;
};

}  // namespace ambrel
