#pragma once

// Everything the fake's handlers share. The handlers run on httplib's worker threads, so
// every member below `mutex` is read and written only while holding it.

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fakes/fake_adsense.h"
#include "fakes/fake_google.h"
#include "fakes/fake_oauth.h"

namespace ambrel::fakes {

struct PendingFault {
    Fault fault;
    int times = -1;  // answers left; -1: every answer
};

struct ServerState {
    std::unique_ptr<httplib::Server> server;  // an httplib::SSLServer when serving TLS
    std::thread listener;
    std::atomic<bool> listenerEnded{false};
    int port = 0;
    Scheme scheme = Scheme::http;

    mutable std::mutex mutex;
    std::condition_variable stopping;  // wakes delayed answers when the server shuts down
    bool stopRequested = false;
    FakeOAuth oauth;
    std::vector<FakeAccount> accounts{{"accounts/pub-1234567890123456", "Fake Publisher"}};
    std::string currency = "EUR";
    std::vector<FakeDay> days;
    std::vector<FakePayment> payments;
    std::map<Endpoint, std::deque<PendingFault>> faults;
    std::chrono::milliseconds latency{0};
    std::map<Endpoint, std::chrono::milliseconds> endpointLatency;
    std::optional<std::chrono::milliseconds> dailyReportLatency;
    std::vector<RecordedRequest> recorded;

    // Records the request and returns the fault it meets, if any, with the delay to apply.
    std::pair<std::optional<Fault>, std::chrono::milliseconds> admit(Endpoint endpoint,
                                                                     RecordedRequest request);
    // Waits, but no longer than until the server is stopping.
    void delay(std::chrono::milliseconds duration);
    bool hasAccount(const std::string& name) const;  // with `mutex` held
    bool isStopping() const;
};

void registerRoutes(ServerState& state);

}  // namespace ambrel::fakes
