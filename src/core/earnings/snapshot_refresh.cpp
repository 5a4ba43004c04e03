#include "core/earnings/snapshot_refresh.h"

#include "core/auth/access_token.h"
#include "core/earnings/adsense_api.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/earnings/slow_data_fetch.h"

namespace ambrel {
namespace {

// The cached account id, or the first listed account, stored at once so that a failure
// later in this refresh does not cost another accounts request next time.
Result<std::string> accountId(const AdSenseAPI& api, Defaults& defaults,
                              const std::string& accessToken) {
    if (auto cached = loadAccountId(defaults)) return *cached;
    auto account = api.firstAccount(accessToken);
    if (!account) return account;
    saveAccountId(defaults, *account);
    return account;
}

// Fetches both slow figures and stores them only when both arrived, so a failure never
// replaces a stale record by a partial one.
Result<SlowData> fetchSlowData(const AdSenseAPI& api, Defaults& defaults, std::string_view account,
                               std::chrono::year_month_day referenceDate, std::string_view currency,
                               const std::string& accessToken, Instant now) {
    auto monthLastYear = monthLastYearEarnings(api, account, referenceDate, accessToken);
    if (!monthLastYear) return std::unexpected(std::move(monthLastYear.error()));
    auto payments = paymentSummary(api, account, currency, accessToken);
    if (!payments) return std::unexpected(std::move(payments.error()));
    SlowData data{*monthLastYear, std::move(payments->balance),
                  std::move(payments->lastPaymentAmount), std::move(payments->lastPaymentDateLabel),
                  now};
    SlowData::save(defaults, data);
    return data;
}

AmbrelSnapshot assemble(const DayFigures& figures, const SlowData& slow, std::string currency,
                        Instant now) {
    AmbrelSnapshot snapshot;
    snapshot.today = figures.today;
    snapshot.yesterday = figures.yesterday;
    snapshot.yesterdayPrevWeek = figures.yesterdayPrevWeek;
    snapshot.last7 = figures.last7;
    snapshot.prev7 = figures.prev7;
    snapshot.monthToDate = figures.monthToDate;
    snapshot.monthLastYear = slow.monthLastYear;
    snapshot.perfYesterday = figures.perfYesterday;
    snapshot.perfPrevWeek = figures.perfPrevWeek;
    snapshot.balance = slow.balance;
    snapshot.lastPaymentAmount = slow.lastPaymentAmount;
    snapshot.lastPaymentDateLabel = slow.lastPaymentDateLabel;
    snapshot.currency = std::move(currency);
    snapshot.updatedAt = now;
    snapshot.dailyEarnings = figures.dailyEarnings;
    return snapshot;
}

}  // namespace

Result<AmbrelSnapshot> refreshSnapshot(const Services& services) {
    auto token = fetchAccessToken(services);
    if (!token) return std::unexpected(std::move(token.error()));
    const AdSenseAPI api(services.http, services.adsenseBase);
    auto account = accountId(api, services.defaults, *token);
    if (!account) return std::unexpected(std::move(account.error()));

    // Taken once: the snapshot's updatedAt and, when fetched, the slow data's fetchedAt.
    const Instant now = services.now();
    auto report = api.generateReport(*account, dailyReportQuery(utcDate(now)), *token);
    if (!report) return std::unexpected(std::move(report.error()));
    const DailyMap daily = dailyMetrics(report->headers, report->rows);
    std::string currency = reportCurrency(report->headers);

    if (daily.empty()) {
        AmbrelSnapshot zero;
        zero.currency = std::move(currency);
        zero.updatedAt = now;
        AmbrelSnapshot::save(services.defaults, zero);
        return zero;
    }

    const DayFigures figures = dayFigures(daily, now);
    // Checked before anything is stored: a snapshot that cannot be encoded would remove the
    // cached one instead of replacing it.
    if (auto error = unrepresentableFigure(daily, figures)) return std::unexpected(Error{*error});
    auto slow = SlowData::load(services.defaults, kSlowDataMaxAgeSeconds, now);
    if (!slow) {
        auto fetched = fetchSlowData(api, services.defaults, *account, figures.referenceDate,
                                     currency, *token, now);
        if (!fetched) return std::unexpected(std::move(fetched.error()));
        slow = std::move(*fetched);
    }
    AmbrelSnapshot snapshot = assemble(figures, *slow, std::move(currency), now);
    AmbrelSnapshot::save(services.defaults, snapshot);
    return snapshot;
}

}  // namespace ambrel
