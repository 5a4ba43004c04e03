#include "core/platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "core/platform/data_folders.h"

namespace ambrel {
namespace {

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
    // Started without HOME (a service, a cleaned environment): ask the user database.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr)
        return found->pw_dir;
    return "/";
}

// The base-directory rules ignore a relative value, as if the variable were unset.
std::filesystem::path xdgHome(const char* variable, const char* fallbackBelowHome) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/')
        return value;
    return homeFolder() / fallbackBelowHome;
}

}  // namespace

std::filesystem::path configHome() {
    return xdgHome("XDG_CONFIG_HOME", ".config");
}
std::filesystem::path dataHome() {
    return xdgHome("XDG_DATA_HOME", ".local/share");
}
std::filesystem::path cacheHome() {
    return xdgHome("XDG_CACHE_HOME", ".cache");
}

std::filesystem::path userClientSecretFile() {
    return configHome() / "ambrel" / "client_secret.json";
}

std::vector<std::filesystem::path> clientSecretLocations() {
    std::vector<std::filesystem::path> locations{userClientSecretFile()};
    for (const auto& folder : dataFolders())
        locations.push_back(folder / "ambrel" / "client_secret.json");
    return locations;
}

}  // namespace ambrel
