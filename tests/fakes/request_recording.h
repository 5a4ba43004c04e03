#pragma once

// Turns an httplib request into the RecordedRequest that tests inspect. httplib keeps
// query parameters in a multimap sorted by name, which loses the order the client sent
// them in, so the query is read again from the raw request target.

#include <httplib.h>

#include "fakes/fake_google.h"

namespace ambrel::fakes {

RecordedRequest recordRequest(const httplib::Request& request);

// The value of a recorded header (names are lower-case), or "" when it was not sent.
std::string headerValue(const RecordedRequest& request, std::string_view lowerCaseName);

}  // namespace ambrel::fakes
