#include "core/platform/file_secret_store.h"
#include "core/platform/layered_secret_store.h"
#include "core/platform/libsecret_secret_store.h"
#include "core/platform/paths.h"

namespace ambrel {

std::unique_ptr<SecretStore> makeSystemSecretStore(SecretStoreUse use) {
    auto files = std::make_unique<FileSecretStore>(dataHome() / "ambrel" / "keychain");
    if (LibsecretSecretStore::serviceAnswers())
        return std::make_unique<LayeredSecretStore>(std::make_unique<LibsecretSecretStore>(),
                                                    std::move(files), use);
    // Without a keyring (a bare window manager, a remote shell) the secrets still need a home
    // that both programs share; the file store is readable by this user alone.
    return files;
}

}  // namespace ambrel
