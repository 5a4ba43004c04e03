#pragma once

// The seam to the system's secret store. Items are named by three attributes alone and hold
// raw bytes. Outcomes keep the keychain's status numbers: errSecSuccess, errSecItemNotFound,
// or another status (errSecNotAvailable when no store can be reached).

#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"

namespace ambrel {

// One item of the secret store.
struct KeychainStore {
    std::string service;
    std::string accessGroup;
    std::string account;

    bool operator==(const KeychainStore&) const = default;
};

class SecretStore {
  public:
    virtual ~SecretStore() = default;

    // The stored bytes, std::nullopt when no item exists, or the failing status.
    virtual std::expected<std::optional<std::string>, std::int32_t> read(
        const KeychainStore& item) = 0;

    // Stores the bytes, replacing any previous value atomically: when this fails, the previous
    // value is still there. Returns errSecSuccess or the failing status.
    virtual std::int32_t write(const KeychainStore& item, std::string_view bytes) = 0;

    // Deletes the item: errSecSuccess, errSecItemNotFound, or the failing status.
    virtual std::int32_t remove(const KeychainStore& item) = 0;
};

// Who uses the store: the application reads, writes and deletes the items; the widget only
// reads them.
enum class SecretStoreUse { readWrite, readOnly };

// The Secret Service when one answers on the session bus, else the file store under
// ${XDG_DATA_HOME:-~/.local/share}/ambrel/keychain/. With a Secret Service, items left in that
// file store by earlier sessions are still found; a readWrite store moves them into the service
// as it reads them, a readOnly one never changes either store.
std::unique_ptr<SecretStore> makeSystemSecretStore(SecretStoreUse use = SecretStoreUse::readWrite);

}  // namespace ambrel
