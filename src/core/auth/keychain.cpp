#include "core/auth/keychain.h"

#include "core/platform/utf8.h"

namespace ambrel {
namespace {

KeychainStore itemForAccount(const char* account) {
    return KeychainStore{kKeychainService, kKeychainAccessGroup, account};
}

}  // namespace

KeychainStore refreshTokenItem() {
    return itemForAccount("google.refresh_token");
}
KeychainStore objectivesItem() {
    return itemForAccount("objectives");
}

namespace keychain {

Result<std::optional<std::string>> loadData(SecretStore& secrets, const KeychainStore& item) {
    auto stored = secrets.read(item);
    if (!stored) return std::unexpected(KeychainError{stored.error()});
    return std::move(*stored);
}

Result<std::optional<std::string>> load(SecretStore& secrets, const KeychainStore& item) {
    auto bytes = loadData(secrets, item);
    if (!bytes || !*bytes) return bytes;
    return std::optional<std::string>{utf8::repair(**bytes)};
}

// One replacing write, never a delete followed by an add: between those two steps a failure
// (or a crash) would lose the user's refresh token, and the widget reading at that moment
// would see the user as signed out.
Result<void> saveData(SecretStore& secrets, const KeychainStore& item, std::string_view bytes) {
    std::int32_t status = secrets.write(item, bytes);
    if (status != errSecSuccess) return std::unexpected(KeychainError{status});
    return {};
}

Result<void> save(SecretStore& secrets, const KeychainStore& item, std::string_view text) {
    return saveData(secrets, item, text);
}

std::int32_t deleteItem(SecretStore& secrets, const KeychainStore& item) {
    return secrets.remove(item);
}

}  // namespace keychain
}  // namespace ambrel
