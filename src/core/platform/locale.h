#pragma once

#include <string>

namespace ambrel {

// The ICU locale id numbers are shown in: the first entry of $LANGUAGE (colon-separated),
// else the POSIX locale (LC_ALL, else LC_MESSAGES, else LANG) with its codeset and modifier
// removed ("fr_FR.UTF-8" gives "fr_FR"), else "en_US". Read anew at every call.
std::string displayLocale();

// The ICU locale id times of day are shown in, picked as the desktop's Qt programs pick theirs:
// LC_ALL, else LC_TIME, else LANG (not $LANGUAGE); empty for the C and POSIX locales, or when
// none is set. Read anew at every call.
std::string timeLocale();

}  // namespace ambrel
