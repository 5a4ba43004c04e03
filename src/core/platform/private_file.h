#pragma once

// Small POSIX file helpers shared by the stores that keep one private file per value
// (Defaults and the file secret store). Files are 0600 inside a 0700 folder, and a write
// replaces the old file in one rename, so a reader sees the old bytes or the new, never a mix.

#include <cerrno>
#include <expected>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ambrel::privatefile {

// Creates the folder (and its missing parents) when absent; the folder itself gets 0700.
// An existing folder keeps its mode. The result is 0 or the errno of the failure.
int ensureFolder(const std::filesystem::path& folder);

// The whole content of the file: std::nullopt when it does not exist (ENOENT or ENOTDIR),
// else the errno of the failure.
std::expected<std::optional<std::string>, int> read(const std::filesystem::path& file);

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
