#pragma once

// One HTTP answer of the fake, built by the endpoint logic without touching httplib, so
// the logic stays plain functions of the request's fields.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "fakes/fake_google.h"

namespace ambrel::fakes {

struct FakeAnswer {
    int status = 200;
    std::string contentType = "application/json; charset=UTF-8";
    std::string body;
    Pairs headers;  // besides Content-Type, e.g. Location
};

// Google's APIs send their JSON with members in a fixed order; keeping it makes the
// recorded and printed answers read like the real ones.
using Json = nlohmann::ordered_json;

FakeAnswer jsonAnswer(int status, const Json& document);

// The error shape of Google's JSON APIs: {"error": {"code", "message", "status"}}.
FakeAnswer googleError(int code, std::string_view status, std::string_view message);

// The error shape of the OAuth token endpoint: {"error", "error_description"}.
FakeAnswer oauthError(int status, std::string_view error, std::string_view description);

FakeAnswer textAnswer(int status, std::string text);

}  // namespace ambrel::fakes
