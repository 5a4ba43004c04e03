// fake-google: the fake Google server on its own, for running the programs by hand
// against it (point AMBREL_ADSENSE_API_BASE and client_secret.json at it).
//
//   fake-google --port N [--days FILE.json] [--latency-ms N] [--client-secret-out FILE]
//
// Without --days it serves a demo of the last 35 days ending today (UTC), so a manual
// run shows figures. Runs until SIGINT or SIGTERM.

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "fakes/fake_google.h"

namespace {

using ambrel::fakes::FakeDay;
using ambrel::fakes::FakePayment;

struct Options {
    int port = 0;
    std::optional<std::string> daysFile;
    std::optional<std::string> clientSecretOut;
    int latencyMs = 0;
};

void printUsage() {
    std::cerr << "usage: fake-google --port N [--days FILE.json] [--latency-ms N] "
                 "[--client-secret-out FILE]\n"
                 "  FILE.json: [{\"date\": \"2026-05-21\", \"earnings\": 1.23, \"pageViews\": 450, "
                 "\"rpm\": 2.73, \"impressions\": 900, \"clicks\": 3, \"cpc\": 0.41, "
                 "\"ctr\": 0.0067}, ...]\n";
}

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
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
std::vector<FakeDay> demoDays() {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
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

std::vector<FakePayment> demoPayments() {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
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
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        ambrel::fakes::FakeGoogle google(options->port);
        google.setDays(options->daysFile ? readDays(*options->daysFile) : demoDays());
        if (!options->daysFile) google.setPayments(demoPayments());
        google.setLatency(std::chrono::milliseconds(options->latencyMs));
        if (options->clientSecretOut)
            std::ofstream(*options->clientSecretOut) << google.clientSecretJson();
        std::cout << "listening on " << google.baseUrl() << std::endl;
        int received = 0;
        sigwait(&signals, &received);
    } catch (const std::exception& error) {
        std::cerr << "fake-google: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
