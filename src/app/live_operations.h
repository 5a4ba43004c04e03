#pragma once

#include "app/app_state.h"
#include "core/auth/auth_flow.h"
#include "core/services.h"

namespace ambrel {

// The real operations behind AppState. `services` must outlive every AppState using them.
AppOperations makeLiveOperations(const Services& services, AuthFlow::BrowserOpener openBrowser);

}  // namespace ambrel
