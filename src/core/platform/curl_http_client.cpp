#include "core/platform/curl_http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <limits>
#include <memory>
#include <mutex>

namespace ambrel {
namespace {

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlStringDeleter {
    void operator()(char* text) const { curl_free(text); }
};

using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

// Appends one header line; false when libcurl could not allocate it.
bool append(HeaderList& list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (grown == nullptr) return false;
    list.release();
    list.reset(grown);
    return true;
}

bool hasHeader(const HttpRequest& request, std::string_view name) {
    for (const auto& [key, value] : request.headers) {
        if (key.size() == name.size() &&
            std::equal(key.begin(), key.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return true;
    }
    return false;
}

// The request's own headers and nothing else: libcurl's defaults are switched off by naming
// them with no value ("Accept:"). A header with an empty value needs curl's "Name;" form.
std::expected<HeaderList, TransportError> headerList(const HttpRequest& request, bool sendsBody) {
    HeaderList list;
    bool ok = true;
    for (const auto& [name, value] : request.headers)
        ok = ok && append(list, value.empty() ? name + ";" : name + ": " + value);
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

std::string bodyLimitText() {
    return "the answer is larger than " + std::to_string(kMaxResponseBodyBytes / (1024 * 1024)) +
           " MiB";
}

TransportError transportError(CURLcode code, const char* errorBuffer, const BodySink& sink,
                              const std::string& url) {
    std::string message = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(code);
    // A length announced beyond the limit is refused by libcurl itself, before any byte.
    if (code == CURLE_FILESIZE_EXCEEDED || sink.refusal == BodySink::Refusal::tooLarge)
        message = bodyLimitText();
    else if (sink.refusal == BodySink::Refusal::outOfMemory)
        message = "out of memory while reading the answer";
    if (std::string host = hostOf(url); !host.empty()) message += " (" + host + ")";
    return TransportError{std::move(message)};
}

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
long timeoutMilliseconds(std::chrono::seconds timeout) {
    using std::chrono::milliseconds;
    constexpr auto kLongest = std::chrono::duration_cast<std::chrono::seconds>(
        milliseconds(std::numeric_limits<long>::max()));
    if (timeout <= std::chrono::seconds::zero()) return 1;
    return static_cast<long>(milliseconds(std::min(timeout, kLongest)).count());
}

}  // namespace

CurlHttpClient::CurlHttpClient() {
    // curl_global_init is not thread-safe and must run before any handle exists.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::expected<HttpResponse, TransportError> CurlHttpClient::send(const HttpRequest& request) {
    EasyHandle easy(curl_easy_init());
    if (!easy) return std::unexpected(TransportError{"could not create a libcurl handle"});
    CURL* handle = easy.get();

    const bool isGet = request.method == "GET";
    const bool isPost = request.method == "POST";
    auto headers = headerList(request, isPost || (!isGet && !request.body.empty()));
    if (!headers) return std::unexpected(headers.error());

    char errorBuffer[CURL_ERROR_SIZE] = {};
    BodySink sink;
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);  // signals would hit arbitrary threads
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, timeoutMilliseconds(request.timeout));
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(kMaxResponseBodyBytes));
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers->get());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
    if (isPost) {
        curl_easy_setopt(handle, CURLOPT_POST, 1L);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, request.body.data());
    } else if (isGet) {
        curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, request.method.c_str());
        if (!request.body.empty()) {
            curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(request.body.size()));
            curl_easy_setopt(handle, CURLOPT_POSTFIELDS, request.body.data());
        }
    }

    if (CURLcode code = curl_easy_perform(handle); code != CURLE_OK)
        return std::unexpected(transportError(code, errorBuffer, sink, request.url));
    HttpResponse response;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &response.status);
    response.body = std::move(sink.body);
    return response;
}

}  // namespace ambrel
