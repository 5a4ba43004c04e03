#pragma once

// What the window says when an operation fails: a plain sentence with the next step, the
// detail a person might report kept in it. The core's own texts stay where they already are
// plain (Google's AdSense answers, an ended sign-in).

#include <string>

#include "core/error.h"

namespace ambrel {

// For the banner above the dashboard.
std::string refreshFailureText(const Error& error);

// For the sign-in view, or the banner during a new sign-in.
std::string signInFailureText(const Error& error);

}  // namespace ambrel
