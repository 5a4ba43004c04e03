#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/platform/file_secret_store.h"
#include "core/platform/libsecret_secret_store.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

bool inTestSession() {
    return std::getenv("AMBREL_TEST_SESSION") != nullptr;
}

// Outside scripts/with-test-session the user's own keyring must not be touched: skip. Inside
// it a Secret Service is always provided, so its absence is a failure.
#define REQUIRE_SECRET_SERVICE()                                                              \
    do {                                                                                      \
        if (!inTestSession())                                                                 \
            GTEST_SKIP() << "run under scripts/with-test-session for a private keyring";      \
        ASSERT_TRUE(LibsecretSecretStore::serviceAnswers())                                   \
            << "AMBREL_TEST_SESSION is set but no Secret Service answers on the session bus"; \
    } while (false)

// A distinct item per test, so tests sharing one keyring cannot see each other's items.
KeychainStore itemFor(std::string_view account) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/') c = '.';
    return {"com.corvane.ambrel.test." + name, "K7QW2ZP9RM.com.corvane.ambrel.shared",
            std::string(account)};
}

std::string toolAttributes(const KeychainStore& item) {
    return " service '" + item.service + "' access_group '" + item.accessGroup + "' account '" +
           item.account + "'";
}

struct PipeCloser {
    void operator()(FILE* pipe) const { ::pclose(pipe); }
};

// Runs secret-tool with the secret on its standard input (never on the command line).
bool storeWithTool(const KeychainStore& item, std::string_view secret) {
    const std::string command = "secret-tool store --label='Stored by hand'" + toolAttributes(item);
    FILE* pipe = ::popen(command.c_str(), "w");
    if (pipe == nullptr) return false;
    std::fwrite(secret.data(), 1, secret.size(), pipe);
    return ::pclose(pipe) == 0;
}

std::string toolOutput(const std::string& command) {
    std::unique_ptr<FILE, PipeCloser> pipe(::popen(command.c_str(), "r"));
    std::string out;
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        out.append(buffer, n);
    return out;
}

std::string lookupWithTool(const KeychainStore& item) {
    return toolOutput("secret-tool lookup" + toolAttributes(item) + " 2>/dev/null");
}

// secret-tool prints one "[/path/of/item]" line per matching item.
int itemsSeenByTool(const KeychainStore& item) {
    const std::string listing =
        toolOutput("secret-tool search --all" + toolAttributes(item) + " 2>&1");
    int count = 0;
    for (std::size_t start = 0; start < listing.size();) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string::npos) end = listing.size();
        if (listing.compare(start, 2, "[/") == 0) ++count;
        start = end + 1;
    }
    return count;
}

std::optional<std::string> valueOf(SecretStore& store, const KeychainStore& item) {
    auto read = store.read(item);
    EXPECT_TRUE(read.has_value()) << "read failed with status " << (read ? 0 : read.error());
    return read ? *read : std::nullopt;
}

// The contract both stores keep, run against the real Secret Service and the file fallback.
struct StoreKind {
    const char* name;
    bool needsSecretService;
};

void PrintTo(const StoreKind& kind, std::ostream* out) {
    *out << kind.name;
}

class SecretStoreContract : public ::testing::TestWithParam<StoreKind> {
  protected:
    void SetUp() override {
        if (GetParam().needsSecretService) {
            REQUIRE_SECRET_SERVICE();
            store_ = std::make_unique<LibsecretSecretStore>();
        } else {
            store_ = std::make_unique<FileSecretStore>(dir_.path() / "keychain");
        }
    }
    SecretStore& store() { return *store_; }

  private:
    testing::TempDir dir_;
    std::unique_ptr<SecretStore> store_;
};

TEST_P(SecretStoreContract, WriteReadReplaceRemove) {
    const KeychainStore item = itemFor("google.refresh_token");
    EXPECT_EQ(valueOf(store(), item), std::nullopt);
    EXPECT_EQ(store().remove(item), errSecItemNotFound);

    ASSERT_EQ(store().write(item, "1//first"), errSecSuccess);
    EXPECT_EQ(valueOf(store(), item), "1//first");
    ASSERT_EQ(store().write(item, "1//second"), errSecSuccess);
    EXPECT_EQ(valueOf(store(), item), "1//second");

    EXPECT_EQ(store().remove(item), errSecSuccess);
    EXPECT_EQ(valueOf(store(), item), std::nullopt);
    EXPECT_EQ(store().remove(item), errSecItemNotFound);
}

