#pragma once

// The caches in the program's own defaults domain, and the user's objectives in the shared
// secret store. Nothing here reports an error: unreadable values read as absent or as the
// defaults, unwritable values leave what was stored.

#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/platform/clock.h"
#include "core/platform/defaults.h"
#include "core/platform/secret_store.h"

namespace ambrel {

inline constexpr const char* kSnapshotKey = "earnings.snapshot";
inline constexpr const char* kSlowDataKey = "earnings.slowData";
inline constexpr const char* kAccountKey = "adsense.account";
// The account's IANA zone, beside its id: the id's own entry keeps its format.
inline constexpr const char* kAccountTimeZoneKey = "adsense.timeZone";

// The slowly changing, costly part of the figures.
struct SlowData {
    double monthLastYear = 0;
    std::optional<std::string> balance;
    std::optional<std::string> lastPaymentAmount;
    std::optional<std::string> lastPaymentDateLabel;
    Instant fetchedAt;

    bool operator==(const SlowData&) const = default;

    // The record when it is younger than maxAgeSeconds at `now`; a stale record stays stored.
    static std::optional<SlowData> load(const Defaults& defaults, double maxAgeSeconds,
                                        Instant now);
    // Replaces the stored record; when encoding fails nothing is written.
    static void save(Defaults& defaults, const SlowData& data);
};

Result<std::string> encodeSlowData(const SlowData& data);
Result<SlowData> decodeSlowData(std::string_view bytes);

struct Objectives {
    double daily = 10;
    double monthly = 300;

    bool operator==(const Objectives&) const = default;

    // The stored goals, or daily 10 and monthly 300 when none can be read.
    static Objectives load(SecretStore& secrets);
    // Errors are dropped: the caller learns nothing.
    static void save(SecretStore& secrets, const Objectives& objectives);
};

Result<std::string> encodeObjectives(const Objectives& objectives);
Result<Objectives> decodeObjectives(std::string_view bytes);

std::optional<std::string> loadAccountId(const Defaults& defaults);
void saveAccountId(Defaults& defaults, std::string_view account);

// The stored zone when ICU knows it; a damaged one reads as none, so the accounts are listed
// again rather than days counted in a zone that is not the account's.
std::optional<std::string> loadAccountTimeZone(const Defaults& defaults);
void saveAccountTimeZone(Defaults& defaults, std::string_view zone);

// Removes the account id and its zone: the next refresh chooses the account again.
void forgetAccount(Defaults& defaults);

// Removes the snapshot, the account id, its zone and the slow data, in this order.
void clearEarningsCache(Defaults& defaults);

}  // namespace ambrel
