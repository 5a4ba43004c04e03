#include "core/platform/curl_http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "core/platform/curl_certificate_store.h"
#include "core/platform/curl_connection_sets.h"

namespace ambrel {
namespace {

using namespace std::chrono_literals;

// How often a batch looks whether the late headers came while it has nothing else to wait
// for; it also lets a refused token end a connection still being opened.
constexpr int kLateCheckMilliseconds = 50;
constexpr int kIdlePollMilliseconds = 1000;

// The requests of one sendAll on one leased multi handle.
class Batch {
  public:
    Batch(CURLM* multi, std::size_t size) : multi_(multi), slots_(size) {}
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    ~Batch() {
        for (Slot& slot : slots_)
            if (slot.inMulti) curl_multi_remove_handle(multi_, slot.transfer->handle());
    }

    void set(std::size_t index, std::expected<std::unique_ptr<CurlTransfer>, TransportError> made) {
        if (made)
            slots_[index].transfer = std::move(*made);
        else
            slots_[index].reply = std::unexpected(made.error());
    }

    // Starts the requests; with late headers only the first is started (it opens its
    // connection and waits for them), the others once they are there.
    void start(const LateHeaders& late) {
        late_ = late;
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (!slots_[i].transfer) continue;
            if (!late_.valid() || !holding_) {
                if (late_.valid()) {
                    slots_[i].transfer->holdFor(late_);
                    holding_ = true;
                }
                add(i);
            } else {
                waiting_.push_back(i);
            }
        }
    }

    void run() {
        for (;;) {
            if (!waiting_.empty() && late_.wait_for(0s) == std::future_status::ready)
                releaseWaiting();
            if (running_ == 0 && waiting_.empty()) return;
            if (running_ == 0) {
                late_.wait();  // nothing to drive until the headers come
                continue;
            }
            int stillRunning = 0;
            if (CURLMcode code = curl_multi_perform(multi_, &stillRunning); code != CURLM_OK) {
                failAll(curl_multi_strerror(code));
                return;
            }
            collectFinished();
            if (running_ > 0) {
                const int wait = waiting_.empty() ? kIdlePollMilliseconds : kLateCheckMilliseconds;
                curl_multi_poll(multi_, nullptr, 0, wait, nullptr);
            }
        }
    }

    std::vector<HttpReply> replies() {
        std::vector<HttpReply> out;
        out.reserve(slots_.size());
        for (Slot& slot : slots_)
            out.push_back(slot.reply ? std::move(*slot.reply) : std::unexpected(notSent()));
        return out;
    }

  private:
    struct Slot {
        std::unique_ptr<CurlTransfer> transfer;
        std::optional<HttpReply> reply;
        bool inMulti = false;
    };

    void add(std::size_t index) {
        Slot& slot = slots_[index];
        if (CURLMcode code = curl_multi_add_handle(multi_, slot.transfer->handle());
            code != CURLM_OK) {
            slot.reply = std::unexpected(TransportError{curl_multi_strerror(code)});
            return;
        }
        slot.inMulti = true;
        ++running_;
    }

    void remove(Slot& slot, HttpReply reply) {
        curl_multi_remove_handle(multi_, slot.transfer->handle());
        slot.inMulti = false;
        slot.reply = std::move(reply);
        --running_;
    }

    void releaseWaiting() {
        const std::optional<HttpHeaders>& late = late_.get();
        for (std::size_t index : waiting_) {
            Slot& slot = slots_[index];
            if (!late)
                slot.reply = std::unexpected(notSent());
            else if (!slot.transfer->appendHeaders(*late))
                slot.reply =
                    std::unexpected(TransportError{"out of memory while building the request"});
            else
                add(index);
        }
        waiting_.clear();
        // Without the headers the held request will never go: end its connection now rather
        // than after it opened.
        if (!late)
            for (Slot& slot : slots_)
                if (slot.inMulti) remove(slot, std::unexpected(notSent()));
    }

    void collectFinished() {
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            auto found = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& slot) {
                return slot.inMulti && slot.transfer->handle() == message->easy_handle;
            });
            if (found == slots_.end()) continue;
            const CURLcode code = message->data.result;
            remove(*found, found->transfer->finish(code));
        }
    }

    void failAll(const char* message) {
        for (Slot& slot : slots_)
            if (slot.inMulti) remove(slot, std::unexpected(TransportError{message}));
        for (std::size_t index : waiting_)
            slots_[index].reply = std::unexpected(TransportError{message});
        waiting_.clear();
    }

    CURLM* multi_;
    std::vector<Slot> slots_;
    LateHeaders late_;
    bool holding_ = false;
    std::vector<std::size_t> waiting_;
    int running_ = 0;
};

}  // namespace

CurlHttpClient::CurlHttpClient(std::string caFile) : caFile_(std::move(caFile)) {}

CurlHttpClient::~CurlHttpClient() = default;

std::expected<CurlConnectionSets*, TransportError> CurlHttpClient::connectionSets() {
    std::lock_guard guard(mutex_);
    if (!sets_) {
        // Here rather than at construction: setting up libcurl loads OpenSSL's configuration,
        // which a program that shows a window first should not wait for. (libcurl's global
        // set-up is thread-safe since 7.84; the mutex keeps it to one call anyway.)
        static const CURLcode initialized = curl_global_init(CURL_GLOBAL_DEFAULT);
        if (initialized != CURLE_OK)
            return std::unexpected(TransportError{curl_easy_strerror(initialized)});
        auto certificates = CurlCertificateStore::create(caFile_);
        if (!certificates) return std::unexpected(certificates.error());
        auto made = CurlConnectionSets::create();
        if (!made) return std::unexpected(made.error());
        certificates_ = std::move(*certificates);
        sets_ = std::move(*made);
    }
    return sets_.get();
}

HttpReply CurlHttpClient::send(const HttpRequest& request) {
    auto replies = sendAll({request});
    return std::move(replies.front());
}

std::vector<HttpReply> CurlHttpClient::sendAll(std::vector<HttpRequest> requests,
                                               const LateHeaders& late) {
    if (requests.empty()) return {};
    auto failedAll = [&](const TransportError& error) {
        return std::vector<HttpReply>(requests.size(), std::unexpected(error));
    };
    auto sets = connectionSets();
    if (!sets) return failedAll(sets.error());
    auto lease = (*sets)->lease(originOf(requests.front().url));
    if (!lease) return failedAll(lease.error());

    const CurlTransferSettings settings{(*sets)->share(), certificates_.get()};
    Batch batch(lease->multi(), requests.size());
    for (std::size_t i = 0; i < requests.size(); ++i)
        batch.set(i, CurlTransfer::create(requests[i], settings));
    batch.start(late);
    batch.run();
    lease->setKeptConnection(std::any_of(requests.begin(), requests.end(), keepsConnection));
    return batch.replies();
}

}  // namespace ambrel
