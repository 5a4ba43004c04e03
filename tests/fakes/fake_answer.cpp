#include "fakes/fake_answer.h"

namespace ambrel::fakes {

FakeAnswer jsonAnswer(int status, const Json& document) {
    FakeAnswer answer;
    answer.status = status;
    answer.body = document.dump(2);
    return answer;
}

FakeAnswer googleError(int code, std::string_view status, std::string_view message) {
    Json error;
    error["code"] = code;
    error["message"] = message;
    error["status"] = status;
    return jsonAnswer(code, Json{{"error", error}});
}

FakeAnswer oauthError(int status, std::string_view error, std::string_view description) {
    Json document;
    document["error"] = error;
    document["error_description"] = description;
    return jsonAnswer(status, document);
}

FakeAnswer textAnswer(int status, std::string text) {
    FakeAnswer answer;
    answer.status = status;
    answer.contentType = "text/plain; charset=UTF-8";
    answer.body = std::move(text);
    return answer;
}

}  // namespace ambrel::fakes
