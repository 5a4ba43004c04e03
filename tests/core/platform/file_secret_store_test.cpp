#include "core/platform/file_secret_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <vector>

#include "file_size_limit.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

const KeychainStore kToken{"com.corvane.ambrel", "K7QW2ZP9RM.com.corvane.ambrel.shared",
                           "google.refresh_token"};

std::optional<std::string> valueOf(SecretStore& store, const KeychainStore& item) {
    auto read = store.read(item);
    EXPECT_TRUE(read.has_value()) << "status " << (read ? 0 : read.error());
    return read ? *read : std::nullopt;
}

TEST(FileSecretStore, WriteReadReplaceRemove) {
    TempDir dir;
    FileSecretStore store(dir.path() / "keychain");
    EXPECT_EQ(valueOf(store, kToken), std::nullopt);
    EXPECT_EQ(store.remove(kToken), errSecItemNotFound);

    const std::string binary("1//0\0g\xff\xc3(", 9);  // NUL and invalid UTF-8 are kept as is
    ASSERT_EQ(store.write(kToken, binary), errSecSuccess);
    EXPECT_EQ(valueOf(store, kToken), binary);
    ASSERT_EQ(store.write(kToken, "new"), errSecSuccess);
    EXPECT_EQ(valueOf(store, kToken), "new");

    EXPECT_EQ(store.remove(kToken), errSecSuccess);
    EXPECT_EQ(valueOf(store, kToken), std::nullopt);
    EXPECT_EQ(store.remove(kToken), errSecItemNotFound);
}

// Items are told apart by all three attributes, and joining them cannot make two triples
// collide (a naive "service/group/account" name would).
TEST(FileSecretStore, EveryAttributeSeparatesItems) {
    TempDir dir;
    FileSecretStore store(dir.path());
    const KeychainStore items[] = {
        {"s", "g", "a"},  {"s", "g", "b"},
        {"s", "h", "a"},  {"t", "g", "a"},
        {"ab", "c", "d"}, {"a", "bc", "d"},
        {"a/b", "", "c"}, {"a", "b/", "c"},
        {"", "", ""},     {"../..", "/etc", "passwd"},
    };
    for (std::size_t i = 0; i < std::size(items); ++i)
        ASSERT_EQ(store.write(items[i], std::to_string(i)), errSecSuccess);
    for (std::size_t i = 0; i < std::size(items); ++i)
        EXPECT_EQ(valueOf(store, items[i]), std::to_string(i)) << "item " << i;
    EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.path()), {})),
              std::size(items));
}

// The application writes and the widget reads: two stores on one folder share the items.
TEST(FileSecretStore, StoresOnTheSameFolderShareItems) {
    TempDir dir;
    FileSecretStore app(dir.path()), widget(dir.path());
    ASSERT_EQ(app.write(kToken, "shared"), errSecSuccess);
    EXPECT_EQ(valueOf(widget, kToken), "shared");
}

TEST(FileSecretStore, KeepsSecretsInAPrivateFolderAndPrivateFiles) {
    TempDir dir;
    const fs::path folder = dir.path() / "data" / "ambrel" / "keychain";
    FileSecretStore store(folder);
    ASSERT_EQ(store.write(kToken, "secret"), errSecSuccess);
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    ASSERT_EQ(::stat(store.fileOf(kToken).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

// Losing the refresh token to a full disk would sign the user out silently.
TEST(FileSecretStore, FailedWriteKeepsThePreviousSecret) {
    TempDir dir;
    FileSecretStore store(dir.path());
    ASSERT_EQ(store.write(kToken, "previous"), errSecSuccess);
    std::int32_t status;
    {
        testing::FileSizeLimit limit(16);
        status = store.write(kToken, std::string(1024, 'n'));
    }
    EXPECT_LT(status, 0);
    EXPECT_EQ(valueOf(store, kToken), "previous");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

// An item that exists but cannot be read is a failure, never "not signed in".
TEST(FileSecretStore, UnreadableItemIsAFailureNotAbsence) {
    TempDir dir;
    FileSecretStore store(dir.path());
    ASSERT_TRUE(fs::create_directory(store.fileOf(kToken)));
    auto read = store.read(kToken);
    ASSERT_FALSE(read.has_value());
    EXPECT_LT(read.error(), 0);
    EXPECT_NE(read.error(), errSecItemNotFound);
}

// Only a regular file of this user is a secret: a link is never followed to what it names,
// a FIFO never blocks the read, and a file of someone else or of an absurd size is refused.
// Each is a failure to report, not "no item".
TEST(FileSecretStore, AnythingButAPrivateFileIsAFailure) {
    TempDir dir;
    FileSecretStore store(dir.path() / "keychain");
    ASSERT_EQ(store.write(kToken, "1//real"), errSecSuccess);
    const fs::path file = store.fileOf(kToken);
    const fs::path elsewhere = dir.path() / "elsewhere";
    std::ofstream(elsewhere) << "1//planted";

    std::vector<std::pair<const char*, std::function<void()>>> kinds = {
        {"symbolic link", [&] { fs::create_symlink(elsewhere, file); }},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }},
        {"too large",
         [&] { std::ofstream(file) << std::string(FileSecretStore::kMaxItemBytes + 1, 'x'); }}};
    if (::geteuid() == 0) {  // only root can give a file away
        kinds.emplace_back("someone else's", [&] {
            std::ofstream(file) << "1//theirs";
            ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        });
    }
    for (const auto& [kind, make] : kinds) {
        SCOPED_TRACE(kind);
        fs::remove(file);
        make();
        auto read = store.read(kToken);
        ASSERT_FALSE(read.has_value()) << "read as " << read->value_or("no item");
        EXPECT_NE(read.error(), errSecItemNotFound);
    }
}

// A keychain folder made earlier with a loose mode is tightened; one that another user owns
// is not used at all, since its owner could swap the files inside.
TEST(FileSecretStore, TightensItsFolderAndRefusesSomeoneElses) {
    TempDir dir;
    const fs::path folder = dir.path() / "keychain";
    ASSERT_TRUE(fs::create_directory(folder));
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    FileSecretStore store(folder);
    ASSERT_EQ(valueOf(store, kToken), std::nullopt);
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u) << "tightened by a mere read";

    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder away";
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(store.read(kToken).has_value());
    EXPECT_LT(store.write(kToken, "1//token"), 0);
    EXPECT_FALSE(fs::exists(store.fileOf(kToken)));
}

// With no session bus at all the system store is the file store in the user's data folder.
TEST(SystemSecretStore, FallsBackToFilesWithoutASessionBus) {
    TempDir dir;
    testing::ScopedEnv env;
    env.set("DBUS_SESSION_BUS_ADDRESS", nullptr)
        .set("XDG_RUNTIME_DIR", dir.path().c_str())
        .set("XDG_DATA_HOME", dir.path().c_str());
    auto store = makeSystemSecretStore();
    ASSERT_NE(dynamic_cast<FileSecretStore*>(store.get()), nullptr);
    ASSERT_EQ(store->write(kToken, "t"), errSecSuccess);
    FileSecretStore atXdgLocation(dir.path() / "ambrel" / "keychain");
    EXPECT_EQ(valueOf(atXdgLocation, kToken), "t");
}

}  // namespace
}  // namespace ambrel
