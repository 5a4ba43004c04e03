#pragma once

// The real collaborators of the widget program: libcurl, the system secret store, the widget's
// own defaults domain and the system clock. Each command that needs them makes one of these
// for its run.

#include <memory>
#include <string>

#include "core/platform/curl_http_client.h"
#include "core/platform/defaults.h"
#include "core/platform/secret_store.h"
#include "core/services.h"

namespace ambrel::widget {

inline constexpr const char* kWidgetBundleId = "com.corvane.ambrel.widget";

class SystemServices {
  public:
    // `caFile`: see CurlHttpClient.
    SystemServices(std::string adsenseBase, std::string caFile = {});
    SystemServices(const SystemServices&) = delete;
    SystemServices& operator=(const SystemServices&) = delete;

    const Services& services() const { return services_; }

  private:
    CurlHttpClient http_;
    std::unique_ptr<SecretStore> secrets_;
    Defaults defaults_;
    Services services_;  // refers to the members above, so it is declared last
};

}  // namespace ambrel::widget
