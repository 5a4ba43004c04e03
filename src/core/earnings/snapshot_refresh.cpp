#include "core/earnings/snapshot_refresh.h"

#include <functional>
#include <future>

#include "core/auth/access_token.h"
#include "core/auth/access_token_keeper.h"
#include "core/earnings/account_calendar.h"
#include "core/earnings/adsense_api.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/earnings/google_error.h"
#include "core/earnings/slow_data_fetch.h"

namespace ambrel {
namespace {

using std::chrono::year_month_day;
using TokenSource = std::function<Result<AccessTokenGrant>()>;

// The requests that go once the account and its zone are known: the daily report first and,
// when the slow data is stale, last year's report and the payments beside it. Every one of them
// counts from the account's today, which is known before any answer, so all go together.
Result<std::vector<HttpRequest>> reportRequests(const AdSenseAPI& api, std::string_view account,
                                                year_month_day today, bool withSlowData) {
    std::vector<HttpRequest> made;
    auto daily = api.reportRequest(account, dailyReportQuery(today));
    if (!daily) return std::unexpected(std::move(daily.error()));
    made.push_back(std::move(*daily));
    if (!withSlowData) return made;
    auto lastYear = api.reportRequest(account, monthLastYearQuery(today));
    if (!lastYear) return std::unexpected(std::move(lastYear.error()));
    auto payments = api.paymentsRequest(account);
    if (!payments) return std::unexpected(std::move(payments.error()));
    made.push_back(std::move(*lastYear));
    made.push_back(std::move(*payments));
    return made;
}

std::vector<HttpRequest> authorized(std::vector<HttpRequest> requests,
                                    const std::string& accessToken) {
    for (HttpRequest& request : requests) request.headers = AdSenseAPI::authorization(accessToken);
    return requests;
}

// Sends `requests` on another thread while `work` runs on this one; the replies once both
// ended. Without a thread to spare, `work` first and then the requests.
template <class Work>
std::vector<HttpReply> sendWhile(HttpClient& http, const std::vector<HttpRequest>& requests,
                                 const LateHeaders& late, Work&& work) {
    std::future<std::vector<HttpReply>> sent;
    try {
        sent = std::async(std::launch::async,
                          [&http, requests, late] { return http.sendAll(requests, late); });
    } catch (const std::system_error&) {
        work();
        return http.sendAll(requests, late);
    }
    work();
    return sent.get();
}

struct TokenAndReplies {
    Result<AccessTokenGrant> token;
    std::vector<HttpReply> replies;
};

// Fetches the token while `requests` are on their way: their connection opens at once and
// they go as soon as the token is there; without a token nothing is sent.
TokenAndReplies sendBesideToken(HttpClient& http, const std::vector<HttpRequest>& requests,
                                const TokenSource& fetchToken) {
    std::promise<std::optional<HttpHeaders>> headers;
    // Whatever happens, the requests must learn whether they may go.
    struct Answer {
        std::promise<std::optional<HttpHeaders>>& headers;
        std::optional<HttpHeaders> value;
        ~Answer() { headers.set_value(std::move(value)); }
    };
    std::optional<Result<AccessTokenGrant>> token;
    auto replies = sendWhile(http, requests, headers.get_future().share(), [&] {
        Answer answer{headers, std::nullopt};
        token = fetchToken();
        if (*token) answer.value = AdSenseAPI::authorization((*token)->value);
    });
    return {std::move(*token), std::move(replies)};
}

bool isUnauthorized(const Error& error) {
    const auto* refusal = std::get_if<AdSenseError>(&error);
    return refusal != nullptr && refusal->kind == AdSenseError::Kind::http &&
           refusal->status == 401;
}

// The account is not the caller's (any more): it was removed from the Google account, or
// access to it was. A 403 that names a reason (the API disabled in the project, a scope or a
// quota) is about the project or the token, and the account stays.
bool refusesAccount(const Error& error) {
    const auto* refusal = std::get_if<AdSenseError>(&error);
    if (refusal == nullptr || refusal->kind != AdSenseError::Kind::http) return false;
    if (refusal->status == 404) return true;
    if (refusal->status != 403 || refusal->serviceDisabled) return false;
    const auto body = parseGoogleErrorBody(refusal->body);
    return !body || !body->reason;
}

// Both slow figures from the answers that came with the daily report; nothing is stored here.
Result<SlowData> slowDataFrom(std::vector<HttpReply>& replies, year_month_day today,
                              std::string_view currency, Instant now) {
    Result<double> monthLastYear =
        monthLastYearFrom(AdSenseAPI::reportOf(std::move(replies[1])), today);
    if (!monthLastYear) return std::unexpected(std::move(monthLastYear.error()));
    auto payments = paymentSummaryFrom(AdSenseAPI::paymentsOf(std::move(replies[2])), currency);
    if (!payments) return std::unexpected(std::move(payments.error()));
    return SlowData{*monthLastYear, std::move(payments->balance),
                    std::move(payments->lastPaymentAmount),
                    std::move(payments->lastPaymentDateLabel), now};
}

// Where the figures' days come from: the account, its zone and its today.
struct AccountDay {
    std::string account;
    std::string timeZone;
    year_month_day today;
};

AmbrelSnapshot assemble(const DayFigures& figures, const SlowData& slow, std::string currency,
                        const AccountDay& day, Instant now) {
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
    snapshot.timeZone = day.timeZone;
    return snapshot;
}

// The snapshot from the daily report's answer and, when they were asked for, the slow data's.
// The checks come in the order the requests would have been made one after another, so the
// error reported is the first that order would have met; the slow-data answers count only
// when the daily report has data.
Result<AmbrelSnapshot> snapshotFrom(const Services& services, const AccountDay& day,
                                    std::vector<HttpReply> replies,
                                    std::optional<SlowData> cachedSlow, Instant now) {
    auto report = AdSenseAPI::reportOf(std::move(replies[0]));
    if (!report) return std::unexpected(std::move(report.error()));
    const DailyMap daily = dailyMetrics(report->headers, report->rows);
    std::string currency = reportCurrency(report->headers);

    if (daily.empty()) {
        AmbrelSnapshot zero;
        zero.currency = std::move(currency);
        zero.updatedAt = now;
        zero.timeZone = day.timeZone;
        AmbrelSnapshot::save(services.defaults, zero);
        return zero;
    }

    const DayFigures figures = dayFigures(daily, day.today);
    // Checked before anything is stored: a snapshot that cannot be encoded would remove the
    // cached one instead of replacing it.
    if (auto error = unrepresentableFigure(daily, figures)) return std::unexpected(Error{*error});
    std::optional<SlowData> slow = std::move(cachedSlow);
    if (!slow) {
        // Stored only when both figures arrived: a stale record is never replaced by a partial one.
        auto fetched = slowDataFrom(replies, day.today, currency, now);
        if (!fetched) return std::unexpected(std::move(fetched.error()));
        SlowData::save(services.defaults, *fetched);
        slow = std::move(*fetched);
    }
    AmbrelSnapshot snapshot = assemble(figures, *slow, std::move(currency), day, now);
    AmbrelSnapshot::save(services.defaults, snapshot);
    return snapshot;
}

// The cached account and zone, when both are stored: then nothing needs listing.
std::optional<AccountDay> cachedAccountDay(const Defaults& defaults, Instant now) {
    auto account = loadAccountId(defaults);
    auto zone = account ? loadAccountTimeZone(defaults) : std::nullopt;
    if (!zone) return std::nullopt;
    return AccountDay{std::move(*account), *zone, accountToday(now, *zone)};
}

Result<AmbrelSnapshot> refreshOnce(const Services& services, const TokenSource& fetchToken,
                                   bool& tokenWasKept) {
    const AdSenseAPI api(services.http, services.adsenseBase);
    // Taken once, before the first report request is formed: the account's today, the
    // snapshot's updatedAt and, when fetched, the slow data's fetchedAt.
    const Instant now = services.now();
    std::optional<AccountDay> day = cachedAccountDay(services.defaults, now);
    const bool fromCache = day.has_value();
    std::optional<SlowData> slow = SlowData::load(services.defaults, kSlowDataMaxAgeSeconds, now);

    // Known before the token: the accounts list, or with a cached account and zone the reports.
    Result<std::vector<HttpRequest>> reports = std::vector<HttpRequest>{};
    std::vector<HttpRequest> first{api.accountsRequest()};
    if (day) {
        reports = reportRequests(api, day->account, day->today, !slow);
        first = reports ? *reports : std::vector<HttpRequest>{};
    }
    auto [token, replies] = sendBesideToken(services.http, first, fetchToken);
    if (!token) return std::unexpected(std::move(token.error()));
    tokenWasKept = token->kept;

    if (!day) {
        // A cached id without its zone (cached before zones were kept) is kept when still listed.
        auto listed = AdSenseAPI::chosenAccountOf(std::move(replies.front()),
                                                  loadAccountId(services.defaults));
        if (!listed) return std::unexpected(std::move(listed.error()));
        const std::string zone = accountTimeZone(listed->timeZone);
        day = AccountDay{std::move(listed->name), zone, accountToday(now, zone)};
        reports = reportRequests(api, day->account, day->today, !slow);
        // Stored at once (while the reports are on their way), so that a failure later in this
        // refresh does not cost another accounts request next time.
        const auto store = [&] {
            saveAccountId(services.defaults, day->account);
            saveAccountTimeZone(services.defaults, day->timeZone);
        };
        if (!reports) store();
        if (reports)
            replies = sendWhile(services.http, authorized(*reports, token->value), {}, store);
    }
    if (!reports) return std::unexpected(std::move(reports.error()));
    auto snapshot = snapshotFrom(services, *day, std::move(replies), std::move(slow), now);
    // A cached account that is no longer the caller's is chosen again next time; one chosen just
    // now would only be chosen again, so it stays and the refusal is what the user sees.
    if (!snapshot && fromCache && refusesAccount(snapshot.error()))
        forgetAccount(services.defaults);
    return snapshot;
}

}  // namespace

Result<AmbrelSnapshot> refreshSnapshot(const Services& services, AccessTokenKeeper* tokens) {
    const TokenSource fetchToken = [&]() -> Result<AccessTokenGrant> {
        if (tokens != nullptr) return tokens->token(services);
        auto fresh = fetchAccessToken(services);
        if (!fresh) return std::unexpected(std::move(fresh.error()));
        return AccessTokenGrant{std::move(*fresh), false};
    };
    bool tokenWasKept = false;
    auto snapshot = refreshOnce(services, fetchToken, tokenWasKept);
    if (snapshot || tokens == nullptr || !isUnauthorized(snapshot.error())) return snapshot;
    // A refused token is not kept. When it came from memory (revoked, or a clock that is off),
    // the refresh is made once more with a new one.
    tokens->forget();
    if (!tokenWasKept) return snapshot;
    snapshot = refreshOnce(services, fetchToken, tokenWasKept);
    if (!snapshot && isUnauthorized(snapshot.error())) tokens->forget();
    return snapshot;
}

}  // namespace ambrel
