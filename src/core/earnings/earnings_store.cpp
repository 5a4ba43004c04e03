#include "core/earnings/earnings_store.h"

#include <utility>

#include "core/auth/keychain.h"
#include "core/earnings/account_calendar.h"
#include "core/earnings/snapshot.h"
#include "core/platform/json.h"

namespace ambrel {
namespace {

using json::Json;

constexpr const char* kSlowDataWhat = "slow data";
constexpr const char* kObjectivesWhat = "objectives";

constexpr std::pair<const char*, std::optional<std::string> SlowData::*> kSlowTexts[] = {
    {"balance", &SlowData::balance},
    {"lastPaymentAmount", &SlowData::lastPaymentAmount},
    {"lastPaymentDateLabel", &SlowData::lastPaymentDateLabel},
};

json::Decoded<SlowData> slowDataFields(const Json& object) {
    SlowData data;
    auto monthLastYear = json::requiredNumber(object, "monthLastYear", kSlowDataWhat);
    if (!monthLastYear) return std::unexpected(monthLastYear.error());
    data.monthLastYear = *monthLastYear;
    for (const auto& [key, field] : kSlowTexts) {
        auto text = json::optionalString(object, key, kSlowDataWhat);
        if (!text) return std::unexpected(text.error());
        data.*field = std::move(*text);
    }
    auto seconds = json::requiredNumber(object, "fetchedAt", kSlowDataWhat);
    if (!seconds) return std::unexpected(seconds.error());
    auto fetchedAt = storedInstant(*seconds);
    if (!fetchedAt)
        return std::unexpected(DecodingError{std::string(kSlowDataWhat) +
                                             ": member \"fetchedAt\" is not a usable date"});
    data.fetchedAt = *fetchedAt;
    return data;
}

json::Decoded<Objectives> objectivesFields(const Json& object) {
    auto daily = json::requiredNumber(object, "daily", kObjectivesWhat);
    if (!daily) return std::unexpected(daily.error());
    auto monthly = json::requiredNumber(object, "monthly", kObjectivesWhat);
    if (!monthly) return std::unexpected(monthly.error());
    return Objectives{*daily, *monthly};
}

Result<std::string> dumpResult(const Json& object, const char* what) {
    auto bytes = json::dump(object, what);
    if (!bytes) return std::unexpected(Error{bytes.error()});
    return std::move(*bytes);
}

}  // namespace

Result<std::string> encodeSlowData(const SlowData& data) {
    Json object = Json::object();
    object["monthLastYear"] = data.monthLastYear;
    for (const auto& [key, field] : kSlowTexts)
        if (const auto& text = data.*field) object[key] = *text;
    object["fetchedAt"] = secondsSinceReferenceDate(data.fetchedAt);
    return dumpResult(object, kSlowDataWhat);
}

Result<SlowData> decodeSlowData(std::string_view bytes) {
    auto object = json::parseObject(bytes, kSlowDataWhat);
    if (!object) return std::unexpected(Error{object.error()});
    auto data = slowDataFields(*object);
    if (!data) return std::unexpected(Error{data.error()});
    return std::move(*data);
}

std::optional<SlowData> SlowData::load(const Defaults& defaults, double maxAgeSeconds,
                                       Instant now) {
    auto bytes = defaults.data(kSlowDataKey);
    if (!bytes) return std::nullopt;
    auto data = decodeSlowData(*bytes);
    if (!data) return std::nullopt;
    // Ages are taken in seconds as doubles so that no stored date can overflow the clock's
    // integer ticks; a date in the future gives a negative age and counts as fresh.
    double age = secondsSinceReferenceDate(now) - secondsSinceReferenceDate(data->fetchedAt);
    if (!(age < maxAgeSeconds)) return std::nullopt;
    return std::move(*data);
}

void SlowData::save(Defaults& defaults, const SlowData& data) {
    // On failure the previous record stays: stale slow data is better than none.
    if (auto bytes = encodeSlowData(data)) defaults.set(kSlowDataKey, *bytes);
}

Result<std::string> encodeObjectives(const Objectives& objectives) {
    Json object = {{"daily", objectives.daily}, {"monthly", objectives.monthly}};
    return dumpResult(object, kObjectivesWhat);
}

Result<Objectives> decodeObjectives(std::string_view bytes) {
    auto object = json::parseObject(bytes, kObjectivesWhat);
    if (!object) return std::unexpected(Error{object.error()});
    auto objectives = objectivesFields(*object);
    if (!objectives) return std::unexpected(Error{objectives.error()});
    return *objectives;
}

Objectives Objectives::load(SecretStore& secrets) {
    auto bytes = keychain::loadData(secrets, objectivesItem());
    if (!bytes || !*bytes) return Objectives{};
    auto objectives = decodeObjectives(**bytes);
    return objectives ? *objectives : Objectives{};
}

void Objectives::save(SecretStore& secrets, const Objectives& objectives) {
    auto bytes = encodeObjectives(objectives);
    if (!bytes) return;
    // The editor has nothing to show for a failed write; the next load shows what is stored.
    static_cast<void>(keychain::saveData(secrets, objectivesItem(), *bytes));
}

std::optional<std::string> loadAccountId(const Defaults& defaults) {
    auto account = defaults.data(kAccountKey);
    // An empty name can only be a damaged entry; reading it as none lets the next refresh
    // list the accounts again instead of failing on it until sign-out.
    if (!account || account->empty()) return std::nullopt;
    return account;
}

void saveAccountId(Defaults& defaults, std::string_view account) {
    defaults.set(kAccountKey, account);
}

std::optional<std::string> loadAccountTimeZone(const Defaults& defaults) {
    auto zone = defaults.data(kAccountTimeZoneKey);
    if (!zone) return std::nullopt;
    return knownTimeZone(*zone);
}

void saveAccountTimeZone(Defaults& defaults, std::string_view zone) {
    defaults.set(kAccountTimeZoneKey, zone);
}

void forgetAccount(Defaults& defaults) {
    defaults.remove(kAccountKey);
    defaults.remove(kAccountTimeZoneKey);
}

void clearEarningsCache(Defaults& defaults) {
    defaults.remove(kSnapshotKey);
    forgetAccount(defaults);
    defaults.remove(kSlowDataKey);
}

}  // namespace ambrel
