#include "fakes/fake_server_state.h"

#include <algorithm>

namespace ambrel::fakes {

std::pair<std::optional<Fault>, std::chrono::milliseconds> ServerState::admit(
    Endpoint endpoint, RecordedRequest request) {
    std::lock_guard lock(mutex);
    const bool byDay = std::ranges::any_of(request.query, [](const auto& item) {
        return item.first == "dimensions" && item.second == "DATE";
    });
    auto wait = latency + endpointLatency[endpoint];
    if (endpoint == Endpoint::report && byDay && dailyReportLatency)
        wait = latency + *dailyReportLatency;
    recorded.push_back(std::move(request));
    auto& pending = faults[endpoint];
    if (pending.empty()) return {std::nullopt, wait};
    Fault fault = pending.front().fault;
    if (pending.front().times > 0 && --pending.front().times == 0) pending.pop_front();
    return {fault, wait + fault.latency};
}

void ServerState::delay(std::chrono::milliseconds duration) {
    if (duration <= std::chrono::milliseconds::zero()) return;
    std::unique_lock lock(mutex);
    stopping.wait_for(lock, duration, [this] { return stopRequested; });
}

bool ServerState::isStopping() const {
    std::lock_guard lock(mutex);
    return stopRequested;
}

bool ServerState::hasAccount(const std::string& name) const {
    return std::ranges::any_of(
        accounts, [&name](const FakeAccount& account) { return account.name == name; });
}

}  // namespace ambrel::fakes
