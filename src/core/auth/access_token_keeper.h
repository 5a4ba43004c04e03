#pragma once

// The application's access token, kept in memory between refreshes so that a steady refresh
// costs one request. Only ever in memory: nothing about it is written anywhere.

#include <array>
#include <mutex>
#include <optional>
#include <string>

#include "core/error.h"
#include "core/platform/clock.h"
#include "core/services.h"

namespace ambrel {

// How long before its announced end a token is no longer used.
inline constexpr std::chrono::seconds kAccessTokenMargin{60};

struct AccessTokenGrant {
    std::string value;
    bool kept = false;  // from memory rather than from the token endpoint just now
};

class AccessTokenKeeper {
  public:
    // The kept token while it was issued for the stored refresh token and client, and more
    // than kAccessTokenMargin of its lifetime is left; else a fresh one, kept when its answer
    // says how long it lives. The configuration and the refresh token are read every time, so
    // every failure reads as that of a fresh fetch.
    Result<AccessTokenGrant> token(const Services& services);

    // Drops the kept token (the API refused it).
    void forget();

  private:
    struct Kept {
        std::array<unsigned char, 32> issuer{};  // digest of client and refresh token
        std::string value;
        Instant usableUntil;
    };

    std::mutex mutex_;
    std::optional<Kept> kept_;
};

}  // namespace ambrel
