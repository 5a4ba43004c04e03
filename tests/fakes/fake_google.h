#pragma once

// A fake of Google's OAuth 2.0 endpoints and of the AdSense Management API v2 on 127.0.0.1,
// shaped after Google's documented answers (not after what our client expects). It records
// every request and can inject faults. Runs its own listener thread.

#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ambrel::fakes {

using Pairs = std::vector<std::pair<std::string, std::string>>;

struct RecordedRequest {
    std::string method;
    std::string path;
    Pairs query;    // in the order they were sent, repeated names repeated
    Pairs headers;  // names lower-cased
    Pairs form;     // decoded fields of a form body, in body order
    std::string body;
};

// One day of the daily report: metric values in the API's units (CTR as a ratio).
struct FakeDay {
    std::string date{};  // yyyy-MM-dd
    double earnings = 0;
    double pageViews = 0;
    double rpm = 0;
    double impressions = 0;
    double clicks = 0;
    double cpc = 0;
    double ctr = 0;
};

// One account of the accounts list. Google names the zone whose days the reports count; an
// account that never chose one has none in the list (and counts as America/Los_Angeles).
struct FakeAccount {
    std::string name{};  // "accounts/pub-…"
    std::string displayName{};
    std::optional<std::string> timeZone = "Europe/Paris";
    std::string state = "READY";  // or "NEEDS_ATTENTION", "CLOSED"
};

struct FakePayment {
    // ".../payments/unpaid" for the balance; "…/youtube-unpaid" and "…/youtube-yyyy-MM-dd"
    // for the publisher's YouTube earnings, which Google lists beside them
    std::string name{};
    std::optional<int> year{}, month{}, day{};
    std::optional<std::string> amount{};
};

enum class Endpoint { token, accounts, report, payments, consent };

struct Fault {
    std::optional<int> status{};  // answer with this status and `body`
    std::string body{};
    std::chrono::milliseconds latency{0};  // wait before answering
    bool malformedJson = false;            // answer 200 with a broken JSON document
    bool closeConnection = false;          // drop the connection without an answer
    // Answer 200 with a body that never ends, until the client gives up; chunked, or under a
    // Content-Length header of `announcedLength` bytes when that is set.
    bool endlessBody = false;
    std::optional<std::size_t> announcedLength{};
    Pairs headers{};  // sent with a `status` answer ("Retry-After")
};

// The fake's TLS identity, made by the build (cmake/TestCertificates.cmake): the authority
// that signed it, for the clients of the tests to trust, and its own certificate and key.
std::string testCaFile();  // the test authority, which signed the fake server's certificate
std::string testServerCertificate();
std::string testServerKey();

enum class Scheme { http, https };

class FakeGoogle {
  public:
    // Listens on 127.0.0.1:`port` (0: a free port chosen by the system); with https, over TLS
    // with the test certificate.
    explicit FakeGoogle(int port = 0, Scheme scheme = Scheme::http);
    ~FakeGoogle();
    FakeGoogle(const FakeGoogle&) = delete;
    FakeGoogle& operator=(const FakeGoogle&) = delete;

    int port() const;
    std::string baseUrl() const;      // http(s)://127.0.0.1:<port>
    std::string adsenseBase() const;  // baseUrl() + "/v2"
    std::string tokenUri() const;     // baseUrl() + "/token"
    std::string authUri() const;      // baseUrl() + "/o/oauth2/auth"
    // A client_secret.json document naming this server's endpoints.
    std::string clientSecretJson() const;

    // OAuth client and tokens. The token endpoint accepts only this client, answers the
    // refresh-token grant for `refreshToken`, and the authorization-code grant for codes
    // issued by the consent endpoint (which redirects to redirect_uri?code=...).
    void setClient(std::string clientId, std::string clientSecret);
    void setRefreshToken(std::string refreshToken);
    void setAccessToken(std::string accessToken);
    // The consent endpoint redirects with ?error=<error> instead of a code.
    void denyConsent(std::string error);
    // The token endpoint answers {"error": ..., "error_description": ...} (status 400).
    void refuseToken(std::string error, std::optional<std::string> description);

    void setAccounts(std::vector<FakeAccount> accounts);
    // Today in the zone of the first account listed that is not CLOSED (America/Los_Angeles
    // when it names none): the last day that the account's reports can hold.
    std::chrono::sys_days accountToday() const;
    void setCurrency(std::string code);
    void setDays(std::vector<FakeDay> days);
    void setPayments(std::vector<FakePayment> payments);

    // Faults apply to the next `times` requests of that endpoint (-1: all of them).
    void injectFault(Endpoint endpoint, Fault fault, int times = -1);
    void clearFaults();
    // Added to every answer; and to every answer of one endpoint (the server's own time).
    void setLatency(std::chrono::milliseconds latency);
    void setLatency(Endpoint endpoint, std::chrono::milliseconds latency);
    // For reports by day (the daily report), in place of the report endpoint's own.
    void setDailyReportLatency(std::chrono::milliseconds latency);

    std::vector<RecordedRequest> requests() const;
    void clearRequests();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace ambrel::fakes
