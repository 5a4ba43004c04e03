#include "fuzz_json.h"

#include <iterator>

#include "fuzz_check.h"

namespace ambrel::fuzz {

std::optional<json::Json> asValue(std::string_view bytes) {
    auto wrapped = json::parseObject("{\"v\":" + std::string(bytes) + "}", "fuzz input");
    if (!wrapped) return std::nullopt;
    auto found = wrapped->find("v");
    if (found == wrapped->end()) return std::nullopt;
    return *found;
}

std::string withMemberReplaced(const std::string& written, std::size_t pick,
                               const json::Json& value) {
    auto document = json::parseObject(written, "written document");
    require(document.has_value() && !document->empty(), "the writer writes a JSON object");
    auto member = document->begin();
    std::advance(member, static_cast<std::ptrdiff_t>(pick % document->size()));
    *member = value;
    return document->dump();
}

}  // namespace ambrel::fuzz
