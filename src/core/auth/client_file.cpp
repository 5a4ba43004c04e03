#include "core/auth/client_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "core/auth/oauth_config.h"
#include "core/platform/localization.h"
#include "core/platform/private_file.h"
#include "core/platform/unique_fd.h"

namespace ambrel {
namespace {

// Google's client files are under a kilobyte; anything far larger is not one.
constexpr std::size_t kMaxBytes = 64 * 1024;

// The file the user chose, whoever owns it and wherever a link points, but only a regular file
// of a bounded size: a FIFO or a device picked by mistake must neither block nor flood.
std::expected<std::string, int> readChosenFile(const std::filesystem::path& file) {
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid()) return std::unexpected(errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return std::unexpected(errno);
    if (!S_ISREG(info.st_mode)) return std::unexpected(EINVAL);
    if (static_cast<std::size_t>(info.st_size) > kMaxBytes) return std::unexpected(EFBIG);
    std::string bytes;
    char buffer[4096];
    while (bytes.size() <= kMaxBytes) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return std::unexpected(errno);
        if (count == 0) return bytes;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return std::unexpected(EFBIG);  // grew while being read
}

std::string systemText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

}  // namespace

std::expected<ClientFileInstall, std::string> installClientFile(
    const std::filesystem::path& chosen, const std::filesystem::path& destination,
    bool replaceExisting) {
    const auto bytes = readChosenFile(chosen);
    if (!bytes) {
        return std::unexpected(fillPlaceholders(tr("The file %@ could not be read: %@"),
                                                {chosen.string(), systemText(bytes.error())}));
    }
    const auto config = OAuthConfig::parse(*bytes);
    if (!config) {
        return std::unexpected(
            tr("This file is not an OAuth client file: it needs an \"installed\" or \"web\" "
               "section with client_id, client_secret, auth_uri and token_uri."));
    }
    if (auto checked = OAuthConfig::checkEndpoints(*config); !checked)
        return std::unexpected(errorMessage(checked.error()));

    std::error_code error;
    const bool exists = std::filesystem::symlink_status(destination, error).type() !=
                        std::filesystem::file_type::not_found;
    if (exists && !replaceExisting) return ClientFileInstall::existingKept;

    int failure = privatefile::ensureFolder(destination.parent_path());
    if (failure == 0) failure = privatefile::replace(destination, *bytes);
    if (failure != 0) {
        return std::unexpected(fillPlaceholders(tr("The client file could not be saved as %@: %@"),
                                                {destination.string(), systemText(failure)}));
    }
    return ClientFileInstall::installed;
}

}  // namespace ambrel
