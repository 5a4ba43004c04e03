#include "core/platform/defaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "file_size_limit.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

mode_t modeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// Values are raw bytes: embedded NULs and non-UTF-8 bytes survive, and a later set replaces.
TEST(Defaults, StoresRawBytesAndReplacesThem) {
    TempDir dir;
    Defaults defaults(dir.path() / "domain");
    const std::string binary("{\"a\":1}\0\xff\xfe", 10);

    EXPECT_FALSE(defaults.data("earnings.snapshot"));
    ASSERT_TRUE(defaults.set("earnings.snapshot", binary));
    EXPECT_EQ(defaults.data("earnings.snapshot"), binary);
    ASSERT_TRUE(defaults.set("earnings.snapshot", "short"));
    EXPECT_EQ(defaults.data("earnings.snapshot"), "short");
    ASSERT_TRUE(defaults.set("adsense.account", ""));
    EXPECT_EQ(defaults.data("adsense.account"), "") << "an empty value is a value, not absence";
}

// Sign-out clears keys that may never have been written; that must be harmless.
TEST(Defaults, RemoveDeletesTheKeyAndIgnoresMissingOnes) {
    TempDir dir;
    Defaults defaults(dir.path());
    ASSERT_TRUE(defaults.set("earnings.slowData", "x"));
    defaults.remove("earnings.slowData");
    defaults.remove("earnings.slowData");
    defaults.remove("adsense.account");
    EXPECT_FALSE(defaults.data("earnings.slowData"));
}

// The caches hold account ids and figures: private folder, private files, no leftovers.
TEST(Defaults, CreatesAPrivateFolderAndPrivateFilesWithoutLeftovers) {
    TempDir dir;
    const fs::path folder = dir.path() / "cache" / "ambrel" / "com.corvane.ambrel";
    Defaults defaults(folder);
    EXPECT_FALSE(fs::exists(folder)) << "reading must not create the folder";
    EXPECT_FALSE(defaults.data("earnings.snapshot"));
    EXPECT_FALSE(fs::exists(folder));

    ASSERT_TRUE(defaults.set("earnings.snapshot", "one"));
    ASSERT_TRUE(defaults.set("earnings.snapshot", "two"));
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(folder / "earnings.snapshot"), 0600u);
    EXPECT_EQ(entriesIn(folder), 1u) << "temporary files must not stay behind";
}

// A write that fails half way (here: the disk is "full") keeps the previous value whole.
TEST(Defaults, FailedWriteKeepsThePreviousValue) {
    TempDir dir;
    Defaults defaults(dir.path());
    ASSERT_TRUE(defaults.set("earnings.slowData", "previous"));
    {
        testing::FileSizeLimit limit(64);
        EXPECT_FALSE(defaults.set("earnings.slowData", std::string(4096, 'n')));
    }
    EXPECT_EQ(defaults.data("earnings.slowData"), "previous");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

// Keys never come from outside, but a key must still never reach beyond the folder or
// collide with the hidden temporary files.
TEST(Defaults, RefusesKeysThatAreNotPlainNames) {
    TempDir dir;
    Defaults defaults(dir.path() / "domain");
    ASSERT_TRUE(fs::create_directory(dir.path() / "domain"));
    for (std::string_view key : {"", ".hidden", "..", "../escape", "a/b", "/abs"}) {
        SCOPED_TRACE(std::string(key));
        EXPECT_FALSE(defaults.set(key, "x"));
        EXPECT_FALSE(defaults.data(key));
    }
    EXPECT_FALSE(fs::exists(dir.path() / "escape"));
    EXPECT_EQ(entriesIn(dir.path() / "domain"), 0u);
}

// A key whose file is anything but a private regular file reads as no value rather than
// failing: a folder, a link (never followed to what it names), a FIFO (which must not block the
// program's start), a file of someone else, one beyond the size any value has.
TEST(Defaults, UnreadableEntryReadsAsAbsent) {
    TempDir dir;
    const fs::path entry = dir.path() / "earnings.snapshot";
    std::ofstream(dir.path() / "elsewhere") << "{}";
    std::vector<std::pair<const char*, std::function<void()>>> kinds = {
        {"folder", [&] { fs::create_directory(entry); }},
        {"symbolic link", [&] { fs::create_symlink(dir.path() / "elsewhere", entry); }},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(entry.c_str(), 0600), 0); }},
        {"too large",
         [&] { std::ofstream(entry) << std::string(Defaults::kMaxValueBytes + 1, ' '); }}};
    if (::geteuid() == 0) {  // only root can give a file away
        kinds.emplace_back("someone else's", [&] {
            std::ofstream(entry) << "{}";
            ASSERT_EQ(::chown(entry.c_str(), 65534, 65534), 0);
        });
    }
    for (const auto& [kind, make] : kinds) {
        SCOPED_TRACE(kind);
        fs::remove_all(entry);
        make();
        EXPECT_FALSE(Defaults(dir.path()).data("earnings.snapshot"));
    }
}

// A cache folder left open to others by an earlier version is tightened on the next write; one
// owned by another user is not written into.
TEST(Defaults, WritesTightenTheFolderAndSkipSomeoneElses) {
    TempDir dir;
    const fs::path folder = dir.path() / "domain";
    ASSERT_TRUE(fs::create_directory(folder));
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    Defaults defaults(folder);
    ASSERT_TRUE(defaults.set("adsense.account", "accounts/pub-1"));
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(defaults.data("adsense.account"), "accounts/pub-1");

    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder away";
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(defaults.set("earnings.slowData", "{}"));
    EXPECT_FALSE(fs::exists(folder / "earnings.slowData"));
}

TEST(Defaults, BundleDomainsLiveInTheCacheHome) {
    TempDir dir;
    testing::ScopedEnv env;
    env.set("XDG_CACHE_HOME", dir.path().c_str());
    EXPECT_EQ(Defaults::forBundle("com.corvane.ambrel.widget").folder(),
              dir.path() / "ambrel" / "com.corvane.ambrel.widget");
}

}  // namespace
}  // namespace ambrel
