#pragma once

// What the dashboard needs besides AppState: where the objectives are kept, and the request
// that makes the desktop widget redraw after they were saved.

#include <functional>

#include "core/platform/secret_store.h"

namespace ambrel {

struct DashboardContext {
    SecretStore& secrets;
    std::function<void()> reloadAllTimelines;
};

}  // namespace ambrel
