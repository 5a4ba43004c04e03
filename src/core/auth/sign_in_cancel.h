#pragma once

// Lets the user end a sign-in that waits for the browser: another thread calls cancel(), and
// the waiting listener closes at once instead of at its deadline.

#include <atomic>

#include "core/platform/unique_fd.h"

namespace ambrel {

class SignInCancel {
  public:
    SignInCancel();

    // Safe from any thread, and more than once.
    void cancel();
    bool isCancelled() const { return cancelled_.load(); }

    // Readable once cancelled, for poll(); -1 when the system gave no event descriptor, in which
    // case a waiting listener only sees isCancelled() when it next wakes.
    int fd() const { return fd_.get(); }

  private:
    std::atomic<bool> cancelled_{false};
    UniqueFd fd_;
};

}  // namespace ambrel