TEST_P(SecretStoreContract, BinaryBytesRoundTrip) {
    const KeychainStore item = itemFor("objectives");
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    ASSERT_EQ(store().write(item, bytes), errSecSuccess);
    EXPECT_EQ(valueOf(store(), item), bytes);
    store().remove(item);
}

TEST_P(SecretStoreContract, EachAttributeNamesADifferentItem) {
    const KeychainStore base = itemFor("objectives");
    KeychainStore otherAccount = base, otherGroup = base, otherService = base;
    otherAccount.account += ".x";
    otherGroup.accessGroup += ".x";
    otherService.service += ".x";
    ASSERT_EQ(store().write(base, "base"), errSecSuccess);
    for (const KeychainStore& other : {otherAccount, otherGroup, otherService})
        EXPECT_EQ(valueOf(store(), other), std::nullopt);
    ASSERT_EQ(store().write(otherAccount, "other"), errSecSuccess);
    EXPECT_EQ(valueOf(store(), base), "base");
    for (const KeychainStore& item : {base, otherAccount}) store().remove(item);
}

INSTANTIATE_TEST_SUITE_P(Stores, SecretStoreContract,
                         ::testing::Values(StoreKind{"SecretService", true},
                                           StoreKind{"Files", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// An item stored by hand with secret-tool is found by the three attributes alone, and our
// write then replaces its value in place instead of adding a second item beside it.
TEST(LibsecretSecretStore, SharesItemsWithSecretTool) {
    REQUIRE_SECRET_SERVICE();
    LibsecretSecretStore store;
    const KeychainStore item = itemFor("google.refresh_token");
    ASSERT_TRUE(storeWithTool(item, "1//from-the-tool"));
    EXPECT_EQ(valueOf(store, item), "1//from-the-tool");

    ASSERT_EQ(store.write(item, "1//ours"), errSecSuccess);
    EXPECT_EQ(itemsSeenByTool(item), 1);
    EXPECT_EQ(valueOf(store, item), "1//ours");
    EXPECT_EQ(lookupWithTool(item), "1//ours");

    EXPECT_EQ(store.remove(item), errSecSuccess);
    EXPECT_EQ(itemsSeenByTool(item), 0);
}

// A token stored while no Secret Service answered is still found once one does: the widget
// reads it where it is, the application moves it into the service and deletes the file, and a
// sign-out deletes the item from both places.
TEST(SystemSecretStore, MovesItemsLeftInFilesIntoTheSecretService) {
    REQUIRE_SECRET_SERVICE();
    testing::TempDir data;
    testing::ScopedEnv env;
    env.set("XDG_DATA_HOME", data.path().c_str());
    const KeychainStore item = itemFor("google.refresh_token");
    FileSecretStore files(data.path() / "ambrel" / "keychain");
    LibsecretSecretStore service;
    ASSERT_EQ(files.write(item, "1//plain"), errSecSuccess);

    auto widget = makeSystemSecretStore(SecretStoreUse::readOnly);
    EXPECT_EQ(valueOf(*widget, item), "1//plain");
    EXPECT_EQ(widget->remove(item), -61) << "the widget never writes nor deletes";
    EXPECT_TRUE(std::filesystem::exists(files.fileOf(item)));
    EXPECT_EQ(valueOf(service, item), std::nullopt);

    auto app = makeSystemSecretStore();
    EXPECT_EQ(valueOf(*app, item), "1//plain");
    EXPECT_FALSE(std::filesystem::exists(files.fileOf(item))) << "no plaintext left behind";
    EXPECT_EQ(valueOf(service, item), "1//plain");

    // Signed in once more in a session without the service, then signed out with it.
    ASSERT_EQ(files.write(item, "1//newer"), errSecSuccess);
    EXPECT_EQ(app->remove(item), errSecSuccess);
    EXPECT_EQ(valueOf(service, item), std::nullopt);
    EXPECT_EQ(valueOf(files, item), std::nullopt);
    EXPECT_EQ(valueOf(*widget, item), std::nullopt);
}

}  // namespace
}  // namespace ambrel
