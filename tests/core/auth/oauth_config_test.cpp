// Reading the client identity from client_secret.json: which section, which members, which
// file.

#include "core/auth/oauth_config.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace ambrel {
namespace {

const OAuthConfig kInstalled{"id-i", "secret-i", "https://auth.example/i",
                             "https://token.example/i"};
const OAuthConfig kWeb{"id-w", "secret-w", "https://auth.example/w", "https://token.example/w"};

const char* kInstalledSection =
    R"("installed":{"client_id":"id-i","client_secret":"secret-i",)"
    R"("auth_uri":"https://auth.example/i","token_uri":"https://token.example/i"})";
const char* kWebSection =
    R"("web":{"client_id":"id-w","client_secret":"secret-w",)"
    R"("auth_uri":"https://auth.example/w","token_uri":"https://token.example/w"})";

struct Case {
    const char* why;
    std::string document;
    std::optional<OAuthConfig> expected;
};

TEST(OAuthConfig, ParsesEveryCase) {
    const std::string installed = kInstalledSection;
    const std::string web = kWebSection;
    const Case cases[] = {
        {"installed section", "{" + installed + "}", kInstalled},
        {"web section alone", "{" + web + "}", kWeb},
        {"installed wins over web", "{" + web + "," + installed + "}", kInstalled},
        {"installed that is not an object does not fall back", R"({"installed":"x",)" + web + "}",
         std::nullopt},
        {"null installed does not fall back", R"({"installed":null,)" + web + "}", std::nullopt},
        {"number member",
         R"({"installed":{"client_id":"a","client_secret":5,)"
         R"("auth_uri":"b","token_uri":"c"}})",
         std::nullopt},
        {"null member",
         R"({"web":{"client_id":"a","client_secret":null,)"
         R"("auth_uri":"b","token_uri":"c"}})",
         std::nullopt},
        {"missing member", R"({"web":{"client_id":"a","auth_uri":"b","token_uri":"c"}})",
         std::nullopt},
        {"extra keys ignored, values not validated",
         R"({"x":[1],"web":{"client_id":"","client_secret":"s","auth_uri":"not a url",)"
         R"("token_uri":"t","redirect_uris":["http://localhost"],"project_id":"p"}})",
         OAuthConfig{"", "s", "not a url", "t"}},
        {"neither section", R"({"other":{}})", std::nullopt},
        {"top level array", "[" + std::string("{") + installed + "}]", std::nullopt},
        {"not JSON", "{" + installed, std::nullopt},
        {"empty file", "", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(OAuthConfig::parse(c.document), c.expected) << c.why;
}

class OAuthConfigFiles : public ::testing::Test {
  protected:
    std::filesystem::path write(const char* name, const std::string& bytes) {
        auto path = dir.path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    testing::TempDir dir;
};

TEST_F(OAuthConfigFiles, FirstExistingLocationIsRead) {
    auto missing = dir.path() / "absent.json";
    auto first = write("first.json", "{" + std::string(kInstalledSection) + "}");
    auto second = write("second.json", "{" + std::string(kWebSection) + "}");
    EXPECT_EQ(OAuthConfig::load({missing, first, second}), kInstalled);
    EXPECT_EQ(OAuthConfig::load({missing, second, first}), kWeb);
}

TEST_F(OAuthConfigFiles, UnusableFirstFileDoesNotFallBack) {
    auto broken = write("broken.json", "{");
    auto good = write("good.json", "{" + std::string(kWebSection) + "}");
    EXPECT_EQ(OAuthConfig::load({broken, good}), std::nullopt);
    // A folder where the file should be is unreadable, not absent.
    EXPECT_EQ(OAuthConfig::load({dir.path(), good}), std::nullopt);
}

TEST_F(OAuthConfigFiles, NoLocationGivesNothing) {
    EXPECT_EQ(OAuthConfig::load({dir.path() / "a.json", dir.path() / "b.json"}), std::nullopt);
    EXPECT_EQ(OAuthConfig::load({}), std::nullopt);
}

}  // namespace
}  // namespace ambrel
