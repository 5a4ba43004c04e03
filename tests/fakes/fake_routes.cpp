#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>

#include "fakes/connection_drop.h"
#include "fakes/fake_report.h"
#include "fakes/fake_server_state.h"
#include "fakes/request_recording.h"

namespace ambrel::fakes {

namespace {

using Answerer = std::function<FakeAnswer(const RecordedRequest&)>;

void write(httplib::Response& response, const FakeAnswer& answer) {
    response.status = answer.status;
    for (const auto& [name, value] : answer.headers) response.set_header(name, value);
    response.set_content(answer.body, answer.contentType);
}

// A document cut off mid-way, as a proxy or a crashed backend might deliver it.
std::string malformedBody(Endpoint endpoint) {
    switch (endpoint) {
        case Endpoint::token:
            return R"({"access_token": "ya29.)";
        case Endpoint::accounts:
            return R"({"accounts": [)";
        case Endpoint::report:
            return R"({"headers": [{"name": "DATE", )";
        case Endpoint::payments:
            return R"({"payments": [{"name": )";
        case Endpoint::consent:
            return R"({"error": )";
    }
    return "{";
}

FakeAnswer faultAnswer(const Fault& fault, Endpoint endpoint) {
    if (fault.status) {
        FakeAnswer answer = textAnswer(*fault.status, fault.body);
        const bool json = fault.body.starts_with('{') || fault.body.starts_with('[');
        if (json) answer.contentType = "application/json; charset=UTF-8";
        answer.headers = fault.headers;
        return answer;
    }
    FakeAnswer answer = textAnswer(200, malformedBody(endpoint));
    answer.contentType = "application/json; charset=UTF-8";
    return answer;
}

// White space without end, which a JSON document may begin with in any amount: only the client
// can end the exchange, by giving up.
void streamEndlessBody(ServerState& state, httplib::Response& response,
                       std::optional<std::size_t> announcedLength) {
    auto chunk = std::make_shared<const std::string>(64 * 1024, ' ');
    const auto write = [&state, chunk](httplib::DataSink& sink, std::size_t most) {
        return !state.isStopping() && sink.write(chunk->data(), std::min(most, chunk->size()));
    };
    constexpr const char* kType = "application/json; charset=UTF-8";
    if (announcedLength) {
        response.set_content_provider(
            *announcedLength, kType,
            [write](std::size_t, std::size_t left, httplib::DataSink& sink) {
                return write(sink, left);
            });
    } else {
        response.set_chunked_content_provider(
            kType, [write](std::size_t, httplib::DataSink& sink) { return write(sink, SIZE_MAX); });
    }
}

// Every endpoint goes through here: record, wait, then fault or answer.
void serve(ServerState& state, Endpoint endpoint, const httplib::Request& request,
           httplib::Response& response, const Answerer& answerer) {
    RecordedRequest recorded = recordRequest(request);
    const auto [fault, wait] = state.admit(endpoint, recorded);
    state.delay(wait);
    if (fault && fault->closeConnection) {
        if (!dropConnection(request.local_port, request.remote_port)) {
            write(response, textAnswer(500, "fake Google server: could not drop the connection"));
        }
        return;
    }
    if (fault && fault->endlessBody) {
        streamEndlessBody(state, response, fault->announcedLength);
        return;
    }
    if (fault && (fault->status || fault->malformedJson)) {
        write(response, faultAnswer(*fault, endpoint));
        return;
    }
    write(response, answerer(recorded));
}

// AdSense calls: the bearer token first, then the account named in the path.
FakeAnswer adsenseAnswer(ServerState& state, const RecordedRequest& request,
                         const std::string* account, const std::function<FakeAnswer()>& answer) {
    std::lock_guard lock(state.mutex);
    if (!isBearer(headerValue(request, "authorization"), state.oauth.settings.accessToken)) {
        return unauthenticated();
    }
    if (account && !state.hasAccount(*account)) return permissionDenied();
    return answer();
}

void registerOAuth(ServerState& state) {
    state.server->Post("/token", [&state](const httplib::Request& req, httplib::Response& res) {
        serve(state, Endpoint::token, req, res, [&state](const RecordedRequest& recorded) {
            std::lock_guard lock(state.mutex);
            return state.oauth.token(recorded.form);
        });
    });
    state.server->Get(
        "/o/oauth2/auth", [&state](const httplib::Request& req, httplib::Response& res) {
            serve(state, Endpoint::consent, req, res, [&state](const RecordedRequest& recorded) {
                std::lock_guard lock(state.mutex);
                return state.oauth.consent(recorded.query);
            });
        });
}

void registerAdsense(ServerState& state) {
    state.server->Get(
        "/v2/accounts", [&state](const httplib::Request& req, httplib::Response& res) {
            serve(state, Endpoint::accounts, req, res, [&state](const RecordedRequest& recorded) {
                return adsenseAnswer(state, recorded, nullptr,
                                     [&state] { return answerAccounts(state.accounts); });
            });
        });
    state.server->Get(
        R"(/v2/(accounts/[^/]+)/reports:generate)",
        [&state](const httplib::Request& req, httplib::Response& res) {
            const std::string account = req.matches[1];
            serve(state, Endpoint::report, req, res, [&](const RecordedRequest& recorded) {
                return adsenseAnswer(state, recorded, &account, [&] {
                    return answerReport(recorded.query, state.days, state.currency);
                });
            });
        });
    state.server->Get(R"(/v2/(accounts/[^/]+)/payments)", [&state](const httplib::Request& req,
                                                                   httplib::Response& res) {
        const std::string account = req.matches[1];
        serve(state, Endpoint::payments, req, res, [&](const RecordedRequest& recorded) {
            return adsenseAnswer(state, recorded, &account,
                                 [&] { return answerPayments(account, state.payments); });
        });
    });
}

// Anything else is recorded too, so a test can see what a client asked for by mistake.
void registerFallback(ServerState& state) {
    const auto unknown = [&state](const httplib::Request& req, httplib::Response& res) {
        {
            std::lock_guard lock(state.mutex);
            state.recorded.push_back(recordRequest(req));
        }
        write(res, notFound(req.path));
    };
    state.server->Get(".*", unknown);
    state.server->Post(".*", unknown);
    state.server->Put(".*", unknown);
    state.server->Delete(".*", unknown);
}

}  // namespace

void registerRoutes(ServerState& state) {
    registerOAuth(state);
    registerAdsense(state);
    registerFallback(state);
}

}  // namespace ambrel::fakes
