#include "widget/unused_tls_setup.h"

#include <unistd.h>

#include <cstdlib>

namespace ambrel::widget {
namespace {

constexpr const char* kSwitch = "GNUTLS_NO_IMPLICIT_INIT";
// Says that the switch is ours to take back, not the user's.
constexpr const char* kSetByUs = "AMBREL_GNUTLS_SWITCH_SET";

}  // namespace

void restartWithoutUnusedTlsSetUp(char** argv) {
    if (std::getenv(kSetByUs) != nullptr) {
        ::unsetenv(kSetByUs);
        ::unsetenv(kSwitch);
        return;
    }
    if (std::getenv(kSwitch) != nullptr) return;
    if (::setenv(kSwitch, "1", 1) != 0 || ::setenv(kSetByUs, "1", 1) != 0) return;
    ::execv("/proc/self/exe", argv);
    ::unsetenv(kSetByUs);
    ::unsetenv(kSwitch);
}

}  // namespace ambrel::widget
