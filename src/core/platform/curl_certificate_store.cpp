#include "core/platform/curl_certificate_store.h"

#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <filesystem>
#include <system_error>

namespace ambrel {
namespace {

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

// libcurl's built-in locations (CURLINFO_CAINFO and CURLINFO_CAPATH, libcurl 7.84 and later).
std::pair<std::string, std::string> defaultLocations() {
    std::unique_ptr<CURL, EasyDeleter> probe(curl_easy_init());
    if (!probe) return {};
    char* file = nullptr;
    char* folder = nullptr;
    curl_easy_getinfo(probe.get(), CURLINFO_CAINFO, &file);
    curl_easy_getinfo(probe.get(), CURLINFO_CAPATH, &folder);
    return {file != nullptr ? file : "", folder != nullptr ? folder : ""};
}

}  // namespace

std::expected<std::unique_ptr<CurlCertificateStore>, TransportError> CurlCertificateStore::create(
    const std::string& extraCaFile) {
    auto [file, folder] = defaultLocations();
    std::unique_ptr<CurlCertificateStore> made(new CurlCertificateStore(X509_STORE_new()));
    if (made->store_ == nullptr)
        return std::unexpected(TransportError{"out of memory while reading the certificates"});
    // The folder holds the same authorities as the bundle (both are made from one list), so
    // the bundle is read only where there is no folder.
    std::error_code ignored;
    bool loaded = !folder.empty() && std::filesystem::is_directory(folder, ignored) &&
                  X509_STORE_load_path(made->store_, folder.c_str()) == 1;
    if (!loaded && !file.empty()) loaded = X509_STORE_load_file(made->store_, file.c_str()) == 1;
    if (!loaded)
        return std::unexpected(
            TransportError{"cannot read the certificate authorities in " + folder + " " + file});
    if (!extraCaFile.empty() && X509_STORE_load_file(made->store_, extraCaFile.c_str()) != 1)
        return std::unexpected(
            TransportError{"cannot read the certificate authorities in " + extraCaFile});
    return made;
}

CurlCertificateStore::~CurlCertificateStore() {
    X509_STORE_free(store_);
}

void CurlCertificateStore::useFor(CURL* handle) const {
    // No files for libcurl to read: the store comes in through the TLS context instead.
    curl_easy_setopt(handle, CURLOPT_CAINFO, nullptr);
    curl_easy_setopt(handle, CURLOPT_CAPATH, nullptr);
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, &CurlCertificateStore::install);
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, const_cast<CurlCertificateStore*>(this));
}

CURLcode CurlCertificateStore::install(CURL*, void* sslContext, void* self) noexcept {
    const auto& store = *static_cast<const CurlCertificateStore*>(self);
    SSL_CTX_set1_cert_store(static_cast<SSL_CTX*>(sslContext), store.store_);
    return CURLE_OK;
}

}  // namespace ambrel
