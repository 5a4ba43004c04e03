// The program's secret-store items and the operations on them, over the in-memory store.

#include "core/auth/keychain.h"

#include <gtest/gtest.h>

#include "support/memory_secret_store.h"

namespace ambrel {
namespace {

using testing::MemorySecretStore;

TEST(Keychain, ItemsShareServiceAndGroupAndDifferByAccount) {
    EXPECT_EQ(refreshTokenItem(),
              (KeychainStore{"com.corvane.ambrel", "K7QW2ZP9RM.com.corvane.ambrel.shared",
                             "google.refresh_token"}));
    EXPECT_EQ(objectivesItem(),
              (KeychainStore{"com.corvane.ambrel", "K7QW2ZP9RM.com.corvane.ambrel.shared",
                             "objectives"}));
}

TEST(Keychain, MissingItemLoadsAsNothing) {
    MemorySecretStore store;
    auto loaded = keychain::loadData(store, refreshTokenItem());
    ASSERT_TRUE(loaded.has_value());
    EXPECT_FALSE(loaded->has_value());
    auto text = keychain::load(store, refreshTokenItem());
    ASSERT_TRUE(text.has_value());
    EXPECT_FALSE(text->has_value());
}

TEST(Keychain, ReadFailureCarriesTheStatus) {
    MemorySecretStore store;
    store.readStatus = errSecNotAvailable;
    for (auto loaded :
         {keychain::loadData(store, objectivesItem()), keychain::load(store, objectivesItem())}) {
        ASSERT_FALSE(loaded.has_value());
        EXPECT_EQ(errorMessage(loaded.error()), "Erreur Keychain (-25291)");
    }
}

TEST(Keychain, SaveReplacesAndKeepsItemsApart) {
    MemorySecretStore store;
    ASSERT_TRUE(keychain::save(store, refreshTokenItem(), "first").has_value());
    ASSERT_TRUE(
        keychain::saveData(store, objectivesItem(), std::string("{\"d\":1}\0x", 9)).has_value());
    ASSERT_TRUE(keychain::save(store, refreshTokenItem(), "second").has_value());
    EXPECT_EQ(keychain::load(store, refreshTokenItem()).value(), "second");
    // Bytes are stored as they are, embedded NUL included.
    EXPECT_EQ(keychain::loadData(store, objectivesItem()).value(), std::string("{\"d\":1}\0x", 9));
}

// A refused save must not cost the user the token already stored: the widget would read the
// user as signed out.
TEST(Keychain, FailedSaveKeepsThePreviousValueAndReportsTheStatus) {
    MemorySecretStore store;
    store.put(refreshTokenItem(), "kept");
    store.writeStatus = -25308;
    auto saved = keychain::save(store, refreshTokenItem(), "new");
    ASSERT_FALSE(saved.has_value());
    ASSERT_TRUE(std::holds_alternative<KeychainError>(saved.error()));
    EXPECT_EQ(std::get<KeychainError>(saved.error()).status, -25308);
    EXPECT_EQ(store.value(refreshTokenItem()), "kept");
}

TEST(Keychain, LoadRepairsInvalidUtf8ButLoadDataDoesNot) {
    MemorySecretStore store;
    store.put(refreshTokenItem(),
              "1//ab\xFF"
              "c");
    EXPECT_EQ(keychain::load(store, refreshTokenItem()).value(),
              "1//ab\xEF\xBF\xBD"
              "c");
    EXPECT_EQ(keychain::loadData(store, refreshTokenItem()).value(),
              "1//ab\xFF"
              "c");
}

TEST(Keychain, DeleteReturnsTheStoreStatus) {
    MemorySecretStore store;
    store.put(refreshTokenItem(), "t");
    EXPECT_EQ(keychain::deleteItem(store, refreshTokenItem()), errSecSuccess);
    EXPECT_FALSE(store.value(refreshTokenItem()).has_value());
    EXPECT_EQ(keychain::deleteItem(store, refreshTokenItem()), errSecItemNotFound);
    store.removeStatus = -25244;
    EXPECT_EQ(keychain::deleteItem(store, refreshTokenItem()), -25244);
}

}  // namespace
}  // namespace ambrel
