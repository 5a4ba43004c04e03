#include "support/memory_secret_store.h"

namespace ambrel::testing {

MemorySecretStore::Key MemorySecretStore::keyOf(const KeychainStore& item) {
    return {item.service, item.accessGroup, item.account};
}

std::expected<std::optional<std::string>, std::int32_t> MemorySecretStore::read(
    const KeychainStore& item) {
    std::lock_guard lock(mutex_);
    if (readStatus) return std::unexpected(*readStatus);
    auto it = items_.find(keyOf(item));
    if (it == items_.end()) return std::optional<std::string>{};
    return std::optional<std::string>{it->second};
}

std::int32_t MemorySecretStore::write(const KeychainStore& item, std::string_view bytes) {
    std::lock_guard lock(mutex_);
    if (writeStatus) return *writeStatus;
    items_[keyOf(item)] = std::string(bytes);
    return errSecSuccess;
}

std::int32_t MemorySecretStore::remove(const KeychainStore& item) {
    std::lock_guard lock(mutex_);
    if (removeStatus) return *removeStatus;
    return items_.erase(keyOf(item)) > 0 ? errSecSuccess : errSecItemNotFound;
}

std::optional<std::string> MemorySecretStore::value(const KeychainStore& item) const {
    std::lock_guard lock(mutex_);
    auto it = items_.find(keyOf(item));
    return it == items_.end() ? std::nullopt : std::optional<std::string>{it->second};
}

void MemorySecretStore::put(const KeychainStore& item, std::string bytes) {
    std::lock_guard lock(mutex_);
    items_[keyOf(item)] = std::move(bytes);
}

}  // namespace ambrel::testing
