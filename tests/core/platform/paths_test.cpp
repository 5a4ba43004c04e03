#include "core/platform/paths.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/platform/data_folders.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

struct XdgCase {
    const char* variable;
    std::filesystem::path (*home)();
    const char* belowHome;
};

// Each home follows its variable when it is absolute; unset, empty or relative values fall
// back to the folder below $HOME, as the base-directory rules say.
TEST(Paths, XdgHomesFollowAbsoluteVariablesElseHome) {
    for (const XdgCase& c : {XdgCase{"XDG_CONFIG_HOME", configHome, ".config"},
                             XdgCase{"XDG_DATA_HOME", dataHome, ".local/share"},
                             XdgCase{"XDG_CACHE_HOME", cacheHome, ".cache"}}) {
        SCOPED_TRACE(c.variable);
        ScopedEnv env;
        env.set("HOME", "/home/someone");
        env.set(c.variable, "/custom/place");
        EXPECT_EQ(c.home(), "/custom/place");
        for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/dir"}) {
            env.set(c.variable, ignored);
            EXPECT_EQ(c.home(), std::filesystem::path("/home/someone") / c.belowHome);
        }
    }
}

// Without HOME the user database still names a real, absolute home.
TEST(Paths, MissingHomeFallsBackToTheUserDatabase) {
    ScopedEnv env;
    env.set("HOME", nullptr).set("XDG_CONFIG_HOME", nullptr);
    const auto config = configHome();
    EXPECT_TRUE(config.is_absolute());
    EXPECT_EQ(config.filename(), ".config");
}

TEST(Paths, ClientSecretIsLookedForInConfigThenInEachDataFolder) {
    ScopedEnv env;
    env.set("XDG_CONFIG_HOME", "/cfg");
    const auto locations = clientSecretLocations();
    const auto folders = dataFolders();
    ASSERT_EQ(locations.size(), folders.size() + 1);
    EXPECT_EQ(locations[0], "/cfg/ambrel/client_secret.json");
    for (std::size_t i = 0; i < folders.size(); ++i)
        EXPECT_EQ(locations[i + 1], folders[i] / "ambrel/client_secret.json");
}

// Beside the program, then its build tree (only where a CMake cache marks one), then the
// configured prefix, each once.
TEST(DataFolders, BesideTheProgramThenTheBuildTreeThenThePrefix) {
    const TempDir dir;
    const auto build = dir.path() / "build";
    std::filesystem::create_directories(build / "src/app");
    std::ofstream(build / "CMakeCache.txt") << "";
    const std::filesystem::path prefix = AMBREL_DATA_DIR;
    EXPECT_EQ(dataFolders(build / "src/app/ambrel"),
              (std::vector<std::filesystem::path>{build / "src/share", build, prefix}));
    EXPECT_EQ(dataFolders(dir.path() / "opt/bin/ambrel"),
              (std::vector<std::filesystem::path>{dir.path() / "opt/share", prefix}));
    EXPECT_EQ(dataFolders(prefix / "../bin/ambrel"), std::vector{prefix});
}

}  // namespace
}  // namespace ambrel
