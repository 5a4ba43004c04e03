#include "core/auth/loopback_answers.h"

#include <string_view>

#include "core/platform/localization.h"

namespace ambrel::loopback {
namespace {

constexpr std::string_view kPageStart =
    "<!doctype html><html><head><meta charset=\"utf-8\"><title>Ambrel</title></head>\n"
    "<body style=\"font-family:-apple-system,system-ui;text-align:center;padding-top:80px;"
    "background:#0A1628;color:#FFE89B\">\n"
    "<h2>Ambrel</h2><p>";
constexpr std::string_view kPageEnd = "</p></body></html>";

std::string answer(std::string_view status, std::string_view contentType, std::string_view body) {
    std::string bytes = "HTTP/1.1 ";
    bytes += status;
    bytes += "\r\nContent-Type: ";
    bytes += contentType;
    bytes += "\r\nContent-Length: ";
    bytes += std::to_string(body.size());
    bytes += "\r\nConnection: close\r\n\r\n";
    bytes += body;
    return bytes;
}

// The sentence is ours (from the catalog), never the request's: nothing the browser sent is
// written back.
std::string page(std::string_view sentence) {
    std::string body(kPageStart);
    body += sentence;
    body += kPageEnd;
    return answer("200 OK", "text/html; charset=utf-8", body);
}

}  // namespace

std::string signedInAnswer() {
    return page("Signed in. You can close this tab.");
}

std::string notSignedInAnswer() {
    return page(tr("Sign-in did not complete. Ambrel shows why; you can close this tab."));
}

std::string notFoundAnswer() {
    return answer("404 Not Found", "text/plain; charset=utf-8", "Not found\n");
}

}  // namespace ambrel::loopback
