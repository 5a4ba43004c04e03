#pragma once

// Texts of the views go through the "ambrel" gettext domain; the English text is the msgid.

#include <QString>
#include <string>

#include "core/platform/localization.h"

namespace ambrel {

inline QString qtext(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The translation of `msgid` in the current locale, or `msgid` itself.
inline QString localized(const char* msgid) {
    return qtext(tr(msgid));
}

}  // namespace ambrel
