#pragma once

// Unlocking items of the Secret Service with a bounded wait for the user.
//
// A locked collection is unlocked through a prompt that the service shows (a password dialog).
// libsecret waits for its answer without end, and cancelling that wait leaves its call hanging
// as well, so a prompt nobody answers (no one at the screen) would hold a program for good.
// Here the prompt is driven over D-Bus directly, and the wait for it ends after `limit`: the
// objects are then still locked, as when the user refuses the prompt.

#include <chrono>
#include <string>
#include <vector>

namespace ambrel {

// Asks the service to unlock the objects (items or collections, by D-Bus object path) and
// returns once they are unlocked, the prompt was refused or `limit` has passed. Callers look
// at the objects again to learn the outcome.
void unlockSecretObjects(const std::vector<std::string>& objectPaths,
                         std::chrono::milliseconds limit);

}  // namespace ambrel
