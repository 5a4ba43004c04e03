#include "core/platform/locale.h"

#include <cstdlib>
#include <string_view>

namespace ambrel {
namespace {

const char* nonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// "fr_FR.UTF-8@euro" -> "fr_FR"; "C" and "POSIX" name no language.
std::string icuIdFromPosix(std::string_view posix) {
    posix = posix.substr(0, posix.find_first_of(".@"));
    if (posix.empty() || posix == "C" || posix == "POSIX") return {};
    return std::string(posix);
}

}  // namespace

std::string displayLocale() {
    if (const char* language = nonEmptyEnv("LANGUAGE")) {
        std::string_view list(language);
        std::string first = icuIdFromPosix(list.substr(0, list.find(':')));
        if (!first.empty()) return first;
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = nonEmptyEnv(name)) {
            std::string id = icuIdFromPosix(value);
            if (!id.empty()) return id;
            break;  // a set but language-less locale ("C") decides too
        }
    }
    return "en_US";
}

std::string timeLocale() {
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"})
        if (const char* value = nonEmptyEnv(name)) return icuIdFromPosix(value);
    return {};
}

}  // namespace ambrel
