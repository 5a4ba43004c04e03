#pragma once

// Where a program finds the data installed with it (the message catalogs, an installed
// client_secret.json). Every program follows the same rule, so that a copy installed under any
// prefix, or run from its build tree, reads its own data rather than another installation's:
//   1. beside the program: <exe>/../share;
//   2. the build tree, when the program runs from one (<build>/<folder>/<folder>/<exe>, told by
//      <build>/CMakeCache.txt): <build> itself, which holds the compiled catalogs in locale/;
//   3. the share folder of the prefix the build was configured for.

#include <filesystem>
#include <optional>
#include <vector>

namespace ambrel {

// The folders above, in order and without repeats, for the program at `executable`.
std::vector<std::filesystem::path> dataFolders(const std::filesystem::path& executable);
// The same for the running program.
std::vector<std::filesystem::path> dataFolders();

// The first <folder>/<relative> of dataFolders() that exists.
std::optional<std::filesystem::path> findData(const std::filesystem::path& relative);

}  // namespace ambrel
