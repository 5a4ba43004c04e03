#pragma once

// Services made of test doubles: scripted HTTP, an in-memory secret store, defaults and
// client_secret.json in a fresh temporary folder, the system clock. Fixtures inherit it and
// adjust what a case needs.

#include "core/services.h"
#include "support/fake_http_client.h"
#include "support/memory_secret_store.h"
#include "support/temp_dir.h"

namespace ambrel::testing {

struct FakeServices {
    TempDir dir;
    FakeHttpClient http;
    MemorySecretStore secrets;
    Defaults defaults{dir.path() / "defaults"};
    Services services{http,
                      secrets,
                      defaults,
                      systemClock(),
                      "https://adsense.test/v2",
                      {dir.path() / "client_secret.json"}};
};

}  // namespace ambrel::testing
