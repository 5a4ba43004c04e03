#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "core/platform/curl_transfer.h"
#include "core/platform/http_client.h"

namespace ambrel {

class CurlCertificateStore;
class CurlConnectionSets;

// HttpClient over libcurl, one per process: it keeps its connections, TLS sessions and DNS
// answers between requests (CurlConnectionSets), runs the requests of one sendAll at once
// (over one HTTP/2 connection where the server offers it), and verifies TLS always. Only the
// request's own headers are sent (libcurl's default Accept and User-Agent are removed). Each
// request's time-out bounds its whole exchange; a body beyond kMaxResponseBodyBytes ends it
// with a transport error. libcurl and OpenSSL are set up, and the certificate authorities read
// (once for all connections), at the first request, not before.
class CurlHttpClient final : public HttpClient {
  public:
    // `caFile`: an authority trusted besides the system's, or empty. Only the tests' builds
    // name one, the fake server's own.
    explicit CurlHttpClient(std::string caFile = {});
    ~CurlHttpClient() override;

    HttpReply send(const HttpRequest& request) override;
    std::vector<HttpReply> sendAll(std::vector<HttpRequest> requests,
                                   const LateHeaders& late = {}) override;

  private:
    std::expected<CurlConnectionSets*, TransportError> connectionSets();

    std::string caFile_;
    std::mutex mutex_;
    std::unique_ptr<CurlCertificateStore> certificates_;
    std::unique_ptr<CurlConnectionSets> sets_;
};

}  // namespace ambrel
