#pragma once

#include "core/platform/http_client.h"

namespace ambrel {

// HttpClient over libcurl: one easy handle per request, TLS verification always on, no
// headers besides the request's own (libcurl's default Accept and User-Agent are removed).
class CurlHttpClient final : public HttpClient {
  public:
    CurlHttpClient();
    std::expected<HttpResponse, TransportError> send(const HttpRequest& request) override;
};

}  // namespace ambrel
