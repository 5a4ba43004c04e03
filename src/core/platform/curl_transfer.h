#pragma once

// One request on one libcurl easy handle: the options every request gets, the headers it
// sends, the body it collects, and how its end reads as a reply.

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <expected>
#include <memory>
#include <string>

#include "core/platform/http_client.h"

namespace ambrel {

// The largest answer body accepted. Google's answers here are a few kilobytes; a server that
// streams without end must meet a limit before the memory does.
inline constexpr std::size_t kMaxResponseBodyBytes = 16 * 1024 * 1024;

class CurlCertificateStore;

// Whether the request's connection stays open for a later one: a GET that asks for it. Any other
// method never shares a connection, since libcurl would send it again if the server closed a
// shared one before answering.
bool keepsConnection(const HttpRequest& request);

struct CurlTransferSettings {
    CURLSH* share = nullptr;  // caches shared by every transfer of the client
    const CurlCertificateStore* certificates = nullptr;  // null: libcurl reads the system's
};

class CurlTransfer {
  public:
    static std::expected<std::unique_ptr<CurlTransfer>, TransportError> create(
        const HttpRequest& request, const CurlTransferSettings& settings);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    CURL* handle() const { return easy_; }

    // Lets the connection open now but sends the request only once `late` holds its last
    // headers (waiting for them on the thread that drives the transfer); none: not sent.
    void holdFor(LateHeaders late);
    // Adds headers before the transfer starts; false when libcurl could not allocate them.
    bool appendHeaders(const HttpHeaders& headers);

    // The reply, once libcurl reported the transfer's end with `code`.
    HttpReply finish(CURLcode code);

  private:
    explicit CurlTransfer(const HttpRequest& request);
    static int beforeRequest(void* self, char*, char*, int, int) noexcept;
    bool release() noexcept;

    struct State;
    std::unique_ptr<State> state_;
    CURL* easy_ = nullptr;
};

}  // namespace ambrel
