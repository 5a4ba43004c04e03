// The line the widget host reads from its child (`ambrel-widget timeline|snapshot --json`).
// An entry or timeline that reads must be one the child could have printed: written again the
// way the child writes it, it reads back as the same value. The input is read as a whole line,
// and as the value of one member of a timeline the child wrote.

#include "core/platform/json.h"
#include "fuzz_check.h"
#include "fuzz_json.h"
#include "widget/entry_json.h"
#include "widget/host/entry_reader.h"
#include "widget/sample_snapshot.h"

using namespace ambrel;
using fuzz::require;

namespace {

// The child's writer: the JSON object on one line.
std::string printed(const Result<json::Json>& object) {
    require(object.has_value(), "what the host reads, the child can write: figures finite");
    auto line = json::dump(*object, "widget entry");
    require(line.has_value(), "the written entry serialises");
    return *line;
}

void check(std::string_view line) {
    if (auto entry = widget::readEntryJson(line)) {
        auto again = widget::readEntryJson(printed(entryJson(*entry)));
        require(again.has_value() && *again == *entry, "an entry reads back as the same entry");
    }
    if (auto timeline = widget::readTimelineJson(line)) {
        auto again = widget::readTimelineJson(printed(timelineJson(*timeline)));
        require(again.has_value() && *again == *timeline,
                "a timeline reads back as the same timeline");
    }
}

// A timeline as the child writes it, every member present.
std::string writtenTimeline() {
    const EarningsEntry entry{.date = instantFromReferenceSeconds(818432319.5247333),
                              .snapshot = sampleSnapshot(),
                              .objectives = {12.34, 456.78},
                              .isConnected = true};
    return printed(
        timelineJson({.entry = entry, .reloadDate = entry.date + kTimelineReloadInterval}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = fuzz::bytesOf(data, size);
    check(bytes);
    if (auto value = fuzz::asValue(bytes)) {
        static const std::string written = writtenTimeline();
        for (const auto& text : fuzz::withMemberReplaced(written, size, *value)) check(text);
    }
    return 0;
}
