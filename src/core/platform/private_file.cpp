#include "core/platform/private_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "core/platform/unique_fd.h"

namespace ambrel::privatefile {
namespace {

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Makes the rename itself durable; a failure here does not undo the replacement, so it is
// not reported.
void syncFolder(const std::filesystem::path& folder) {
    UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) ::fsync(dir.get());
}

}  // namespace

int secureFolder(const std::filesystem::path& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) return errno == ENOTDIR ? ENOENT : errno;
    if (!S_ISDIR(info.st_mode)) return ENOTDIR;
    if (info.st_uid != ::geteuid()) return EPERM;
    // Folders made by earlier versions, or by hand, may be open to the group or to everyone.
    if ((info.st_mode & 07777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) return errno;
    return 0;
}

int ensureFolder(const std::filesystem::path& folder) {
    if (int error = secureFolder(folder); error != ENOENT) return error;
    if (folder.has_parent_path()) {
        std::error_code error;
        std::filesystem::create_directories(folder.parent_path(), error);
        if (error) return error.value();
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    // The mode asked for is masked by the umask, and a racing creator may have used another.
    return secureFolder(folder);
}

std::expected<std::optional<std::string>, int> read(const std::filesystem::path& file,
                                                    std::size_t maxBytes) {
    // O_NOFOLLOW: a link is never followed to whatever it names. O_NONBLOCK: opening a FIFO
    // does not wait for a writer (it is refused below). O_NOCTTY: a terminal never becomes ours.
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid()) {
        if (errno == ENOENT || errno == ENOTDIR) return std::optional<std::string>{};
        return std::unexpected(errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return std::unexpected(errno);
    if (!S_ISREG(info.st_mode)) return std::unexpected(EINVAL);
    if (info.st_uid != ::geteuid()) return std::unexpected(EPERM);
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) return std::unexpected(EFBIG);

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[16384];
    for (;;) {
        ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            return std::unexpected(errno);
        }
        if (count == 0) break;
        // The file may have grown since fstat.
        if (bytes.size() + static_cast<std::size_t>(count) > maxBytes)
            return std::unexpected(EFBIG);
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return std::optional<std::string>{std::move(bytes)};
}

int replace(const std::filesystem::path& file, std::string_view bytes, Durability durability) {
    // The temporary name starts with a dot, which no key or item file name does.
    std::string temporary =
        (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
    UniqueFd fd(::mkstemp(temporary.data()));  // mkstemp creates the file 0600
    if (!fd.valid()) return errno;

    int error = writeAll(fd.get(), bytes);
    const bool flush = durability == Durability::flushed;
    if (error == 0 && flush && ::fsync(fd.get()) != 0) error = errno;
    if (int closeError = fd.close(); error == 0) error = closeError;
    if (error == 0 && std::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    if (flush) syncFolder(file.parent_path());
    return 0;
}

int remove(const std::filesystem::path& file) {
    if (::unlink(file.c_str()) == 0) {
        syncFolder(file.parent_path());
        return 0;
    }
    return errno;
}

}  // namespace ambrel::privatefile
