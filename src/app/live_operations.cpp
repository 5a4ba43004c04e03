#include "app/live_operations.h"

#include <memory>

#include "core/auth/access_token_keeper.h"
#include "core/auth/client_file.h"
#include "core/auth/keychain.h"
#include "core/auth/oauth_config.h"
#include "core/earnings/earnings_store.h"
#include "core/earnings/snapshot_refresh.h"
#include "ui/widget_center.h"

namespace ambrel {
namespace {
// How long a sign-in waits for the browser before it gives up on its own.
constexpr std::chrono::seconds kSignInWaitLimit{300};
}  // namespace

AppOperations makeLiveOperations(const Services& services, AuthFlow::BrowserOpener openBrowser) {
    // The access token lives here, in memory, for as long as the program runs.
    auto tokens = std::make_shared<AccessTokenKeeper>();
    AppOperations operations;
    operations.loadRefreshToken = [&services] {
        return keychain::load(services.secrets, refreshTokenItem());
    };
    operations.deleteRefreshToken = [&services, tokens] {
        tokens->forget();  // nothing of the session outlives the sign-out
        return keychain::deleteItem(services.secrets, refreshTokenItem());
    };
    operations.signIn = [&services, openBrowser](const SignInHooks& hooks) {
        auto opener = [&openBrowser, &hooks](const std::string& url) {
            openBrowser(url);
            if (hooks.consentOpened) hooks.consentOpened(url);
        };
        return AuthFlow(services, opener, kSignInWaitLimit, hooks.cancel).signIn();
    };
    operations.refreshSnapshot = [&services, tokens] {
        return refreshSnapshot(services, tokens.get());
    };
    operations.clearEarningsCache = [&services] { clearEarningsCache(services.defaults); };
    // The application's own cache, written by its own refreshes (never the widget's).
    operations.loadCachedSnapshot = [&services] { return AmbrelSnapshot::load(services.defaults); };
    operations.reloadAllTimelines = [] { WidgetCenter::reloadAllTimelines(); };
    operations.checkClientFile = [&services]() -> Result<void> {
        if (auto config = OAuthConfig::loadChecked(services.clientSecretLocations); !config)
            return std::unexpected(config.error());
        return {};
    };
    // The user's own file is the first place looked in, so a saved file is the one signed in with.
    operations.installClientFile = [&services](const std::filesystem::path& chosen, bool replace) {
        return installClientFile(chosen, services.clientSecretLocations.front(), replace);
    };
    return operations;
}

}  // namespace ambrel
