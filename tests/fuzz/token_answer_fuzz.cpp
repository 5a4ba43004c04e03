// The token endpoint's answer as fetchAccessToken meets it, whatever the status code. Every
// member that decodes is what the document holds (read a second time with the JSON library
// alone), and the outcome follows it: an `error` wins over an `access_token`, with its
// description when there is one, and invalid_grant ends the sign-in; without either the fetch
// fails; a body that does not decode fails as a decoding error.

#include <variant>

#include "core/auth/access_token.h"
#include "core/platform/json.h"
#include "fuzz_check.h"
#include "fuzz_doubles.h"

using namespace ambrel;
using fuzz::require;

namespace {

// The text member of the document, absent when missing or null.
std::optional<std::string> text(const json::Json& document, const char* key) {
    auto found = document.find(key);
    if (found == document.end() || found->is_null()) return std::nullopt;
    return found->get<std::string>();
}

bool failsWith(const Result<std::string>& fetched, OAuthError::Kind kind,
               const std::string& message) {
    if (fetched) return false;
    const auto* oauth = std::get_if<OAuthError>(&fetched.error());
    return oauth != nullptr && oauth->kind == kind && oauth->message == message;
}

bool failsWithToken(const Result<std::string>& fetched, const std::string& message) {
    return failsWith(fetched, OAuthError::Kind::token, message);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::SignedIn program;
    const std::string body(fuzz::bytesOf(data, size));
    // A refusal comes with status 400, a token with 200: the status must not matter.
    const long status = size % 2 == 0 ? 200 : 400;
    program.http.answer = [&](const HttpRequest&) { return HttpResponse{status, body}; };

    const auto decoded = decodeTokenResponse(body);
    const auto fetched = fetchAccessToken(program.services);
    if (!decoded) {
        require(!fetched && std::holds_alternative<DecodingError>(fetched.error()),
                "an answer that does not decode fails the fetch as a decoding error");
        return 0;
    }
    const auto document = *json::parseObject(body, "answer");
    const auto error = text(document, "error");
    const auto description = text(document, "error_description");
    const auto accessToken = text(document, "access_token");
    require(decoded->error == error && decoded->error_description == description &&
                decoded->access_token == accessToken &&
                decoded->refresh_token == text(document, "refresh_token"),
            "each member decodes to what the answer holds");

    if (error) {
        const auto kind =
            *error == "invalid_grant" ? OAuthError::Kind::grantEnded : OAuthError::Kind::token;
        require(failsWith(fetched, kind, description.value_or(*error)),
                "an error wins over an access token, told by its description if any");
    } else if (accessToken) {
        require(fetched.has_value() && *fetched == *accessToken,
                "without an error the access token is the result");
    } else {
        require(failsWithToken(fetched, "response without access_token"),
                "an answer with neither fails the fetch");
    }
    return 0;
}
