// What one refresh costs on the wire, over TLS: how many requests a first, a cached and the
// application's steady refresh (its access token kept) make, and how much time the client adds
// on top of the server's own latency. (bench/network_bench.sh measures the whole widget
// process behind a relay that adds round trips.)

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/auth/access_token_keeper.h"
#include "core/auth/keychain.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/earnings/snapshot_refresh.h"
#include "core/platform/curl_http_client.h"
#include "fakes/fake_google.h"
#include "support/memory_secret_store.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

using namespace std::chrono;

constexpr milliseconds kLatency{20};

// Where the caches live. Every cache write is flushed to disk before it replaces the old
// file, and on a loaded machine that costs more than the requests themselves; a tmpfs folder
// shows the client's own overhead apart from that.
enum class CacheFolder { disk, memory };

// A folder under /dev/shm (tmpfs), removed with its contents.
struct MemoryFolder {
    std::filesystem::path path;
    MemoryFolder() {
        char pattern[] = "/dev/shm/ambrel-bench-XXXXXX";
        if (mkdtemp(pattern) != nullptr) path = pattern;
    }
    ~MemoryFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
};

// A signed-in program against a stocked fake server, with its own empty caches.
struct Rig {
    fakes::FakeGoogle google{0, fakes::Scheme::https};
    testing::TempDir dir;
    MemoryFolder memory;
    CurlHttpClient http{fakes::testCaFile()};
    AccessTokenKeeper tokens;
    testing::MemorySecretStore secrets;
    Defaults defaults;
    Instant now = sys_days{2026y / May / 21} + 10h;

    explicit Rig(CacheFolder folder)
        : defaults(folder == CacheFolder::memory && !memory.path.empty()
                       ? memory.path / "defaults"
                       : dir.path() / "defaults") {
        std::ofstream(dir.path() / "client_secret.json") << google.clientSecretJson();
        secrets.put(refreshTokenItem(), "1//fake-refresh-token");
        std::vector<fakes::FakeDay> fakeDays;
        for (sys_days d = sys_days{2026y / April / 17}; d <= sys_days{2026y / May / 21};
             d += days{1})
            fakeDays.push_back({dateKey(d), 3.5, 1000, 3.5, 2000, 20, 0.17, 0.02});
        google.setDays(fakeDays);
        google.setPayments(
            {{"unpaid", {}, {}, {}, "€42.10"}, {"2026-04-21", 2026, 4, 21, "€120.00"}});
    }

    Services services() {
        return Services{http,
                        secrets,
                        defaults,
                        [this] { return now; },
                        google.adsenseBase(),
                        {dir.path() / "client_secret.json"}};
    }

    // One refresh from the given cache state; the number of requests it made, or -1.
    int refresh(bool emptyCaches) {
        if (emptyCaches) clearEarningsCache(defaults);
        google.clearRequests();
        auto snapshot = refreshSnapshot(services());
        return snapshot ? static_cast<int>(google.requests().size()) : -1;
    }
};

void checkRequests(benchmark::State& state, const char* what, int made, int expected) {
    std::fprintf(stderr, "%s: %d requests (expected %d)\n", what, made, expected);
    if (made != expected) state.SkipWithError("unexpected number of requests");
}

// Runs refreshes with wall-clock timing; `emptyCaches` chooses a first or a cached refresh,
// `keepToken` the application's kept access token.
void runRefreshes(benchmark::State& state, bool emptyCaches, milliseconds latency,
                  CacheFolder folder, bool keepToken = false) {
    Rig rig(folder);
    rig.google.setLatency(latency);
    AccessTokenKeeper* tokens = keepToken ? &rig.tokens : nullptr;
    if (!emptyCaches && !refreshSnapshot(rig.services(), tokens)) {
        state.SkipWithError("priming refresh failed");
        return;
    }
    const int expected = emptyCaches ? 5 : keepToken ? 1 : 2;
    int requests = 0;
    double seconds = 0;
    for (auto _ : state) {
        if (emptyCaches) clearEarningsCache(rig.defaults);
        rig.google.clearRequests();
        auto start = steady_clock::now();
        auto snapshot = refreshSnapshot(rig.services(), tokens);
        double elapsed = duration<double>(steady_clock::now() - start).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        requests = snapshot ? static_cast<int>(rig.google.requests().size()) : -1;
        if (requests != expected) break;
    }
    checkRequests(state,
                  emptyCaches ? "first refresh"
                  : keepToken ? "application's steady refresh"
                              : "cached refresh",
                  requests, expected);
    state.counters["requests"] = requests;
    if (latency.count() > 0 && state.iterations() > 0 && requests > 0) {
        // The server's latency once per step of the dependency chain: token, accounts, then the
        // reports side by side.
        const int steps = emptyCaches ? 3 : keepToken ? 1 : 2;
        double floor =
            static_cast<double>(state.iterations()) * steps * duration<double>(latency).count();
        state.counters["overhead_ratio"] = seconds / floor;
    }
}

void BM_Refresh(benchmark::State& state, bool emptyCaches, milliseconds latency,
                CacheFolder folder) {
    runRefreshes(state, emptyCaches, latency, folder);
}

void BM_ApplicationRefresh(benchmark::State& state) {
    runRefreshes(state, false, kLatency, CacheFolder::memory, true);
}

BENCHMARK(BM_ApplicationRefresh)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Refresh, first, true, milliseconds{0}, CacheFolder::disk)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Refresh, cached, false, milliseconds{0}, CacheFolder::disk)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Refresh, first_20ms_disk, true, kLatency, CacheFolder::disk)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Refresh, cached_20ms_disk, false, kLatency, CacheFolder::disk)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Refresh, first_20ms_tmpfs, true, kLatency, CacheFolder::memory)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Refresh, cached_20ms_tmpfs, false, kLatency, CacheFolder::memory)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

// A server that streams an answer without end: what one request costs until the body limit
// ends it, in time and in the process's peak memory (run it alone for a clean peak).
void BM_EndlessAnswer(benchmark::State& state) {
    fakes::FakeGoogle google(0, fakes::Scheme::https);
    google.injectFault(fakes::Endpoint::accounts, {.endlessBody = true});
    CurlHttpClient http(fakes::testCaFile());
    for (auto _ : state) {
        auto response = http.send({"GET", google.adsenseBase() + "/accounts", {}, "", 8s});
        if (response) state.SkipWithError("the endless answer was accepted");
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

BENCHMARK(BM_EndlessAnswer)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel

BENCHMARK_MAIN();
