#pragma once

// What the dashboard needs besides AppState: where the objectives are kept, the request that
// makes the desktop widget redraw after they were saved, how a web page is opened (the same
// way the sign-in opens Google's), and the time the freshness of the figures is told against.

#include <QUrl>
#include <functional>

#include "core/platform/clock.h"
#include "core/platform/secret_store.h"

namespace ambrel {

using UrlOpener = std::function<void(const QUrl&)>;

// The desktop's default browser.
void openInBrowser(const QUrl& url);

struct DashboardContext {
    SecretStore& secrets;
    std::function<void()> reloadAllTimelines;
    UrlOpener openUrl = openInBrowser;
    Clock now = systemClock();
};

}  // namespace ambrel
