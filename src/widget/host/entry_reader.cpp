#include "widget/host/entry_reader.h"

#include "core/earnings/earnings_store.h"
#include "core/earnings/snapshot.h"
#include "core/platform/json.h"

namespace ambrel::widget {
namespace {

// The snapshot and the objectives have their stored JSON forms: their own decoders read them.
std::optional<std::string> memberBytes(const json::Json& object, std::string_view key) {
    auto member = json::requiredObject(object, key, "widget entry");
    if (!member) return std::nullopt;
    auto bytes = json::dump(**member, key);
    if (!bytes) return std::nullopt;
    return std::move(*bytes);
}

std::optional<EarningsEntry> entryFrom(const json::Json& object) {
    auto date = json::requiredNumber(object, "date", "widget entry");
    if (!date) return std::nullopt;
    const auto instant = storedInstant(*date);
    const auto snapshotBytes = memberBytes(object, "snapshot");
    const auto objectivesBytes = memberBytes(object, "objectives");
    const auto connected = object.find("isConnected");
    if (!instant || !snapshotBytes || !objectivesBytes || connected == object.end() ||
        !connected->is_boolean()) {
        return std::nullopt;
    }
    auto snapshot = decodeSnapshot(*snapshotBytes);
    auto objectives = decodeObjectives(*objectivesBytes);
    if (!snapshot || !objectives) return std::nullopt;
    // Absent from entries of older programs: those read as a valid sign-in and real figures.
    const auto flag = [&object](std::string_view key) {
        const auto member = object.find(key);
        return member != object.end() && member->is_boolean() && member->get<bool>();
    };
    return EarningsEntry{.date = *instant,
                         .snapshot = std::move(*snapshot),
                         .objectives = *objectives,
                         .isConnected = connected->get<bool>(),
                         .needsSignIn = flag("needsSignIn"),
                         .isSample = flag("isSample")};
}

}  // namespace

std::optional<EarningsEntry> readEntryJson(std::string_view line) {
    auto object = json::parseObject(line, "widget entry");
    if (!object) return std::nullopt;
    return entryFrom(*object);
}

std::optional<Timeline> readTimelineJson(std::string_view line) {
    auto object = json::parseObject(line, "widget timeline");
    if (!object) return std::nullopt;
    auto entry = entryFrom(*object);
    auto reload = json::requiredNumber(*object, "reloadDate", "widget timeline");
    if (!entry || !reload) return std::nullopt;
    const auto reloadDate = storedInstant(*reload);
    if (!reloadDate) return std::nullopt;
    const auto refreshed = object->find("refreshed");
    return Timeline{.entry = std::move(*entry),
                    .reloadDate = *reloadDate,
                    .refreshed = refreshed != object->end() && refreshed->is_boolean() &&
                                 refreshed->get<bool>()};
}

}  // namespace ambrel::widget
