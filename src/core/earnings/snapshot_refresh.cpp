#include "core/earnings/snapshot_refresh.h"

#include <functional>
#include <future>

#include "core/auth/access_token.h"
#include "core/auth/access_token_keeper.h"
#include "core/earnings/adsense_api.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/earnings/slow_data_fetch.h"

namespace ambrel {
namespace {

using std::chrono::year_month_day;
using TokenSource = std::function<Result<AccessTokenGrant>()>;

// The requests that go once the account is known: the daily report first and, when the slow
// data is stale, last year's report and the payments beside it. Last year's month depends on
// the reference day, which only the daily report tells; it is asked for the report's last
// day, by far the usual reference day, and asked again in the rare case the answer names
// another one.
struct ReportRequests {
    std::vector<HttpRequest> requests;
    std::optional<QueryItems> lastYearQuery;  // when the slow data goes along
};

Result<ReportRequests> reportRequests(const AdSenseAPI& api, std::string_view account,
                                      year_month_day today, bool withSlowData) {
    ReportRequests made;
    auto daily = api.reportRequest(account, dailyReportQuery(today));
    if (!daily) return std::unexpected(std::move(daily.error()));
    made.requests.push_back(std::move(*daily));
    if (!withSlowData) return made;
    made.lastYearQuery = monthLastYearQuery(today);
    auto lastYear = api.reportRequest(account, *made.lastYearQuery);
    if (!lastYear) return std::unexpected(std::move(lastYear.error()));
    auto payments = api.paymentsRequest(account);
    if (!payments) return std::unexpected(std::move(payments.error()));
    made.requests.push_back(std::move(*lastYear));
    made.requests.push_back(std::move(*payments));
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

// Both slow figures from the answers that came with the daily report; nothing is stored here.
Result<SlowData> slowDataFrom(const AdSenseAPI& api, std::string_view account,
                              const ReportRequests& sent, std::vector<HttpReply>& replies,
                              year_month_day referenceDate, std::string_view currency,
                              const std::string& accessToken, Instant now) {
    Result<double> monthLastYear = 0.0;
    if (!referenceDate.ok())
        monthLastYear = 0.0;  // no month to compare with; the answer is not needed
    else if (monthLastYearQuery(referenceDate) == sent.lastYearQuery)
        monthLastYear =
            monthLastYearFrom(AdSenseAPI::reportOf(std::move(replies[1])), referenceDate);
    else
        monthLastYear = monthLastYearEarnings(api, account, referenceDate, accessToken);
    if (!monthLastYear) return std::unexpected(std::move(monthLastYear.error()));
    auto payments = paymentSummaryFrom(AdSenseAPI::paymentsOf(std::move(replies[2])), currency);
    if (!payments) return std::unexpected(std::move(payments.error()));
    return SlowData{*monthLastYear, std::move(payments->balance),
                    std::move(payments->lastPaymentAmount),
                    std::move(payments->lastPaymentDateLabel), now};
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

// The snapshot from the daily report's answer and, when they were asked for, the slow data's.
// The checks come in the order the requests would have been made one after another, so the
// error reported is the first that order would have met; the slow-data answers count only
// when the daily report has data.
Result<AmbrelSnapshot> snapshotFrom(const Services& services, const AdSenseAPI& api,
                                    std::string_view account, const ReportRequests& sent,
                                    std::vector<HttpReply> replies,
                                    std::optional<SlowData> cachedSlow,
                                    const std::string& accessToken, Instant now) {
    auto report = AdSenseAPI::reportOf(std::move(replies[0]));
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
    std::optional<SlowData> slow = std::move(cachedSlow);
    if (!slow) {
        // Stored only when both figures arrived: a stale record is never replaced by a partial one.
        auto fetched = slowDataFrom(api, account, sent, replies, figures.referenceDate, currency,
                                    accessToken, now);
        if (!fetched) return std::unexpected(std::move(fetched.error()));
        SlowData::save(services.defaults, *fetched);
        slow = std::move(*fetched);
    }
    AmbrelSnapshot snapshot = assemble(figures, *slow, std::move(currency), now);
    AmbrelSnapshot::save(services.defaults, snapshot);
    return snapshot;
}

Result<AmbrelSnapshot> refreshOnce(const Services& services, const TokenSource& fetchToken,
                                   bool& tokenWasKept) {
    const AdSenseAPI api(services.http, services.adsenseBase);
    std::optional<std::string> account = loadAccountId(services.defaults);
    // Taken once, before the first report request is formed: the snapshot's updatedAt and,
    // when fetched, the slow data's fetchedAt.
    const Instant now = services.now();
    std::optional<SlowData> slow = SlowData::load(services.defaults, kSlowDataMaxAgeSeconds, now);

    // Known before the token: the accounts list, or with a cached account the reports.
    Result<ReportRequests> reports = ReportRequests{};
    std::vector<HttpRequest> first{api.accountsRequest()};
    if (account) {
        reports = reportRequests(api, *account, utcDate(now), !slow);
        first = reports ? reports->requests : std::vector<HttpRequest>{};
    }
    auto [token, replies] = sendBesideToken(services.http, first, fetchToken);
    if (!token) return std::unexpected(std::move(token.error()));
    tokenWasKept = token->kept;

    if (!account) {
        auto listed = AdSenseAPI::firstAccountOf(std::move(replies.front()));
        if (!listed) return std::unexpected(std::move(listed.error()));
        account = std::move(*listed);
        reports = reportRequests(api, *account, utcDate(now), !slow);
        // Stored at once (while the reports are on their way), so that a failure later in this
        // refresh does not cost another accounts request next time.
        const auto store = [&] { saveAccountId(services.defaults, *account); };
        if (!reports) store();
        if (reports)
            replies =
                sendWhile(services.http, authorized(reports->requests, token->value), {}, store);
    }
    if (!reports) return std::unexpected(std::move(reports.error()));
    return snapshotFrom(services, api, *account, *reports, std::move(replies), std::move(slow),
                        token->value, now);
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
