#pragma once

#include <cstddef>

#include "core/platform/http_client.h"

namespace ambrel {

// The largest answer body accepted. Google's answers here are a few kilobytes; a server that
// streams without end must meet a limit before the memory does.
inline constexpr std::size_t kMaxResponseBodyBytes = 16 * 1024 * 1024;

// HttpClient over libcurl: one easy handle per request, TLS verification always on, no
// headers besides the request's own (libcurl's default Accept and User-Agent are removed).
// The request's time-out bounds the whole exchange; a body beyond kMaxResponseBodyBytes ends it
// with a transport error.
class CurlHttpClient final : public HttpClient {
  public:
    CurlHttpClient();
    std::expected<HttpResponse, TransportError> send(const HttpRequest& request) override;
};

}  // namespace ambrel
