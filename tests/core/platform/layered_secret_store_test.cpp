#include "core/platform/layered_secret_store.h"

#include <gtest/gtest.h>

#include "support/memory_secret_store.h"

namespace ambrel {
namespace {

using testing::MemorySecretStore;

const KeychainStore kToken{"com.corvane.ambrel", "K7QW2ZP9RM.com.corvane.ambrel.shared",
                           "google.refresh_token"};
constexpr std::int32_t kLocked = -25308;
constexpr std::int32_t kFileFailure = -36;

// The bytes read, or a text naming the failure, for readable comparisons.
std::string readText(SecretStore& store) {
    auto read = store.read(kToken);
    if (!read) return "status " + std::to_string(read.error());
    return read->value_or("no item");
}

// The application's store over two in-memory stores whose outcomes the tests force.
struct Layers {
    Layers() {
        auto service = std::make_unique<MemorySecretStore>();
        auto files = std::make_unique<MemorySecretStore>();
        keyring = service.get();
        leftovers = files.get();
        store = std::make_unique<LayeredSecretStore>(std::move(service), std::move(files),
                                                     SecretStoreUse::readWrite);
    }
    MemorySecretStore* keyring;
    MemorySecretStore* leftovers;
    std::unique_ptr<LayeredSecretStore> store;
};

// A move the service refuses (a locked keyring) keeps the file, and the user signed in; the
// next read moves it.
TEST(LayeredSecretStore, FailedMoveKeepsTheFile) {
    Layers layers;
    layers.leftovers->put(kToken, "1//plain");
    layers.keyring->writeStatus = kLocked;
    EXPECT_EQ(readText(*layers.store), "1//plain");
    EXPECT_EQ(layers.leftovers->value(kToken), "1//plain");

    layers.keyring->writeStatus.reset();
    EXPECT_EQ(readText(*layers.store), "1//plain");
    EXPECT_EQ(layers.leftovers->value(kToken), std::nullopt);
    EXPECT_EQ(layers.keyring->value(kToken), "1//plain");
}

// Sign-out tries both stores and reports a failure of either. A file copy that cannot be
// removed would be read instead of a new value, so the save reports that failure too, and
// reads keep giving the previous value.
TEST(LayeredSecretStore, ChangesReachBothStoresAndReportEitherFailure) {
    Layers layers;
    layers.keyring->put(kToken, "1//old");
    layers.leftovers->put(kToken, "1//plain");
    layers.keyring->removeStatus = kLocked;
    EXPECT_EQ(layers.store->remove(kToken), kLocked);
    EXPECT_EQ(layers.leftovers->value(kToken), std::nullopt) << "the plaintext goes regardless";

    layers.keyring->removeStatus.reset();
    layers.leftovers->put(kToken, "1//plain");
    layers.leftovers->removeStatus = kFileFailure;
    EXPECT_EQ(layers.store->write(kToken, "1//new"), kFileFailure);
    EXPECT_EQ(readText(*layers.store), "1//plain");
}

}  // namespace
}  // namespace ambrel
