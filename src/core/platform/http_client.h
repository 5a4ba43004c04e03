#pragma once

// The seam to the network: send one request, get the status and body back, or a transport
// error. An HTTP 4xx/5xx answer is a successful exchange here; callers judge the status.

#include <chrono>
#include <cstddef>
#include <expected>
#include <future>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/error.h"

namespace ambrel {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    HttpHeaders headers;  // sent in this order, no others
    std::string body;
    std::chrono::seconds timeout{60};
    // False for a request whose server is not asked again soon: its connection is closed
    // after it rather than kept open, holding memory, for a reuse that would not come. Only a
    // GET is ever sent on a kept connection, or keeps one (curl_transfer.h).
    bool keepConnection = true;
};

struct HttpResponse {
    long status = 0;
    std::string body;
    // How long the server asked to be left alone (Retry-After), counted from when the answer
    // came; a date given is turned into the time left until it.
    std::optional<std::chrono::seconds> retryAfter{};
};

using HttpReply = std::expected<HttpResponse, TransportError>;

// Headers that become known only while the requests are on their way (an access token still
// being fetched); nothing is sent when they come as none. An invalid future: none are awaited.
using LateHeaders = std::shared_future<std::optional<HttpHeaders>>;

// The reply of a request that was never sent because its late headers did not come.
TransportError notSent();

class HttpClient {
  public:
    virtual ~HttpClient() = default;
    virtual HttpReply send(const HttpRequest& request) = 0;

    // Sends the requests together where the client can (the default sends them one after
    // another) and answers in their order. With `late`, the client may open the connection
    // for the first request at once; each request goes once `late` holds the headers that are
    // appended to every one of them.
    virtual std::vector<HttpReply> sendAll(std::vector<HttpRequest> requests,
                                           const LateHeaders& late = {});
};

}  // namespace ambrel
