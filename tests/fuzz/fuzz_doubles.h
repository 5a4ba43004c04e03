#pragma once

// Stand-ins for the outside services, in memory so that one run costs microseconds: an HTTP
// client that answers every request from a function, a secret store, and the services of a
// signed-in program whose defaults live in a scratch folder.

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "core/services.h"

namespace ambrel::fuzz {

class CannedHttpClient final : public HttpClient {
  public:
    // Answers every request; 200 with an empty object until set.
    std::function<HttpResponse(const HttpRequest&)> answer;
    // What was sent, kept without growing from run to run: memory still held after a run
    // makes libFuzzer look for leaks after every one, which costs milliseconds.
    int requests = 0;
    std::string lastUrl;

    std::expected<HttpResponse, TransportError> send(const HttpRequest& request) override;
};

class MemorySecrets final : public SecretStore {
  public:
    std::expected<std::optional<std::string>, std::int32_t> read(
        const KeychainStore& item) override;
    std::int32_t write(const KeychainStore& item, std::string_view bytes) override;
    std::int32_t remove(const KeychainStore& item) override;

  private:
    std::map<std::string, std::string> items_;  // by account: the service and group are fixed
};

// A folder of its own under the temporary directory, removed when the process exits normally
// (a crash leaves it behind with the evidence).
const std::filesystem::path& scratchFolder();

// A signed-in program: client_secret.json naming the token endpoint, a stored refresh token,
// defaults in the scratch folder, and a clock stopped at 2026-05-21T10:00:00Z.
struct SignedIn {
    SignedIn();

    CannedHttpClient http;
    MemorySecrets secrets;
    Defaults defaults;
    Services services;
};

inline constexpr const char* kTokenUri = "https://oauth2.test/token";
inline constexpr const char* kAdSenseBase = "https://adsense.test/v2";

}  // namespace ambrel::fuzz
