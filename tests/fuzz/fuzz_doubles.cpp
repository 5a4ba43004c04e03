#include "fuzz_doubles.h"

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "core/auth/keychain.h"
#include "fuzz_check.h"

namespace ambrel::fuzz {
namespace {

// In memory when the system offers a tmpfs: replacing a file by rename on a disk file system
// can wait for the disk (ext4 flushes the new file first), which would cost milliseconds a run.
std::filesystem::path scratchParent() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = scratchParent() / "ambrel-fuzz.XXXXXX";
        require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

std::filesystem::path writeClientSecret() {
    auto path = scratchFolder() / "client_secret.json";
    std::ofstream(path) << R"({"installed":{"client_id":"1234-fuzz.apps.test",)"
                        << R"("client_secret":"fuzz-secret","auth_uri":"https://oauth2.test/auth",)"
                        << R"("token_uri":")" << kTokenUri << R"("}})";
    return path;
}

Instant stoppedClock() {
    using namespace std::chrono;
    return sys_days{year{2026} / May / 21} + hours{10};
}

}  // namespace

std::expected<HttpResponse, TransportError> CannedHttpClient::send(const HttpRequest& request) {
    ++requests;
    lastUrl = request.url;
    if (!answer) return HttpResponse{200, "{}"};
    return answer(request);
}

std::expected<std::optional<std::string>, std::int32_t> MemorySecrets::read(
    const KeychainStore& item) {
    auto found = items_.find(item.account);
    if (found == items_.end()) return std::optional<std::string>{};
    return std::optional<std::string>{found->second};
}

std::int32_t MemorySecrets::write(const KeychainStore& item, std::string_view bytes) {
    items_[item.account] = std::string(bytes);
    return errSecSuccess;
}

std::int32_t MemorySecrets::remove(const KeychainStore& item) {
    return items_.erase(item.account) > 0 ? errSecSuccess : errSecItemNotFound;
}

const std::filesystem::path& scratchFolder() {
    static const ScratchFolder folder;
    return folder.path();
}

SignedIn::SignedIn()
    : defaults(scratchFolder() / "defaults"),
      services{.http = http,
               .secrets = secrets,
               .defaults = defaults,
               .now = stoppedClock,
               .adsenseBase = kAdSenseBase,
               .clientSecretLocations = {writeClientSecret()}} {
    static_cast<void>(keychain::save(secrets, refreshTokenItem(), "1//fuzz-refresh-token"));
}

}  // namespace ambrel::fuzz
