#include "core/platform/curl_transfer.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <string_view>

#include "core/platform/curl_certificate_store.h"
#include "core/platform/retry_after.h"

namespace ambrel {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlStringDeleter {
    void operator()(char* text) const { curl_free(text); }
};

using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

// Appends one header line; false when libcurl could not allocate it. The list's first node
// stays where it was, so a list libcurl already holds can still grow before it is sent.
bool append(HeaderList& list, const std::string& line) noexcept {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (grown == nullptr) return false;
    if (!list) list.reset(grown);
    return true;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool hasHeader(const HttpRequest& request, std::string_view name) {
    return std::any_of(request.headers.begin(), request.headers.end(),
                       [name](const auto& header) { return sameName(header.first, name); });
}

std::string headerLine(const std::string& name, const std::string& value) {
    // A header with an empty value needs curl's "Name;" form.
    return value.empty() ? name + ";" : name + ": " + value;
}

// The request's own headers and nothing else: libcurl's defaults are switched off by naming
// them with no value ("Accept:").
std::expected<HeaderList, TransportError> headerList(const HttpRequest& request, bool sendsBody) {
    HeaderList list;
    bool ok = true;
    for (const auto& [name, value] : request.headers)
        ok = ok && append(list, headerLine(name, value));
    for (const char* name : {"Accept", "User-Agent"})
        if (!hasHeader(request, name)) ok = ok && append(list, std::string(name) + ":");
    if (sendsBody) {
        // Without these, libcurl would add a form Content-Type and an "Expect: 100-continue"
        // round trip for larger bodies.
        if (!hasHeader(request, "Expect")) ok = ok && append(list, "Expect:");
        if (!hasHeader(request, "Content-Type")) ok = ok && append(list, "Content-Type:");
    }
    if (!ok) return std::unexpected(TransportError{"out of memory while building the request"});
    return list;
}

// The host part of the address, for messages: never the path or query, which may carry
// secrets. Empty when the address cannot be parsed.
std::string hostOf(const std::string& url) {
    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return {};
    char* raw = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_HOST, &raw, 0) != CURLUE_OK) return {};
    std::unique_ptr<char, CurlStringDeleter> host(raw);
    return host.get();
}

// Where the write callback puts the body, and why it stopped taking it.
struct BodySink {
    enum class Refusal { none, tooLarge, outOfMemory };
    std::string body;
    Refusal refusal = Refusal::none;
};

// Called from libcurl's C frames, so nothing may be thrown out of it: a refusal is a count other
// than the one offered, which makes libcurl abort the transfer.
std::size_t collectBody(char* data, std::size_t size, std::size_t count, void* target) noexcept {
    auto& sink = *static_cast<BodySink*>(target);
    const std::size_t bytes = size * count;
    if (bytes > kMaxResponseBodyBytes - sink.body.size()) {
        sink.refusal = BodySink::Refusal::tooLarge;
        return 0;
    }
    try {
        sink.body.append(data, bytes);
    } catch (...) {
        sink.refusal = BodySink::Refusal::outOfMemory;
        return 0;
    }
    return bytes;
}

// libcurl reads 0 as "no limit at all"; a time-out is never that, however short.
long limitMilliseconds(milliseconds limit) {
    if (limit <= milliseconds::zero()) return 1;
    return static_cast<long>(
        std::min<milliseconds::rep>(limit.count(), std::numeric_limits<long>::max()));
}

milliseconds toMilliseconds(std::chrono::seconds timeout) {
    constexpr auto kLongest = std::chrono::duration_cast<std::chrono::seconds>(
        milliseconds(std::numeric_limits<long>::max() / 4));
    return std::min(timeout, kLongest);
}

// The last answer's Retry-After (a redirect's own headers do not count), as a wait from now.
std::optional<std::chrono::seconds> retryAfterOf(CURL* easy) {
    curl_header* header = nullptr;
    if (curl_easy_header(easy, "Retry-After", 0, CURLH_HEADER, -1, &header) != CURLHE_OK)
        return std::nullopt;
    return parseRetryAfter(header->value, std::chrono::system_clock::now());
}

}  // namespace

bool keepsConnection(const HttpRequest& request) {
    return request.keepConnection && request.method == "GET";
}

struct CurlTransfer::State {
    std::string url;
    std::string method;
    std::string body;  // libcurl reads the request body from here while sending
    milliseconds timeout{};
    HeaderList headers;
    BodySink sink;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    LateHeaders late;
    bool lateRefused = false;
    steady_clock::time_point started = steady_clock::now();
};

CurlTransfer::CurlTransfer(const HttpRequest& request) : state_(std::make_unique<State>()) {
    state_->url = request.url;
    state_->method = request.method;
    state_->body = request.body;
    state_->timeout = toMilliseconds(request.timeout);
}

CurlTransfer::~CurlTransfer() {
    if (easy_ != nullptr) curl_easy_cleanup(easy_);
}

