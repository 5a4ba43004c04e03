#pragma once

// The SecretStore over the freedesktop Secret Service (gnome-keyring, KWallet's service),
// through libsecret. Items carry the three string attributes "service", "access_group" and
// "account" and are found by them alone, so an item stored by another tool
// (`secret-tool store --label=… service S access_group G account A`) is found as well.
// GLib stays inside the .cpp: its headers clash with Qt's keyword macros.

#include "core/platform/secret_store.h"

namespace ambrel {

class LibsecretSecretStore final : public SecretStore {
  public:
    std::expected<std::optional<std::string>, std::int32_t> read(
        const KeychainStore& item) override;
    std::int32_t write(const KeychainStore& item, std::string_view bytes) override;
    std::int32_t remove(const KeychainStore& item) override;

    // Whether a Secret Service owns, or can be started for, its name on the session bus. A
    // cheap question to the bus itself (about a second at most); the service is not contacted.
    static bool serviceAnswers();
};

}  // namespace ambrel
