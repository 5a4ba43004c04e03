// fake-google: the fake Google server on its own, for running the programs by hand
// against it (point AMBREL_ADSENSE_API_BASE and client_secret.json at it).
//
//   fake-google --port N [--tls] [--days FILE.json] [--latency-ms N]
//               [--server-times token=MS,accounts=MS,daily=MS,report=MS,payments=MS]
//               [--public-port N] [--client-secret-out FILE]
//               [--time-zone ID|none] [--accounts FILE.json] [--payments FILE.json]
//               [--fault ENDPOINT=service-disabled|quota[:SECONDS]|STATUS]...
//               [--refuse-token ERROR]
//
// --tls serves HTTPS with the build's test certificate; --public-port names the port that
// client_secret.json gives, when the clients reach the server through a relay. On SIGUSR1 it
// prints the requests answered since the last SIGUSR1 ("requests N: POST /token, ...").
// Without --days it serves a demo of the last 35 days ending today in the account's zone (the
// first account's that is not CLOSED; Europe/Paris unless --time-zone or --accounts say
// otherwise), so a run shows today's figures at any hour. --fault answers every request of the
// endpoint (token, accounts, report, payments) with Google's error: the API disabled in the
// project, the quota used up (with Retry-After), or a bare status. --refuse-token makes the token
// endpoint answer
// {"error": ERROR} (invalid_grant: a sign-in that Google ended). Runs until SIGINT or SIGTERM.

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/fake_adsense.h"
#include "fakes/fake_google.h"

namespace {

using ambrel::fakes::FakeAccount;
using ambrel::fakes::FakeDay;
using ambrel::fakes::FakePayment;

struct Options {
    int port = 0;
    std::optional<std::string> daysFile;
    std::optional<std::string> clientSecretOut;
    int latencyMs = 0;
    bool tls = false;
    std::optional<int> publicPort;
    std::map<std::string, int> serverTimes;
    std::optional<std::string> timeZone;  // "none": the account names no zone
    std::optional<std::string> accountsFile;
    std::optional<std::string> paymentsFile;
    std::vector<std::string> faults;
    std::optional<std::string> tokenRefusal;
};

void printUsage() {
    std::cerr
        << "usage: fake-google --port N [--tls] [--days FILE.json] [--latency-ms N]\n"
           "         [--server-times token=MS,accounts=MS,daily=MS,report=MS,payments=MS]\n"
           "         [--public-port N] [--client-secret-out FILE]\n"
           "         [--time-zone ID|none] [--accounts FILE.json] [--payments FILE.json]\n"
           "         [--fault ENDPOINT=service-disabled|quota[:SECONDS]|STATUS]...\n"
           "         [--refuse-token ERROR]\n"
           "  FILE.json: [{\"date\": \"2026-05-21\", \"earnings\": 1.23, \"pageViews\": 450, "
           "\"rpm\": 2.73, \"impressions\": 900, \"clicks\": 3, \"cpc\": 0.41, "
           "\"ctr\": 0.0067}, ...]\n"
           "  --accounts: [{\"name\": \"accounts/pub-1\", \"displayName\": \"A\", "
           "\"timeZone\": \"Asia/Tokyo\" (null or left out: none), \"state\": \"READY\"}, ...]\n"
           "  --payments: [{\"name\": \"accounts/pub-1/payments/youtube-unpaid\", "
           "\"amount\": \"€1.00\", \"year\": 2026, \"month\": 5, \"day\": 21}, ...]\n";
}

// "token=80,accounts=60": milliseconds per endpoint.
bool parseServerTimes(const std::string& text, std::map<std::string, int>& into) {
    std::stringstream items(text);
    for (std::string item; std::getline(items, item, ',');) {
        const auto equals = item.find('=');
        if (equals == std::string::npos) return false;
        into[item.substr(0, equals)] = std::stoi(item.substr(equals + 1));
    }
    return true;
}

void applyServerTimes(ambrel::fakes::FakeGoogle& google, const std::map<std::string, int>& times) {
    using ambrel::fakes::Endpoint;
    const std::map<std::string, Endpoint> endpoints{{"token", Endpoint::token},
                                                    {"accounts", Endpoint::accounts},
                                                    {"report", Endpoint::report},
                                                    {"payments", Endpoint::payments}};
    for (const auto& [name, ms] : times) {
        if (name == "daily")
            google.setDailyReportLatency(std::chrono::milliseconds(ms));
        else if (auto found = endpoints.find(name); found != endpoints.end())
            google.setLatency(found->second, std::chrono::milliseconds(ms));
        else
            std::cerr << "fake-google: no endpoint named " << name << '\n';
    }
}

// client_secret.json with the endpoints at `port` instead of the server's own.
std::string clientSecretAt(const ambrel::fakes::FakeGoogle& google, std::optional<int> port) {
    auto document = nlohmann::json::parse(google.clientSecretJson());
    if (port) {
        const std::string own = ":" + std::to_string(google.port()) + "/";
        for (const char* key : {"auth_uri", "token_uri"}) {
            std::string uri = document["installed"][key];
            uri.replace(uri.find(own), own.size(), ":" + std::to_string(*port) + "/");
            document["installed"][key] = uri;
        }
    }
    return document.dump(2);
}

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--tls") {
            options.tls = true;
            continue;
        }
        if (i + 1 >= argc) return std::nullopt;
        const std::string value = argv[++i];
        try {
            if (name == "--port")
                options.port = std::stoi(value);
            else if (name == "--latency-ms")
                options.latencyMs = std::stoi(value);
            else if (name == "--days")
                options.daysFile = value;
            else if (name == "--client-secret-out")
                options.clientSecretOut = value;
            else if (name == "--public-port")
                options.publicPort = std::stoi(value);
            else if (name == "--server-times") {
                if (!parseServerTimes(value, options.serverTimes)) return std::nullopt;
            } else if (name == "--time-zone")
                options.timeZone = value;
            else if (name == "--accounts")
                options.accountsFile = value;
            else if (name == "--payments")
                options.paymentsFile = value;
            else if (name == "--fault")
                options.faults.push_back(value);
            else if (name == "--refuse-token")
                options.tokenRefusal = value;
            else
                return std::nullopt;
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    return options;
}

