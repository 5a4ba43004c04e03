#pragma once

// What keeps connections alive between requests. Each set is a libcurl multi handle with its
// own connection cache, driven by one thread at a time: libcurl does not support one cache in
// use by several threads at once. A request takes the idle set that last talked to its server,
// so it finds that server's connection open; concurrent requests each take their own set. The
// sets share one TLS session cache and one DNS cache, which libcurl does allow across threads.

#include <curl/curl.h>

#include <array>
#include <chrono>
#include <expected>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/error.h"

namespace ambrel {

class CurlConnectionSets {
  public:
    class Lease;

    static std::expected<std::unique_ptr<CurlConnectionSets>, TransportError> create();
    ~CurlConnectionSets();
    CurlConnectionSets(const CurlConnectionSets&) = delete;
    CurlConnectionSets& operator=(const CurlConnectionSets&) = delete;

    CURLSH* share() const { return share_; }

    // An idle set for requests to `origin` ("https://host:port"), made when none is idle.
    std::expected<Lease, TransportError> lease(const std::string& origin);

  private:
    struct Set {
        CURLM* multi = nullptr;
        std::string origin;  // of its last requests that kept their connection
        std::chrono::steady_clock::time_point lastUsed;
        bool busy = false;
    };

    CurlConnectionSets() = default;
    void giveBack(Set& set, bool keptConnection);
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) noexcept;
    static void unlock(CURL*, curl_lock_data data, void* self) noexcept;

    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> shareLocks_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Set>> sets_;
};

// One set, held by one thread until the lease ends.
class CurlConnectionSets::Lease {
  public:
    Lease(CurlConnectionSets& owner, Set& set) : owner_(&owner), set_(&set) {}
    Lease(Lease&& other) noexcept
        : owner_(other.owner_), set_(other.set_), keptConnection_(other.keptConnection_) {
        other.set_ = nullptr;
    }
    Lease& operator=(Lease&&) = delete;
    ~Lease() {
        if (set_ != nullptr) owner_->giveBack(*set_, keptConnection_);
    }
    CURLM* multi() const { return set_->multi; }
    // Whether the requests left a connection open that a later request could use.
    void setKeptConnection(bool kept) { keptConnection_ = kept; }

  private:
    CurlConnectionSets* owner_;
    Set* set_;
    bool keptConnection_ = true;
};

// "scheme://host:port" of a URL, the port written out; the URL itself when it does not parse.
std::string originOf(const std::string& url);

}  // namespace ambrel
