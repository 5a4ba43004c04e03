#include "core/platform/defaults.h"

#include "core/platform/paths.h"
#include "core/platform/private_file.h"

namespace ambrel {
namespace {

// Keys are fixed dotted names chosen by the program. Anything that could leave the folder or
// collide with the hidden temporary files of a write is refused all the same.
bool isSafeKey(std::string_view key) {
    return !key.empty() && key.front() != '.' && key.find('/') == std::string_view::npos &&
           key.find('\0') == std::string_view::npos;
}

}  // namespace

Defaults::Defaults(std::filesystem::path folder) : folder_(std::move(folder)) {}

Defaults Defaults::forBundle(std::string_view bundleId) {
    return Defaults(cacheHome() / "ambrel" / std::string(bundleId));
}

std::optional<std::string> Defaults::data(std::string_view key) const {
    if (!isSafeKey(key)) return std::nullopt;
    auto bytes = privatefile::read(folder_ / std::string(key), kMaxValueBytes);
    return bytes ? *bytes : std::nullopt;
}

bool Defaults::set(std::string_view key, std::string_view bytes) {
    if (!isSafeKey(key) || bytes.size() > kMaxValueBytes) return false;
    return privatefile::ensureFolder(folder_) == 0 &&
           privatefile::replace(folder_ / std::string(key), bytes,
                                privatefile::Durability::renamed) == 0;
}

void Defaults::remove(std::string_view key) {
    if (isSafeKey(key)) privatefile::remove(folder_ / std::string(key));
}

}  // namespace ambrel
