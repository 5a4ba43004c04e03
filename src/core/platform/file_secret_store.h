#pragma once

// The secret store used when no Secret Service answers: one 0600 file per item in a 0700
// folder, holding the raw bytes. Its protection is the file mode alone (the bytes are not
// encrypted), which is what a desktop without a keyring can offer. So the folder must be this
// user's own: a looser one is tightened to 0700, one of another user is refused, and an item
// file that is not a regular file of this user (a link, a FIFO) is a failure, never followed.

#include <cstddef>
#include <filesystem>

#include "core/platform/secret_store.h"

namespace ambrel {

class FileSecretStore final : public SecretStore {
  public:
    // The largest item kept: refresh tokens and the objectives are a few hundred bytes.
    static constexpr std::size_t kMaxItemBytes = 64 * 1024;

    explicit FileSecretStore(std::filesystem::path folder);

    std::expected<std::optional<std::string>, std::int32_t> read(
        const KeychainStore& item) override;
    std::int32_t write(const KeychainStore& item, std::string_view bytes) override;
    std::int32_t remove(const KeychainStore& item) override;

    // The file that holds the item: its name is derived from the three attributes alone.
    std::filesystem::path fileOf(const KeychainStore& item) const;
    const std::filesystem::path& folder() const { return folder_; }

  private:
    std::filesystem::path folder_;
};

}  // namespace ambrel
