#include "widget/system_services.h"

#include <utility>

#include "core/platform/clock.h"
#include "core/platform/paths.h"

namespace ambrel::widget {

SystemServices::SystemServices(std::string adsenseBase, std::string caFile)
    : http_(std::move(caFile)),
      secrets_(makeSystemSecretStore(SecretStoreUse::readOnly)),
      defaults_(Defaults::forBundle(kWidgetBundleId)),
      services_{.http = http_,
                .secrets = *secrets_,
                .defaults = defaults_,
                .now = systemClock(),
                .adsenseBase = std::move(adsenseBase),
                .clientSecretLocations = clientSecretLocations()} {}

}  // namespace ambrel::widget
