#include "support/fake_http_client.h"

namespace ambrel::testing {

void FakeHttpClient::reply(long status, std::string body) {
    std::lock_guard lock(mutex_);
    replies_.push_back(HttpResponse{status, std::move(body)});
}

void FakeHttpClient::failTransport(std::string message) {
    std::lock_guard lock(mutex_);
    replies_.push_back(std::unexpected(TransportError{std::move(message)}));
}

void FakeHttpClient::setFallback(std::function<Reply(const HttpRequest&)> fallback) {
    std::lock_guard lock(mutex_);
    fallback_ = std::move(fallback);
}

std::expected<HttpResponse, TransportError> FakeHttpClient::send(const HttpRequest& request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    if (!replies_.empty()) {
        Reply next = std::move(replies_.front());
        replies_.pop_front();
        return next;
    }
    if (fallback_) return fallback_(request);
    return std::unexpected(TransportError{"no scripted reply for " + request.url});
}

std::vector<HttpRequest> FakeHttpClient::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

}  // namespace ambrel::testing
