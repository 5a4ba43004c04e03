#include "core/platform/http_client.h"

namespace ambrel {

TransportError notSent() {
    return TransportError{"the request was not sent: what it waited for did not come"};
}

std::vector<HttpReply> HttpClient::sendAll(std::vector<HttpRequest> requests,
                                           const LateHeaders& late) {
    std::vector<HttpReply> replies;
    replies.reserve(requests.size());
    std::optional<HttpHeaders> extra = HttpHeaders{};
    if (late.valid()) extra = late.get();
    for (HttpRequest& request : requests) {
        if (!extra) {
            replies.emplace_back(std::unexpected(notSent()));
            continue;
        }
        request.headers.insert(request.headers.end(), extra->begin(), extra->end());
        replies.push_back(send(request));
    }
    return replies;
}

}  // namespace ambrel
