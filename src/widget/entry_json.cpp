#include "widget/entry_json.h"

namespace ambrel {
namespace {

// The stored encoders are the one definition of these shapes; parsing their output back keeps
// the entry from growing a second, drifting copy of the field lists.
Result<json::Json> reparsed(Result<std::string> encoded, std::string_view what) {
    if (!encoded) return std::unexpected(encoded.error());
    auto object = json::parseObject(*encoded, what);
    if (!object) return std::unexpected(Error{object.error()});
    return std::move(*object);
}

}  // namespace

Result<json::Json> entryJson(const EarningsEntry& entry) {
    auto snapshot = reparsed(encodeSnapshot(entry.snapshot), "entry snapshot");
    if (!snapshot) return snapshot;
    auto objectives = reparsed(encodeObjectives(entry.objectives), "entry objectives");
    if (!objectives) return objectives;

    json::Json object = json::Json::object();
    object["date"] = secondsSinceReferenceDate(entry.date);
    object["snapshot"] = std::move(*snapshot);
    object["objectives"] = std::move(*objectives);
    object["isConnected"] = entry.isConnected;
    object["needsSignIn"] = entry.needsSignIn;
    object["isSample"] = entry.isSample;
    return object;
}

Result<json::Json> timelineJson(const Timeline& timeline) {
    auto object = entryJson(timeline.entry);
    if (object) {
        (*object)["reloadDate"] = secondsSinceReferenceDate(timeline.reloadDate);
        (*object)["refreshed"] = timeline.refreshed;
    }
    return object;
}

}  // namespace ambrel
