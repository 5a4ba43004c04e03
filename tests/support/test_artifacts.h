#pragma once

// Where a test run leaves what a person should look at (screenshots):
// ${AMBREL_BUILD_DIR}/test-artifacts, kept in the build tree after the run; outside ctest, a
// "test-artifacts" folder in the working directory.

#include <cstdlib>
#include <filesystem>

namespace ambrel::testing {

inline std::filesystem::path testArtifactsFolder() {
    const char* build = std::getenv("AMBREL_BUILD_DIR");
    const std::filesystem::path root = build != nullptr && *build != '\0' ? build : ".";
    std::filesystem::path folder = root / "test-artifacts";
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace ambrel::testing