std::expected<std::unique_ptr<CurlTransfer>, TransportError> CurlTransfer::create(
    const HttpRequest& request, const CurlTransferSettings& settings) {
    std::unique_ptr<CurlTransfer> transfer(new CurlTransfer(request));
    transfer->easy_ = curl_easy_init();
    if (transfer->easy_ == nullptr)
        return std::unexpected(TransportError{"could not create a libcurl handle"});
    CURL* handle = transfer->easy_;
    State& state = *transfer->state_;

    const bool isGet = request.method == "GET";
    const bool isPost = request.method == "POST";
    auto headers = headerList(request, isPost || (!isGet && !request.body.empty()));
    if (!headers) return std::unexpected(headers.error());
    state.headers = std::move(*headers);

    curl_easy_setopt(handle, CURLOPT_PRIVATE, transfer.get());
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, state.errorBuffer);
    curl_easy_setopt(handle, CURLOPT_URL, state.url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);  // signals would hit arbitrary threads
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (settings.certificates != nullptr) settings.certificates->useFor(handle);
    if (settings.share != nullptr) curl_easy_setopt(handle, CURLOPT_SHARE, settings.share);
    // HTTP/2 where the server offers it in the TLS handshake, HTTP/1.1 elsewhere; a request
    // that starts beside another to the same server waits to learn whether it can share its
    // connection instead of opening its own.
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_2TLS));
    curl_easy_setopt(handle, CURLOPT_PIPEWAIT, 1L);
    // libcurl sends a request again, on a new connection, when a kept one closes before any
    // answer. Only a GET may go twice: anything else (a token request, whose code or grant must
    // be used once) takes a connection of its own and leaves it closed.
    if (!isGet) curl_easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
    if (!keepsConnection(request)) curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, limitMilliseconds(state.timeout));
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(kMaxResponseBodyBytes));
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, state.headers.get());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &state.sink);
    if (isPost) {
        curl_easy_setopt(handle, CURLOPT_POST, 1L);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(state.body.size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, state.body.data());
    } else if (isGet) {
        curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, state.method.c_str());
        if (!state.body.empty()) {
            curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(state.body.size()));
            curl_easy_setopt(handle, CURLOPT_POSTFIELDS, state.body.data());
        }
    }
    return transfer;
}

void CurlTransfer::holdFor(LateHeaders late) {
    state_->late = std::move(late);
    // The wait for the late headers comes on top of the request's own limit, which then starts
    // again once they are there (beforeRequest); the connection must still open within it.
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, limitMilliseconds(state_->timeout));
    curl_easy_setopt(easy_, CURLOPT_TIMEOUT_MS, limitMilliseconds(state_->timeout * 2));
    curl_easy_setopt(easy_, CURLOPT_PREREQFUNCTION, &CurlTransfer::beforeRequest);
    curl_easy_setopt(easy_, CURLOPT_PREREQDATA, this);
}

bool CurlTransfer::appendHeaders(const HttpHeaders& headers) {
    bool ok = true;
    for (const auto& [name, value] : headers)
        ok = ok && append(state_->headers, headerLine(name, value));
    return ok;
}

// libcurl calls this once the connection is open, just before the request goes out, and reads
// the header list only after it: the late headers can still join it here.
int CurlTransfer::beforeRequest(void* self, char*, char*, int, int) noexcept {
    auto& transfer = *static_cast<CurlTransfer*>(self);
    return transfer.release() ? CURL_PREREQFUNC_OK : CURL_PREREQFUNC_ABORT;
}

bool CurlTransfer::release() noexcept {
    State& state = *state_;
    try {
        const std::optional<HttpHeaders>& late = state.late.get();
        if (!late) {
            state.lateRefused = true;
            return false;
        }
        if (!appendHeaders(*late)) return false;
    } catch (...) {
        state.lateRefused = true;
        return false;
    }
    const auto waited =
        std::chrono::duration_cast<milliseconds>(steady_clock::now() - state.started);
    curl_easy_setopt(easy_, CURLOPT_TIMEOUT_MS, limitMilliseconds(waited + state.timeout));
    return true;
}

HttpReply CurlTransfer::finish(CURLcode code) {
    State& state = *state_;
    if (state.lateRefused) return std::unexpected(notSent());
    if (code != CURLE_OK) {
        std::string message =
            state.errorBuffer[0] != '\0' ? state.errorBuffer : curl_easy_strerror(code);
        // A length announced beyond the limit is refused by libcurl itself, before any byte.
        if (code == CURLE_FILESIZE_EXCEEDED || state.sink.refusal == BodySink::Refusal::tooLarge)
            message = "the answer is larger than " +
                      std::to_string(kMaxResponseBodyBytes / (1024 * 1024)) + " MiB";
        else if (state.sink.refusal == BodySink::Refusal::outOfMemory)
            message = "out of memory while reading the answer";
        if (std::string host = hostOf(state.url); !host.empty()) message += " (" + host + ")";
        return std::unexpected(TransportError{std::move(message)});
    }
    HttpResponse response;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &response.status);
    response.body = std::move(state.sink.body);
    response.retryAfter = retryAfterOf(easy_);
    return response;
}

}  // namespace ambrel
