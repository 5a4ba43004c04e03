#pragma once

// The refresh token that Google refused (invalid_grant), remembered in the widget's cache folder
// by a digest of it, never the token itself. Every process that shows the widget's figures (the
// faces, the indicator, the status line) reads it there, so all of them say that the sign-in
// must be renewed, and none sends the refused token again. A new sign-in in the application
// stores another token, whose digest differs: the mark then no longer applies by itself.

#include <string>
#include <string_view>

#include "core/platform/defaults.h"

namespace ambrel {

inline constexpr const char* kRefusedTokenKey = "auth.refusedToken";

// What stands for a refresh token here, so that the token is held no longer than its read.
std::string refreshTokenDigest(std::string_view refreshToken);

// Google refused the token with this digest.
bool isRefusedToken(const Defaults& defaults, std::string_view tokenDigest);
void rememberRefusedToken(Defaults& defaults, std::string_view tokenDigest);
void forgetRefusedToken(Defaults& defaults);

}  // namespace ambrel
