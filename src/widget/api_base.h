#pragma once

namespace ambrel {

// The AdSense Management API v2 base URL the program was built against, without a trailing
// slash. Both programs compile this file with the URL of their build: it is fixed in the
// program rather than read from the environment, so a program cannot be pointed at another
// server behind the user's back.
const char* adsenseApiBase();

// The certificate authorities the program trusts instead of the system's: empty, except in
// the test builds that talk to the fake Google server. Compiled in for the same reason.
const char* trustedCaFile();

}  // namespace ambrel
