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

std::vector<std::string> withMemberReplaced(const std::string& written, std::size_t pick,
                                            const json::Json& value) {
    const auto document = json::parseObject(written, "written document");
    require(document.has_value() && !document->empty(), "the writer writes a JSON object");
    const std::size_t members = document->size();
    std::vector<std::string> edited;
    for (std::size_t i = 0; i < (value.is_number() ? members : 1); ++i) {
        json::Json copy = *document;
        auto member = copy.begin();
        std::advance(member, static_cast<std::ptrdiff_t>((pick + i) % members));
        *member = value;
        edited.push_back(copy.dump());
    }
    return edited;
}

}  // namespace ambrel::fuzz
