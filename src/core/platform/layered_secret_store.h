#pragma once

// The Secret Service in front of the file store that sessions without one left behind.
//
// A user who signed in while no Secret Service answered has the refresh token in a plain file.
// Once a service answers, the file is the newer copy (a session with the service never writes
// it), so it is what a read returns; the application then moves it into the service and deletes
// the file, leaving no plaintext behind. A failed move keeps the file, and the user signed in.
// The widget only reads: it takes the file's bytes as they are and leaves the moving to the
// application, so that an item is only ever written or deleted by the one program that owns it;
// its store refuses writes and deletions outright.

#include <memory>

#include "core/platform/secret_store.h"

namespace ambrel {

class LayeredSecretStore final : public SecretStore {
  public:
    LayeredSecretStore(std::unique_ptr<SecretStore> service, std::unique_ptr<SecretStore> files,
                       SecretStoreUse use);

    std::expected<std::optional<std::string>, std::int32_t> read(
        const KeychainStore& item) override;
    // Into the service; the file's copy is deleted after, so it cannot win a later read.
    std::int32_t write(const KeychainStore& item, std::string_view bytes) override;
    // From both stores. A failure of either is reported, after both were tried.
    std::int32_t remove(const KeychainStore& item) override;

  private:
    std::unique_ptr<SecretStore> service_;
    std::unique_ptr<SecretStore> files_;
    SecretStoreUse use_;
};

}  // namespace ambrel
