#pragma once

// An HttpClient that answers from a script and records every request.

#include <deque>
#include <expected>
#include <functional>
#include <mutex>
#include <vector>

#include "core/platform/http_client.h"

namespace ambrel::testing {

class FakeHttpClient final : public HttpClient {
  public:
    using Reply = std::expected<HttpResponse, TransportError>;

    // Queues the answer to the next request.
    void reply(long status, std::string body);
    void failTransport(std::string message);
    // Answers every request the queue does not cover.
    void setFallback(std::function<Reply(const HttpRequest&)> fallback);

    std::expected<HttpResponse, TransportError> send(const HttpRequest& request) override;

    std::vector<HttpRequest> requests() const;

  private:
    mutable std::mutex mutex_;
    std::deque<Reply> replies_;
    std::function<Reply(const HttpRequest&)> fallback_;
    std::vector<HttpRequest> requests_;
};

}  // namespace ambrel::testing
