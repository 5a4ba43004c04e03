#include "core/earnings/earnings_store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "core/auth/keychain.h"
#include "support/memory_secret_store.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

using std::chrono::seconds;

const Instant kNow = instantFromReferenceSeconds(800000000);

SlowData slowData(Instant fetchedAt) {
    return SlowData{123.45, "€1,234.56", std::nullopt, "May 21, 2026", fetchedAt};
}

class StoreTest : public ::testing::Test {
  protected:
    testing::TempDir dir;
    Defaults defaults{dir.path()};
};

TEST_F(StoreTest, SlowDataIsFreshOnlyWhileYoungerThanTheMaximumAge) {
    const struct {
        const char* when;
        Instant fetchedAt;
        bool fresh;
    } cases[] = {
        {"21599 s ago", kNow - seconds(21599), true},
        {"exactly 21600 s ago", kNow - seconds(21600), false},
        {"a day ago", kNow - seconds(86400), false},
        {"just now", kNow, true},
        {"in the future", kNow + seconds(3600), true},
    };
    for (const auto& c : cases) {
        SlowData::save(defaults, slowData(c.fetchedAt));
        auto loaded = SlowData::load(defaults, 21600, kNow);
        EXPECT_EQ(loaded.has_value(), c.fresh) << c.when;
        if (loaded) {
            EXPECT_EQ(*loaded, slowData(c.fetchedAt)) << c.when;
        }
        // Stale data stays until a complete new record replaces it.
        EXPECT_TRUE(defaults.data(kSlowDataKey).has_value()) << c.when;
    }
}

TEST_F(StoreTest, UnreadableSlowDataLoadsAsNoneAndStaysInPlace) {
    for (const char* bytes : {"not json", "{\"monthLastYear\": 1}", "{\"fetchedAt\": 0}",
                              "{\"monthLastYear\": 1, \"fetchedAt\": 1e300}"}) {
        ASSERT_TRUE(defaults.set(kSlowDataKey, bytes));
        EXPECT_EQ(SlowData::load(defaults, 21600, kNow), std::nullopt) << bytes;
        EXPECT_EQ(defaults.data(kSlowDataKey), bytes);
    }
}

TEST_F(StoreTest, SlowDataLeavesAbsentTextsOutAndKeepsTheOldRecordWhenUnwritable) {
    auto object = nlohmann::json::parse(*encodeSlowData(slowData(kNow)));
    EXPECT_FALSE(object.contains("lastPaymentAmount"));
    EXPECT_EQ(object["fetchedAt"], 800000000);
    EXPECT_EQ(object["balance"], "€1,234.56");

    SlowData::save(defaults, slowData(kNow));
    auto before = defaults.data(kSlowDataKey);
    SlowData broken = slowData(kNow);
    broken.monthLastYear = std::nan("");
    SlowData::save(defaults, broken);
    EXPECT_EQ(defaults.data(kSlowDataKey), before);
}

TEST(Objectives, LoadFallsBackToTheDefaultsWhenNothingReadableIsStored) {
    const struct {
        const char* stored;  // nullptr: no item
        std::optional<std::int32_t> readStatus;
        Objectives expected;
    } cases[] = {
        {nullptr, std::nullopt, {10, 300}},
        {R"({"daily": 20, "monthly": 500.5})", std::nullopt, {20, 500.5}},
        {R"({"daily": 20})", std::nullopt, {10, 300}},
        {R"({"daily": "20", "monthly": 500})", std::nullopt, {10, 300}},
        {"garbage", std::nullopt, {10, 300}},
        {R"({"daily": 20, "monthly": 500})", errSecNotAvailable, {10, 300}},
    };
    for (const auto& c : cases) {
        testing::MemorySecretStore secrets;
        if (c.stored) secrets.put(objectivesItem(), c.stored);
        secrets.readStatus = c.readStatus;
        EXPECT_EQ(Objectives::load(secrets), c.expected) << (c.stored ? c.stored : "no item");
    }
}

TEST(Objectives, SaveWritesTheSharedItemAndDropsErrors) {
    testing::MemorySecretStore secrets;
    Objectives::save(secrets, {25, 750});
    EXPECT_EQ(Objectives::load(secrets), (Objectives{25, 750}));

    secrets.writeStatus = errSecNotAvailable;
    Objectives::save(secrets, {1, 2});
    secrets.writeStatus.reset();
    Objectives::save(secrets, {std::nan(""), 2});
    EXPECT_EQ(Objectives::load(secrets), (Objectives{25, 750}));
}

TEST_F(StoreTest, AccountIdIsStoredAsText) {
    EXPECT_EQ(loadAccountId(defaults), std::nullopt);
    saveAccountId(defaults, "accounts/pub-1234567890");
    EXPECT_EQ(defaults.data(kAccountKey), "accounts/pub-1234567890");
    EXPECT_EQ(loadAccountId(defaults), "accounts/pub-1234567890");
    // An empty name would make every refresh fail until sign-out; it reads as none.
    saveAccountId(defaults, "");
    EXPECT_EQ(loadAccountId(defaults), std::nullopt);
}

// Beside the id, in an entry of its own; a zone ICU does not know reads as none.
TEST_F(StoreTest, AccountZoneIsStoredBesideTheIdAndForgottenWithIt) {
    saveAccountId(defaults, "accounts/pub-1");
    saveAccountTimeZone(defaults, "Asia/Tokyo");
    EXPECT_EQ(defaults.data(kAccountKey), "accounts/pub-1");
    EXPECT_EQ(defaults.data(kAccountTimeZoneKey), "Asia/Tokyo");
    EXPECT_EQ(loadAccountTimeZone(defaults), "Asia/Tokyo");
    saveAccountTimeZone(defaults, "Not/A_Zone");
    EXPECT_EQ(loadAccountTimeZone(defaults), std::nullopt);
    forgetAccount(defaults);
    EXPECT_FALSE(defaults.data(kAccountKey) || defaults.data(kAccountTimeZoneKey));
}

TEST_F(StoreTest, ClearEarningsCacheRemovesItsFourEntriesOnly) {
    clearEarningsCache(defaults);  // an empty domain: nothing to do, nothing fails
    EXPECT_FALSE(std::filesystem::exists(dir.path() / kSnapshotKey));

    for (const char* key :
         {kSnapshotKey, kSlowDataKey, kAccountKey, kAccountTimeZoneKey, "other.key"})
        ASSERT_TRUE(defaults.set(key, "x"));

    clearEarningsCache(defaults);
    for (const char* key : {kSnapshotKey, kSlowDataKey, kAccountKey, kAccountTimeZoneKey})
        EXPECT_FALSE(defaults.data(key).has_value()) << key;
    EXPECT_EQ(defaults.data("other.key"), "x");
}

}  // namespace
}  // namespace ambrel
