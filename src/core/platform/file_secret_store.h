#pragma once

// The secret store used when no Secret Service answers: one 0600 file per item in a 0700
// folder, holding the raw bytes. Its protection is the file mode alone (the bytes are not
// encrypted), which is what a desktop without a keyring can offer.

#include <filesystem>

#include "core/platform/secret_store.h"

namespace ambrel {

class FileSecretStore final : public SecretStore {
  public:
    explicit FileSecretStore(std::filesystem::path folder);

    std::expected<std::optional<std::string>, std::int32_t> read(
        const KeychainStore& item) override;
    std::int32_t write(const KeychainStore& item, std::string_view bytes) override;
    std::int32_t remove(const KeychainStore& item) override;

    // The file that holds the item: its name is derived from the three attributes alone.
    std::filesystem::path fileOf(const KeychainStore& item) const;

  private:
    std::filesystem::path folder_;
};

}  // namespace ambrel
