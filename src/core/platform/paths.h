#pragma once

// Where the programs keep their files, after the XDG base-directory rules.

#include <filesystem>
#include <vector>

namespace ambrel {

std::filesystem::path configHome();  // ${XDG_CONFIG_HOME:-~/.config}
std::filesystem::path dataHome();    // ${XDG_DATA_HOME:-~/.local/share}
std::filesystem::path cacheHome();   // ${XDG_CACHE_HOME:-~/.cache}

// The places client_secret.json is looked for, in order: the user's config folder, then the
// installation's share folder beside the running executable.
std::vector<std::filesystem::path> clientSecretLocations();

}  // namespace ambrel
