#include "core/platform/localization.h"

#include <libintl.h>

#include <filesystem>
#include <system_error>

namespace ambrel {
namespace {
constexpr const char* kDomain = "ambrel";
}

void initLocalization(const char* localeDir) {
    bindtextdomain(kDomain, localeDir != nullptr ? localeDir : AMBREL_LOCALE_DIR);
    bind_textdomain_codeset(kDomain, "UTF-8");
}

void initLocalizationBesideProgram() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        for (const char* relative : {"../../locale", "../share/locale"}) {
            const fs::path folder = (program.parent_path() / relative).lexically_normal();
            if (fs::is_directory(folder, error)) return initLocalization(folder.c_str());
        }
    }
    initLocalization();
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
