#include "fakes/fake_google.h"

#include <algorithm>
#include <stdexcept>

#include "fakes/fake_server_state.h"

namespace ambrel::fakes {

struct FakeGoogle::State : ServerState {};

namespace {

std::unique_ptr<httplib::Server> makeServer(Scheme scheme) {
    if (scheme == Scheme::http) return std::make_unique<httplib::Server>();
    auto server = std::make_unique<httplib::SSLServer>(testServerCertificate().c_str(),
                                                       testServerKey().c_str());
    if (!server->is_valid())
        throw std::runtime_error("fake Google server: cannot read the test certificate in " +
                                 std::string(AMBREL_TEST_TLS_DIR));
    return server;
}

int bindLoopback(httplib::Server& server, int port) {
    if (port == 0) return server.bind_to_any_port("127.0.0.1");
    return server.bind_to_port("127.0.0.1", port) ? port : -1;
}

}  // namespace

std::string testCaFile() {
    return AMBREL_TEST_CA_FILE;
}

std::string testServerCertificate() {
    return std::string(AMBREL_TEST_TLS_DIR) + "/server.pem";
}

std::string testServerKey() {
    return std::string(AMBREL_TEST_TLS_DIR) + "/server-key.pem";
}

FakeGoogle::FakeGoogle(int port, Scheme scheme) : state_(std::make_unique<State>()) {
    auto& state = *state_;
    state.scheme = scheme;
    state.server = makeServer(scheme);
    registerRoutes(state);
    // An idle kept-alive connection holds a worker until this time-out; a short one keeps
    // the destructor quick.
    state.server->set_keep_alive_timeout(1);
    // Without it, Nagle's algorithm holds the body back behind the headers until the client's
    // delayed ACK, adding tens of milliseconds to each answer that a real server doesn't.
    state.server->set_tcp_nodelay(true);
    state.port = bindLoopback(*state.server, port);
    if (state.port < 0) {
        throw std::runtime_error("fake Google server: cannot listen on 127.0.0.1:" +
                                 std::to_string(port));
    }
    state.listener = std::thread([&state] {
        state.server->listen_after_bind();
        state.listenerEnded = true;
    });
    // stop() does nothing before the accept loop runs, so the destructor could hang on
    // a server that had not started yet.
    while (!state.server->is_running() && !state.listenerEnded) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

FakeGoogle::~FakeGoogle() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopRequested = true;
    }
    state_->stopping.notify_all();
    state_->server->stop();
    state_->listener.join();
}

int FakeGoogle::port() const {
    return state_->port;
}

std::string FakeGoogle::baseUrl() const {
    const char* scheme = state_->scheme == Scheme::https ? "https" : "http";
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port());
}

std::string FakeGoogle::adsenseBase() const {
    return baseUrl() + "/v2";
}

std::string FakeGoogle::tokenUri() const {
    return baseUrl() + "/token";
}

std::string FakeGoogle::authUri() const {
    return baseUrl() + "/o/oauth2/auth";
}

std::string FakeGoogle::clientSecretJson() const {
    std::lock_guard lock(state_->mutex);
    const auto& settings = state_->oauth.settings;
    Json installed;
    installed["client_id"] = settings.clientId;
    installed["project_id"] = "ambrel-tests";
    installed["auth_uri"] = authUri();
    installed["token_uri"] = tokenUri();
    installed["auth_provider_x509_cert_url"] = "https://www.googleapis.com/oauth2/v1/certs";
    installed["client_secret"] = settings.clientSecret;
    installed["redirect_uris"] = Json::array({"http://localhost"});
    return Json{{"installed", installed}}.dump(2);
}

void FakeGoogle::setClient(std::string clientId, std::string clientSecret) {
    std::lock_guard lock(state_->mutex);
    state_->oauth.settings.clientId = std::move(clientId);
    state_->oauth.settings.clientSecret = std::move(clientSecret);
}

void FakeGoogle::setRefreshToken(std::string refreshToken) {
    std::lock_guard lock(state_->mutex);
    state_->oauth.settings.refreshToken = std::move(refreshToken);
}

void FakeGoogle::setAccessToken(std::string accessToken) {
    std::lock_guard lock(state_->mutex);
    state_->oauth.settings.accessToken = std::move(accessToken);
}

void FakeGoogle::denyConsent(std::string error) {
    std::lock_guard lock(state_->mutex);
    state_->oauth.settings.consentError = std::move(error);
}

void FakeGoogle::refuseToken(std::string error, std::optional<std::string> description) {
    std::lock_guard lock(state_->mutex);
    state_->oauth.settings.tokenRefusal = TokenRefusal{std::move(error), std::move(description)};
}

void FakeGoogle::setAccounts(std::vector<FakeAccount> accounts) {
    std::lock_guard lock(state_->mutex);
    state_->accounts = std::move(accounts);
}

std::chrono::sys_days FakeGoogle::accountToday() const {
    std::optional<std::string> zone;
    {
        std::lock_guard lock(state_->mutex);
        const auto open = std::ranges::find_if(
            state_->accounts, [](const FakeAccount& account) { return account.state != "CLOSED"; });
        if (open != state_->accounts.end()) zone = open->timeZone;
    }
    return dayInZone(std::chrono::system_clock::now(), zone);
}

void FakeGoogle::setCurrency(std::string code) {
    std::lock_guard lock(state_->mutex);
    state_->currency = std::move(code);
}

void FakeGoogle::setDays(std::vector<FakeDay> days) {
    std::lock_guard lock(state_->mutex);
    state_->days = std::move(days);
}

void FakeGoogle::setPayments(std::vector<FakePayment> payments) {
    std::lock_guard lock(state_->mutex);
    state_->payments = std::move(payments);
}

void FakeGoogle::injectFault(Endpoint endpoint, Fault fault, int times) {
    if (times == 0) return;
    std::lock_guard lock(state_->mutex);
    state_->faults[endpoint].push_back({std::move(fault), times < 0 ? -1 : times});
}

void FakeGoogle::clearFaults() {
    std::lock_guard lock(state_->mutex);
    state_->faults.clear();
}

void FakeGoogle::setLatency(std::chrono::milliseconds latency) {
    std::lock_guard lock(state_->mutex);
    state_->latency = latency;
}

void FakeGoogle::setLatency(Endpoint endpoint, std::chrono::milliseconds latency) {
    std::lock_guard lock(state_->mutex);
    state_->endpointLatency[endpoint] = latency;
}

void FakeGoogle::setDailyReportLatency(std::chrono::milliseconds latency) {
    std::lock_guard lock(state_->mutex);
    state_->dailyReportLatency = latency;
}

std::vector<RecordedRequest> FakeGoogle::requests() const {
    std::lock_guard lock(state_->mutex);
    return state_->recorded;
}

void FakeGoogle::clearRequests() {
    std::lock_guard lock(state_->mutex);
    state_->recorded.clear();
}

}  // namespace ambrel::fakes
