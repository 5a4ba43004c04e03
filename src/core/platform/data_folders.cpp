#include "core/platform/data_folders.h"

#include <algorithm>
#include <system_error>

namespace ambrel {

std::vector<std::filesystem::path> dataFolders(const std::filesystem::path& executable) {
    namespace fs = std::filesystem;
    std::vector<fs::path> folders;
    const auto add = [&folders](const fs::path& folder) {
        fs::path normal = folder.lexically_normal();
        if (!normal.has_filename()) normal = normal.parent_path();  // "<build>/" of "src/.."
        if (std::ranges::find(folders, normal) == folders.end()) folders.push_back(normal);
    };
    if (!executable.empty()) {
        const fs::path bin = executable.parent_path();
        add(bin / ".." / "share");
        const fs::path build = bin / ".." / "..";
        std::error_code error;
        if (fs::is_regular_file(build / "CMakeCache.txt", error)) add(build);
    }
    add(AMBREL_DATA_DIR);
    return folders;
}

std::vector<std::filesystem::path> dataFolders() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return dataFolders(error ? std::filesystem::path() : executable);
}

std::optional<std::filesystem::path> findData(const std::filesystem::path& relative) {
    for (const auto& folder : dataFolders()) {
        std::error_code error;
        if (std::filesystem::exists(folder / relative, error)) return folder / relative;
    }
    return std::nullopt;
}

}  // namespace ambrel
