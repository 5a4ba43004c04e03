#include "core/platform/layered_secret_store.h"

#include <utility>

namespace ambrel {
namespace {

// The keychain's "write permissions error": what a reader's store answers to a change.
constexpr std::int32_t errSecWrPerm = -61;

bool failed(std::int32_t status) {
    return status != errSecSuccess && status != errSecItemNotFound;
}

}  // namespace

LayeredSecretStore::LayeredSecretStore(std::unique_ptr<SecretStore> service,
                                       std::unique_ptr<SecretStore> files, SecretStoreUse use)
    : service_(std::move(service)), files_(std::move(files)), use_(use) {}

std::expected<std::optional<std::string>, std::int32_t> LayeredSecretStore::read(
    const KeychainStore& item) {
    auto leftover = files_->read(item);
    // A file that is there but cannot be read may hold the newer token: not "no item".
    if (!leftover) return leftover;
    if (!leftover->has_value()) return service_->read(item);
    if (use_ == SecretStoreUse::readWrite && service_->write(item, **leftover) == errSecSuccess)
        files_->remove(item);  // should this fail, the next start moves the same bytes again
    return leftover;
}

std::int32_t LayeredSecretStore::write(const KeychainStore& item, std::string_view bytes) {
    if (use_ == SecretStoreUse::readOnly) return errSecWrPerm;
    if (std::int32_t status = service_->write(item, bytes); status != errSecSuccess) return status;
    // A copy left in the file would be read instead of the new value: until it is gone, the
    // save has not taken effect, and saying so keeps the previous value's promise.
    const std::int32_t removed = files_->remove(item);
    return failed(removed) ? removed : errSecSuccess;
}

std::int32_t LayeredSecretStore::remove(const KeychainStore& item) {
    if (use_ == SecretStoreUse::readOnly) return errSecWrPerm;
    const std::int32_t fromService = service_->remove(item);
    const std::int32_t fromFiles = files_->remove(item);
    if (failed(fromService)) return fromService;
    if (failed(fromFiles)) return fromFiles;
    return fromService == errSecSuccess || fromFiles == errSecSuccess ? errSecSuccess
                                                                      : errSecItemNotFound;
}

}  // namespace ambrel
