// The Secret Service with its collection locked. ctest runs this in a keyring of its own (a
// fresh private session) on a virtual display: the unlock prompt really shows, and nobody
// answers it.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "core/auth/keychain.h"
#include "core/platform/libsecret_secret_store.h"

namespace ambrel {
namespace {

bool lockDefaultCollection() {
    return std::system(
               "dbus-send --session --print-reply=literal --dest=org.freedesktop.secrets "
               "/org/freedesktop/secrets org.freedesktop.Secret.Service.Lock "
               "array:objpath:/org/freedesktop/secrets/aliases/default >/dev/null") == 0;
}

// A locked token is still stored: reading it must say the keychain failed, not "signed out",
// and an unanswered prompt must end each call instead of holding it for good.
TEST(LockedKeyring, CallsFailAsLockedOnceThePromptGoesUnanswered) {
    if (std::getenv("AMBREL_OWN_KEYRING") == nullptr)
        GTEST_SKIP()
            << "locks the session's keyring: run it through ctest, in a keyring of its own";
    ASSERT_TRUE(LibsecretSecretStore::serviceAnswers());
    LibsecretSecretStore store(std::chrono::seconds(3));
    const KeychainStore item = refreshTokenItem();
    ASSERT_EQ(store.write(item, "1//locked-away"), errSecSuccess);
    ASSERT_TRUE(lockDefaultCollection());

    auto read = keychain::load(store, item);
    ASSERT_FALSE(read.has_value()) << "read as " << (read && *read ? **read : "no item");
    EXPECT_EQ(errorMessage(read.error()), "Erreur Keychain (-25308)");
    EXPECT_EQ(store.write(item, "1//other"), -25308);
    EXPECT_EQ(store.write(objectivesItem(), "{}"), -25308) << "a new item, into the collection";
    EXPECT_EQ(store.remove(item), -25308);
}

}  // namespace
}  // namespace ambrel
