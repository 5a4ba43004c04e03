#include "app/live_operations.h"

#include "core/auth/keychain.h"
#include "core/earnings/earnings_store.h"
#include "core/earnings/snapshot_refresh.h"
#include "ui/widget_center.h"

namespace ambrel {

AppOperations makeLiveOperations(const Services& services, AuthFlow::BrowserOpener openBrowser) {
    AppOperations operations;
    operations.loadRefreshToken = [&services] {
        return keychain::load(services.secrets, refreshTokenItem());
    };
    operations.deleteRefreshToken = [&services] {
        return keychain::deleteItem(services.secrets, refreshTokenItem());
    };
    operations.signIn = [&services, openBrowser] {
        return AuthFlow(services, openBrowser).signIn();
    };
    operations.refreshSnapshot = [&services] { return refreshSnapshot(services); };
    operations.clearEarningsCache = [&services] { clearEarningsCache(services.defaults); };
    operations.reloadAllTimelines = [] { WidgetCenter::reloadAllTimelines(); };
    return operations;
}

}  // namespace ambrel
