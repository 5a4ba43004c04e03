#pragma once

// What the About window shows: the program's name and version, its description and links.

#include "ui/about_view.h"

namespace ambrel {

// The application name (QCoreApplication::applicationName(), or "App" when it has none) and
// the product's fixed texts and addresses.
AboutViewSettings ambrelAboutSettings();

}  // namespace ambrel
