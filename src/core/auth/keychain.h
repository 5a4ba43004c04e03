#pragma once

// The program's items in the shared secret store, and the operations on them with the
// keychain's outcomes turned into KeychainError.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/platform/secret_store.h"

namespace ambrel {

inline constexpr const char* kKeychainService = "com.corvane.ambrel";
inline constexpr const char* kKeychainAccessGroup = "K7QW2ZP9RM.com.corvane.ambrel.shared";

KeychainStore refreshTokenItem();  // account "google.refresh_token"
KeychainStore objectivesItem();    // account "objectives"

namespace keychain {

Result<std::optional<std::string>> loadData(SecretStore& secrets, const KeychainStore& item);
// The bytes as UTF-8 text, invalid sequences replaced by U+FFFD.
Result<std::optional<std::string>> load(SecretStore& secrets, const KeychainStore& item);
Result<void> saveData(SecretStore& secrets, const KeychainStore& item, std::string_view bytes);
Result<void> save(SecretStore& secrets, const KeychainStore& item, std::string_view text);
// The store's status: 0 deleted, errSecItemNotFound, anything else a failure.
std::int32_t deleteItem(SecretStore& secrets, const KeychainStore& item);

}  // namespace keychain
}  // namespace ambrel
