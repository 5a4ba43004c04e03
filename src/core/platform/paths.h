#pragma once

// Where the programs keep their files, after the XDG base-directory rules.

#include <filesystem>
#include <vector>

namespace ambrel {

std::filesystem::path configHome();  // ${XDG_CONFIG_HOME:-~/.config}
std::filesystem::path dataHome();    // ${XDG_DATA_HOME:-~/.local/share}
std::filesystem::path cacheHome();   // ${XDG_CACHE_HOME:-~/.cache}

// ${XDG_CONFIG_HOME:-~/.config}/ambrel/client_secret.json: the user's own client file.
std::filesystem::path userClientSecretFile();

// The places client_secret.json is looked for, in order: the user's config folder, then
// ambrel/ in each data folder of the running program (data_folders.h).
std::vector<std::filesystem::path> clientSecretLocations();

}  // namespace ambrel
