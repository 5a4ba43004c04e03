#pragma once

// Small POSIX file helpers shared by the stores that keep one private file per value
// (Defaults and the file secret store). Files are 0600 inside a 0700 folder, and a write
// replaces the old file in one rename, so a reader sees the old bytes or the new, never a mix.
//
// Everything read here could have been planted by someone else or left behind by a crash, so a
// read takes only what a write of ours leaves: a regular file (never a symbolic link, FIFO or
// device), owned by this user, of a bounded size.

#include <cerrno>
#include <cstddef>
#include <expected>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ambrel::privatefile {

// Makes an existing folder private to this user: one the user owns is tightened to 0700, one
// owned by anyone else is refused with EPERM (whoever owns it can read, swap or remove what is
// inside). The result is 0, ENOENT when there is no folder, or the errno of the failure.
int secureFolder(const std::filesystem::path& folder);

// secureFolder, after creating the folder (0700, missing parents with the usual modes) when it
// is absent. The result is 0 or an errno.
int ensureFolder(const std::filesystem::path& folder);

// The whole content of the file: std::nullopt when it does not exist (ENOENT or ENOTDIR), else
// the errno of the failure. A symbolic link fails with ELOOP, anything but a regular file with
// EINVAL, a file of another owner with EPERM and one larger than `maxBytes` with EFBIG. Never
// blocks on a FIFO.
std::expected<std::optional<std::string>, int> read(const std::filesystem::path& file,
                                                    std::size_t maxBytes);

// How hard a write insists on reaching the disk before it returns.
enum class Durability {
    flushed,  // fsync of the file and its folder: for secrets, which cannot be fetched again
    renamed,  // the atomic rename only: for caches, which a crash may at worst leave unreadable
};

// Writes the bytes to a new 0600 file beside `file` and renames it over `file`. On failure the
// temporary file is removed and `file` is untouched. Returns 0 or an errno.
int replace(const std::filesystem::path& file, std::string_view bytes,
            Durability durability = Durability::flushed);

// Removes the file: 0, ENOENT when there was none, or another errno.
int remove(const std::filesystem::path& file);

}  // namespace ambrel::privatefile
