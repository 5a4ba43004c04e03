#pragma once

// A program's own settings domain: one folder, one file per key holding the raw value.
// Writes go to a temporary file that is renamed over the old one, so a crash or a full disk
// never leaves a torn value. Nothing here reports an error: a failed read is no value, a
// failed write leaves the previous value.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ambrel {

class Defaults {
  public:
    explicit Defaults(std::filesystem::path folder);

    // ${XDG_CACHE_HOME:-~/.cache}/ambrel/<bundleId>/
    static Defaults forBundle(std::string_view bundleId);

    std::optional<std::string> data(std::string_view key) const;
    bool set(std::string_view key, std::string_view bytes);  // true when written
    void remove(std::string_view key);

    const std::filesystem::path& folder() const { return folder_; }

  private:
    std::filesystem::path folder_;
};

}  // namespace ambrel
