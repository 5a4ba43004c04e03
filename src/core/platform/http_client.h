#pragma once

// The seam to the network: send one request, get the status and body back, or a transport
// error. An HTTP 4xx/5xx answer is a successful exchange here; callers judge the status.

#include <chrono>
#include <expected>
#include <string>
#include <utility>
#include <vector>

#include "core/error.h"

namespace ambrel {

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers;  // sent in this order, no others
    std::string body;
    std::chrono::seconds timeout{60};
};

struct HttpResponse {
    long status = 0;
    std::string body;
};

class HttpClient {
  public:
    virtual ~HttpClient() = default;
    virtual std::expected<HttpResponse, TransportError> send(const HttpRequest& request) = 0;
};

}  // namespace ambrel
