#pragma once

// Texts a person reads are looked up in the gettext domain "ambrel", whose msgids are the
// English texts; without a translation the English text is shown.

#include <initializer_list>
#include <string>
#include <string_view>

namespace ambrel {

// Binds the "ambrel" domain to the installed catalogs (or `localeDir` when given) and to
// UTF-8. Programs call it once at start, after setlocale.
void initLocalization(const char* localeDir = nullptr);

// initLocalization with the catalogs the running program finds by the data-folder rule
// (data_folders.h): installed beside it, else those of its build tree, else the configured ones.
void initLocalizationBesideProgram();

std::string tr(const char* msgid);

// Marks a text for the catalogs where it is looked up later, with tr, rather than where it is
// written: one of a table of texts, or one branch of a choice. Gives the text unchanged.
constexpr const char* N_(const char* msgid) {
    return msgid;
}

// Replaces each "%@" of the template by the next argument, in order.
std::string fillPlaceholders(std::string_view text, std::initializer_list<std::string_view> args);

}  // namespace ambrel
