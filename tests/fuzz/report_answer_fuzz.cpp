// The AdSense report answer, read as last year's report alone and then driven through a whole
// refresh, where the same bytes answer the daily report and last year's report (the token,
// account and payments answers are Google's usual ones). Whatever the report holds, the cells it
// decodes to read as finite figures; a refresh that succeeds has a wholly finite daily map and
// leaves its own snapshot stored; one that fails leaves the caches as they were, since a snapshot
// that cannot be stored would otherwise replace the cached one by nothing.

#include <cmath>
#include <variant>

#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/earnings/slow_data_fetch.h"
#include "core/earnings/snapshot_refresh.h"
#include "fuzz_check.h"
#include "fuzz_doubles.h"

using namespace ambrel;
using fuzz::require;

namespace {

constexpr const char* kAccount = "accounts/pub-1234567890123456";

// The snapshot a previous refresh left in the cache.
AmbrelSnapshot previous() {
    AmbrelSnapshot snapshot;
    snapshot.today = 9.21;
    snapshot.monthToDate = 217.81;
    snapshot.balance = "389,85 €";
    snapshot.currency = "EUR";
    return snapshot;
}

HttpResponse googleAnswer(const HttpRequest& request, const std::string& report) {
    if (request.url == fuzz::kTokenUri)
        return {200, R"({"access_token":"ya29.fuzz","expires_in":3599,"token_type":"Bearer"})"};
    if (request.url.ends_with("/payments")) return {200, "{}"};
    return {200, report};
}

// The program as a previous refresh left it: its account id, zone and snapshot cached, no slow
// data (so the refresh asks for last year's report too).
fuzz::SignedIn& program() {
    static fuzz::SignedIn program;
    static const bool cachesFilled = [] {
        saveAccountId(program.defaults, kAccount);
        saveAccountTimeZone(program.defaults, "Asia/Tokyo");
        AmbrelSnapshot::save(program.defaults, previous());
        return true;
    }();
    static_cast<void>(cachesFilled);
    return program;
}

// Every figure of the map, CTR made percent included, is finite.
bool finite(const DailyMap& daily, bool withCtr) {
    for (const auto& [day, m] : daily) {
        for (double figure : {m.earnings, m.pageViews, m.rpm, m.impressions, m.clicks, m.cpc})
            if (!std::isfinite(figure)) return false;
        if (withCtr && !std::isfinite(m.ctr)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::SignedIn& signedIn = program();
    static const auto cachedBytes = signedIn.defaults.data(kSnapshotKey);
    const AmbrelSnapshot cached = previous();
    const std::string report(fuzz::bytesOf(data, size));
    signedIn.http.answer = [&](const HttpRequest& request) {
        return googleAnswer(request, report);
    };

    DailyMap daily;
    if (auto decoded = decodeReportResponse(report)) {
        daily = dailyMetrics(decoded->headers, decoded->rows);
        // A CTR ratio can still overflow when made percent: the refresh must catch that.
        require(finite(daily, false), "every cell of a decoded report reads as a finite number");
    }

    // As last year's report on its own, whatever the daily map: a total that is not finite
    // could be stored nowhere, so it fails the fetch.
    using namespace std::chrono;
    const auto total = monthLastYearEarnings(AdSenseAPI(signedIn.http, fuzz::kAdSenseBase),
                                             kAccount, 2026y / May / 21, "ya29.fuzz");
    require(!total || std::isfinite(*total), "last year's total is finite or fails the fetch");

    const auto refreshed = refreshSnapshot(signedIn.services);
    if (refreshed) {
        const auto stored = AmbrelSnapshot::load(signedIn.defaults);
        require(finite(daily, true), "a refresh succeeds only on a finite daily map");
        require(encodeSnapshot(*refreshed).has_value(), "a refreshed snapshot is finite");
        require(stored == *refreshed, "a refreshed snapshot is the one stored");
        // Back to the caches of before for the next run.
        AmbrelSnapshot::save(signedIn.defaults, cached);
        signedIn.defaults.remove(kSlowDataKey);
    } else {
        require(std::holds_alternative<DecodingError>(refreshed.error()),
                "a report fails the refresh only as a decoding error");
        require(signedIn.defaults.data(kSnapshotKey) == cachedBytes,
                "a failed refresh keeps the cached snapshot");
        require(!signedIn.defaults.data(kSlowDataKey), "a failed refresh stores no slow data");
    }
    return 0;
}
