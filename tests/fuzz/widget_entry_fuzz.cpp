// The line the widget host reads from its child (`ambrel-widget timeline|snapshot --json`).
// An entry or timeline that reads must be one the child could have printed: written again the
// way the child writes it, it reads back as the same value.

#include "core/platform/json.h"
#include "fuzz_check.h"
#include "widget/entry_json.h"
#include "widget/host/entry_reader.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto line = fuzz::bytesOf(data, size);
    if (auto entry = widget::readEntryJson(line)) {
        auto again = widget::readEntryJson(printed(entryJson(*entry)));
        require(again.has_value() && *again == *entry, "an entry reads back as the same entry");
    }
    if (auto timeline = widget::readTimelineJson(line)) {
        auto again = widget::readTimelineJson(printed(timelineJson(*timeline)));
        require(again.has_value() && *again == *timeline,
                "a timeline reads back as the same timeline");
    }
    return 0;
}