std::string dateKey(std::chrono::sys_days day) {
    const std::chrono::year_month_day date{day};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

// Figures that wave a little from day to day, the same on every run of a given day.
std::vector<FakeDay> demoDays(std::chrono::sys_days today) {
    std::vector<FakeDay> days;
    for (int offset = -34; offset <= 0; ++offset) {
        const auto day = today + std::chrono::days{offset};
        const double wave = std::sin(day.time_since_epoch().count() * 0.9);
        FakeDay figures;
        figures.date = dateKey(day);
        figures.pageViews = std::round(4200 + 900 * wave);
        figures.rpm = std::round((3.1 + 0.6 * wave) * 100) / 100;
        figures.earnings = std::round(figures.pageViews * figures.rpm / 10) / 100;
        figures.impressions = std::round(figures.pageViews * 2.4);
        figures.clicks = std::round(figures.pageViews * 0.012);
        figures.cpc =
            figures.clicks > 0 ? std::round(figures.earnings / figures.clicks * 100) / 100 : 0;
        figures.ctr = figures.clicks / figures.pageViews;
        days.push_back(figures);
    }
    return days;
}

std::vector<FakePayment> demoPayments(std::chrono::sys_days today) {
    const std::chrono::year_month_day date{today};
    const auto lastMonth = date.year() / date.month() / 21 - std::chrono::months{1};
    return {
        FakePayment{"unpaid", {}, {}, {}, "€389.85"},
        FakePayment{dateKey(std::chrono::sys_days{lastMonth}), static_cast<int>(lastMonth.year()),
                    static_cast<int>(static_cast<unsigned>(lastMonth.month())), 21, "€341.95"}};
}

std::vector<FakeDay> readDays(const std::string& path) {
    const auto document = nlohmann::json::parse(std::ifstream(path));
    std::vector<FakeDay> days;
    for (const auto& item : document) {
        days.push_back(FakeDay{item.at("date").get<std::string>(), item.value("earnings", 0.0),
                               item.value("pageViews", 0.0), item.value("rpm", 0.0),
                               item.value("impressions", 0.0), item.value("clicks", 0.0),
                               item.value("cpc", 0.0), item.value("ctr", 0.0)});
    }
    return days;
}

std::vector<FakeAccount> readAccounts(const std::string& path) {
    const auto document = nlohmann::json::parse(std::ifstream(path));
    std::vector<FakeAccount> accounts;
    for (const auto& item : document) {
        FakeAccount account{item.at("name").get<std::string>(), item.value("displayName", "")};
        const auto zone = item.find("timeZone");
        account.timeZone = zone == item.end() || zone->is_null()
                               ? std::nullopt
                               : std::optional<std::string>(zone->get<std::string>());
        account.state = item.value("state", "READY");
        accounts.push_back(std::move(account));
    }
    return accounts;
}

std::optional<int> optionalInt(const nlohmann::json& item, const char* key) {
    const auto found = item.find(key);
    if (found == item.end() || found->is_null()) return std::nullopt;
    return found->get<int>();
}

std::vector<FakePayment> readPayments(const std::string& path) {
    const auto document = nlohmann::json::parse(std::ifstream(path));
    std::vector<FakePayment> payments;
    for (const auto& item : document) {
        FakePayment payment{item.at("name").get<std::string>(), optionalInt(item, "year"),
                            optionalInt(item, "month"), optionalInt(item, "day")};
        if (item.contains("amount")) payment.amount = item.at("amount").get<std::string>();
        payments.push_back(std::move(payment));
    }
    return payments;
}

// "report=service-disabled", "report=quota:120", "accounts=404".
bool applyFault(ambrel::fakes::FakeGoogle& google, const std::string& text) {
    using ambrel::fakes::Endpoint;
    const std::map<std::string, Endpoint> endpoints{{"token", Endpoint::token},
                                                    {"accounts", Endpoint::accounts},
                                                    {"report", Endpoint::report},
                                                    {"payments", Endpoint::payments}};
    const auto equals = text.find('=');
    if (equals == std::string::npos) return false;
    const auto endpoint = endpoints.find(text.substr(0, equals));
    const std::string kind = text.substr(equals + 1);
    if (endpoint == endpoints.end()) return false;
    if (kind == "service-disabled") {
        google.injectFault(endpoint->second, ambrel::fakes::serviceDisabledFault());
    } else if (kind == "quota" || kind.starts_with("quota:")) {
        const auto seconds =
            kind == "quota" ? std::nullopt : std::optional<int>(std::stoi(kind.substr(6)));
        google.injectFault(endpoint->second, ambrel::fakes::quotaExceededFault(seconds));
    } else {
        google.injectFault(endpoint->second, ambrel::fakes::Fault{.status = std::stoi(kind)});
    }
    return true;
}

void configure(ambrel::fakes::FakeGoogle& google, const Options& options) {
    applyServerTimes(google, options.serverTimes);
    if (options.accountsFile) {
        google.setAccounts(readAccounts(*options.accountsFile));
    } else if (options.timeZone) {
        FakeAccount account{"accounts/pub-1234567890123456", "Fake Publisher"};
        if (*options.timeZone == "none")
            account.timeZone.reset();
        else
            account.timeZone = *options.timeZone;
        google.setAccounts({account});
    }
    const auto today = google.accountToday();
    google.setDays(options.daysFile ? readDays(*options.daysFile) : demoDays(today));
    if (options.paymentsFile)
        google.setPayments(readPayments(*options.paymentsFile));
    else if (!options.daysFile)
        google.setPayments(demoPayments(today));
    google.setLatency(std::chrono::milliseconds(options.latencyMs));
    for (const std::string& fault : options.faults)
        if (!applyFault(google, fault)) throw std::invalid_argument("--fault " + fault);
    if (options.tokenRefusal) google.refuseToken(*options.tokenRefusal, std::nullopt);
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        printUsage();
        return 2;
    }
    // Blocked before the server's threads start, so they inherit the mask and only
    // sigwait below sees the signals.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        ambrel::fakes::FakeGoogle google(options->port, options->tls ? ambrel::fakes::Scheme::https
                                                                     : ambrel::fakes::Scheme::http);
        configure(google, *options);
        if (options->clientSecretOut)
            std::ofstream(*options->clientSecretOut) << clientSecretAt(google, options->publicPort);
        std::cout << "listening on " << google.baseUrl() << std::endl;
        for (int received = 0; sigwait(&signals, &received) == 0 && received == SIGUSR1;) {
            const auto requests = google.requests();
            google.clearRequests();
            std::cout << "requests " << requests.size() << ':';
            for (std::size_t i = 0; i < requests.size(); ++i)
                std::cout << (i == 0 ? " " : ", ") << requests[i].method << ' ' << requests[i].path;
            std::cout << std::endl;
        }
    } catch (const std::exception& error) {
        std::cerr << "fake-google: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
