#pragma once

// libcurl's LDAP support brings GnuTLS into the process, and GnuTLS sets itself up in a library
// constructor: most of a megabyte of pages touched on every refresh, for a library no request of
// ours uses (libcurl's TLS is OpenSSL's, and it may take only http and https). GnuTLS reads its
// documented switch, GNUTLS_NO_IMPLICIT_INIT, from the environment as it loads, before main.

namespace ambrel::widget {

// Starts the program once more with the switch set, unless the user set it already; in the
// second start, takes the switch back out of the environment, since a program started from here
// (a browser, say) may rely on GnuTLS setting itself up. Returns when no start was needed or
// the start failed: the program then carries on as it is.
void restartWithoutUnusedTlsSetUp(char** argv);

}  // namespace ambrel::widget
