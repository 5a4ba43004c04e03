#pragma once

// The certificate authorities every TLS connection of the client verifies against, one store
// per process. libcurl on its own reads the whole system bundle again for each new connection
// (its cache does not apply when a CA folder is configured, as Debian's libcurl does), which
// costs a megabyte or more for each connection open at the same time, and the CPU of parsing
// it on each connection's critical path. The store reads the system's authorities from their
// hashed folder, one file at a time as a chain needs it, so a refresh that meets one chain
// reads one or two certificates rather than the whole bundle's hundred and fifty.

#include <curl/curl.h>

#include <expected>
#include <memory>
#include <string>

#include "core/error.h"

typedef struct x509_store_st X509_STORE;

namespace ambrel {

class CurlCertificateStore {
  public:
    // The system's authorities at libcurl's own locations: its folder when it has one, else
    // its bundle file. `extraCaFile`, when not empty, is read whole and trusted besides them.
    static std::expected<std::unique_ptr<CurlCertificateStore>, TransportError> create(
        const std::string& extraCaFile);
    ~CurlCertificateStore();
    CurlCertificateStore(const CurlCertificateStore&) = delete;
    CurlCertificateStore& operator=(const CurlCertificateStore&) = delete;

    // Makes `handle` verify against this store instead of reading certificate files.
    void useFor(CURL* handle) const;

  private:
    explicit CurlCertificateStore(X509_STORE* store) : store_(store) {}
    static CURLcode install(CURL*, void* sslContext, void* self) noexcept;

    X509_STORE* store_;
};

}  // namespace ambrel
