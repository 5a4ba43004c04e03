#pragma once

// Everything outside the core that an operation may touch, passed in by each program's main
// (and by tests, with fakes). The core keeps no global state.

#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/clock.h"
#include "core/platform/defaults.h"
#include "core/platform/http_client.h"
#include "core/platform/secret_store.h"

namespace ambrel {

struct Services {
    HttpClient& http;
    SecretStore& secrets;
    Defaults& defaults;  // the running program's own domain
    Clock now;
    std::string
        adsenseBase;  // AdSense Management API v2, no trailing slash; compiled into each program
    // The first existing file wins. The first entry is the user's own file, where the
    // application saves a client file the user chooses.
    std::vector<std::filesystem::path> clientSecretLocations;
};

}  // namespace ambrel
