#include "core/platform/localization.h"

#include <libintl.h>

#include "core/platform/data_folders.h"

namespace ambrel {
namespace {
constexpr const char* kDomain = "ambrel";
}

void initLocalization(const char* localeDir) {
    const std::string configured = std::string(AMBREL_DATA_DIR) + "/locale";
    bindtextdomain(kDomain, localeDir != nullptr ? localeDir : configured.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
}

void initLocalizationBesideProgram() {
    const auto catalogs = findData("locale");
    initLocalization(catalogs ? catalogs->c_str() : nullptr);
}

std::string tr(const char* msgid) {
    return dgettext(kDomain, msgid);
}

std::string fillPlaceholders(std::string_view text, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(text.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '@' && next != args.end()) {
            out.append(*next++);
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace ambrel
