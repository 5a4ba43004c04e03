#pragma once

// A program's own settings domain: one folder, one file per key holding the raw value.
// Writes go to a temporary file that is renamed over the old one, so a crash or a full disk
// never leaves a torn value. Nothing here reports an error: a failed read is no value, a
// failed write leaves the previous value. A key whose file is anything but a regular file of
// this user within kMaxValueBytes (a link, a FIFO, a huge file) reads as no value.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ambrel {

class Defaults {
  public:
    // The largest value kept: the biggest entry, a snapshot, is a few kilobytes.
    static constexpr std::size_t kMaxValueBytes = 4 * 1024 * 1024;

    explicit Defaults(std::filesystem::path folder);

    // ${XDG_CACHE_HOME:-~/.cache}/ambrel/<bundleId>/
    static Defaults forBundle(std::string_view bundleId);

    std::optional<std::string> data(std::string_view key) const;
    // True when written. The folder is made private to the user first (created 0700, or
    // tightened to 0700); a folder of another user is not written into.
    bool set(std::string_view key, std::string_view bytes);
    void remove(std::string_view key);

    const std::filesystem::path& folder() const { return folder_; }

  private:
    std::filesystem::path folder_;
};

}  // namespace ambrel
