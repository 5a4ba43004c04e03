#include "core/platform/paths.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"

namespace ambrel {
namespace {

using testing::ScopedEnv;

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

TEST(Paths, ClientSecretIsLookedForInConfigThenBesideTheProgram) {
    ScopedEnv env;
    env.set("XDG_CONFIG_HOME", "/cfg");
    const auto locations = clientSecretLocations();
    ASSERT_EQ(locations.size(), 2u);
    EXPECT_EQ(locations[0], "/cfg/ambrel/client_secret.json");
    const auto exeDir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    EXPECT_EQ(locations[1], (exeDir.parent_path() / "share/ambrel/client_secret.json"));
}

}  // namespace
}  // namespace ambrel
