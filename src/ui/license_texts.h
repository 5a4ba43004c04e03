#pragma once

// The published licence texts, without a copyright line of their own (a License carries its
// copyright separately), for callers crediting components under them.

namespace ambrel {

extern const char* const kMitLicenseText;
extern const char* const kApache2LicenseNotice;
extern const char* const kIscLicenseText;

}  // namespace ambrel
