#include "core/platform/curl_connection_sets.h"

#include <algorithm>

namespace ambrel {
namespace {

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlStringDeleter {
    void operator()(char* text) const { curl_free(text); }
};

std::string urlPart(CURLU* url, CURLUPart part, unsigned flags) {
    char* raw = nullptr;
    if (curl_url_get(url, part, &raw, flags) != CURLUE_OK) return {};
    std::unique_ptr<char, CurlStringDeleter> text(raw);
    return text.get();
}

}  // namespace

std::string originOf(const std::string& url) {
    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return url;
    return urlPart(parsed.get(), CURLUPART_SCHEME, 0) + "://" +
           urlPart(parsed.get(), CURLUPART_HOST, 0) + ":" +
           urlPart(parsed.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
}

std::expected<std::unique_ptr<CurlConnectionSets>, TransportError> CurlConnectionSets::create() {
    std::unique_ptr<CurlConnectionSets> sets(new CurlConnectionSets());
    sets->share_ = curl_share_init();
    if (sets->share_ == nullptr)
        return std::unexpected(TransportError{"could not create libcurl's shared caches"});
    CURLSH* share = sets->share_;
    curl_share_setopt(share, CURLSHOPT_LOCKFUNC, &CurlConnectionSets::lock);
    curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, &CurlConnectionSets::unlock);
    curl_share_setopt(share, CURLSHOPT_USERDATA, sets.get());
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    return sets;
}

CurlConnectionSets::~CurlConnectionSets() {
    // The multi handles close their connections; the transfers that used them are gone.
    for (auto& set : sets_) curl_multi_cleanup(set->multi);
    if (share_ != nullptr) curl_share_cleanup(share_);
}

std::expected<CurlConnectionSets::Lease, TransportError> CurlConnectionSets::lease(
    const std::string& origin) {
    std::lock_guard guard(mutex_);
    auto idle = [](const auto& set) { return !set->busy; };
    // The set that talked to this server last holds the connection most likely still open.
    auto found = sets_.end();
    for (auto it = sets_.begin(); it != sets_.end(); ++it) {
        if (idle(*it) && (*it)->origin == origin &&
            (found == sets_.end() || (*it)->lastUsed > (*found)->lastUsed))
            found = it;
    }
    if (found == sets_.end()) found = std::find_if(sets_.begin(), sets_.end(), idle);
    if (found == sets_.end()) {
        auto set = std::make_unique<Set>();
        set->multi = curl_multi_init();
        if (set->multi == nullptr)
            return std::unexpected(TransportError{"could not create a libcurl multi handle"});
        sets_.push_back(std::move(set));
        found = std::prev(sets_.end());
    }
    (*found)->busy = true;
    (*found)->origin = origin;
    return Lease(*this, **found);
}

void CurlConnectionSets::giveBack(Set& set, bool keptConnection) {
    std::lock_guard guard(mutex_);
    set.busy = false;
    set.lastUsed = std::chrono::steady_clock::now();
    if (!keptConnection) set.origin.clear();
}

void CurlConnectionSets::lock(CURL*, curl_lock_data data, curl_lock_access, void* self) noexcept {
    auto& sets = *static_cast<CurlConnectionSets*>(self);
    // std::mutex::lock throws only on a broken mutex; noexcept turns that into termination
    // rather than an exception through libcurl's frames.
    if (data >= 0 && data < CURL_LOCK_DATA_LAST) sets.shareLocks_[data].lock();
}

void CurlConnectionSets::unlock(CURL*, curl_lock_data data, void* self) noexcept {
    auto& sets = *static_cast<CurlConnectionSets*>(self);
    if (data >= 0 && data < CURL_LOCK_DATA_LAST) sets.shareLocks_[data].unlock();
}

}  // namespace ambrel
