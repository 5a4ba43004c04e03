#include "core/platform/file_secret_store.h"

#include "core/platform/crypto.h"
#include "core/platform/private_file.h"

namespace ambrel {
namespace {

// The keychain's status for a failed input/output operation: what a file that cannot be read
// or written is reported as.
constexpr std::int32_t errSecIO = -36;

// Each attribute is length-prefixed, so no two different triples give the same text, whatever
// characters (separators, slashes, NULs) the attributes contain.
std::string identity(const KeychainStore& item) {
    std::string text;
    for (const std::string* part : {&item.service, &item.accessGroup, &item.account}) {
        text += std::to_string(part->size());
        text += ':';
        text += *part;
    }
    return text;
}

std::string hex(const std::array<unsigned char, 32>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        out += kDigits[byte >> 4];
        out += kDigits[byte & 15];
    }
    return out;
}

}  // namespace

FileSecretStore::FileSecretStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path FileSecretStore::fileOf(const KeychainStore& item) const {
    return folder_ / (hex(sha256(identity(item))) + ".secret");
}

std::expected<std::optional<std::string>, std::int32_t> FileSecretStore::read(
    const KeychainStore& item) {
    const int folderError = privatefile::secureFolder(folder_);
    if (folderError == ENOENT) return std::optional<std::string>{};
    if (folderError != 0) return std::unexpected(errSecIO);
    auto bytes = privatefile::read(fileOf(item), kMaxItemBytes);
    if (!bytes) return std::unexpected(errSecIO);
    return *bytes;
}

std::int32_t FileSecretStore::write(const KeychainStore& item, std::string_view bytes) {
    if (bytes.size() > kMaxItemBytes) return errSecIO;  // it could not be read back
    if (privatefile::ensureFolder(folder_) != 0) return errSecIO;
    return privatefile::replace(fileOf(item), bytes) == 0 ? errSecSuccess : errSecIO;
}

std::int32_t FileSecretStore::remove(const KeychainStore& item) {
    const int folderError = privatefile::secureFolder(folder_);
    if (folderError != 0) return folderError == ENOENT ? errSecItemNotFound : errSecIO;
    const int error = privatefile::remove(fileOf(item));
    if (error == 0) return errSecSuccess;
    return error == ENOENT || error == ENOTDIR ? errSecItemNotFound : errSecIO;
}

}  // namespace ambrel
