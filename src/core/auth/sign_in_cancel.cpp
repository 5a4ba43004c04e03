#include "core/auth/sign_in_cancel.h"

#include <sys/eventfd.h>

#include <cstdint>

namespace ambrel {

SignInCancel::SignInCancel() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void SignInCancel::cancel() {
    if (cancelled_.exchange(true) || !fd_.valid()) return;
    const std::uint64_t one = 1;
    // A full counter cannot happen with one write; the flag is set whatever the outcome.
    [[maybe_unused]] const auto written = ::write(fd_.get(), &one, sizeof one);
}

}  // namespace ambrel
