#include "fakes/fake_adsense.h"

#include <unicode/calendar.h>
#include <unicode/timezone.h>

#include <memory>

namespace ambrel::fakes {

namespace {

Json accountJson(const FakeAccount& account) {
    Json json;
    json["name"] = account.name;
    json["displayName"] = account.displayName;
    if (account.timeZone) json["timeZone"] = {{"id", *account.timeZone}};
    json["createTime"] = "2016-03-14T09:21:37.381Z";
    json["state"] = account.state;
    return json;
}

Json paymentJson(const std::string& account, const FakePayment& payment) {
    Json json;
    json["name"] = payment.name.find('/') == std::string::npos
                       ? account + "/payments/" + payment.name
                       : payment.name;
    if (payment.amount) json["amount"] = *payment.amount;
    if (payment.year || payment.month || payment.day) {
        Json date = Json::object();
        if (payment.year) date["year"] = *payment.year;
        if (payment.month) date["month"] = *payment.month;
        if (payment.day) date["day"] = *payment.day;
        json["date"] = date;
    }
    return json;
}

}  // namespace

FakeAnswer answerAccounts(const std::vector<FakeAccount>& accounts) {
    Json document = Json::object();
    for (const auto& account : accounts) document["accounts"].push_back(accountJson(account));
    return jsonAnswer(200, document);
}

FakeAnswer answerPayments(const std::string& account, const std::vector<FakePayment>& payments) {
    Json document = Json::object();
    for (const auto& payment : payments) {
        document["payments"].push_back(paymentJson(account, payment));
    }
    return jsonAnswer(200, document);
}

bool isBearer(std::string_view authorization, std::string_view accessToken) {
    constexpr std::string_view scheme = "Bearer ";
    return authorization.starts_with(scheme) && authorization.substr(scheme.size()) == accessToken;
}

FakeAnswer unauthenticated() {
    FakeAnswer answer = googleError(
        401, "UNAUTHENTICATED",
        "Request had invalid authentication credentials. Expected OAuth 2 access token, login "
        "cookie or other valid authentication credential. See "
        "https://developers.google.com/identity/sign-in/web/devconsole-project.");
    answer.headers.emplace_back("WWW-Authenticate",
                                "Bearer realm=\"https://accounts.google.com/\"");
    return answer;
}

FakeAnswer permissionDenied() {
    return googleError(403, "PERMISSION_DENIED", "The caller does not have permission");
}

FakeAnswer notFound(std::string_view path) {
    return googleError(404, "NOT_FOUND",
                       "The requested URL " + std::string(path) + " was not found on this server.");
}

Fault serviceDisabledFault(std::string_view projectNumber) {
    const std::string project(projectNumber);
    const std::string page =
        "https://console.developers.google.com/apis/api/adsense.googleapis.com/overview?project=" +
        project;
    Json help;
    help["@type"] = "type.googleapis.com/google.rpc.Help";
    help["links"] =
        Json::array({{{"description", "Google developers console API activation"}, {"url", page}}});
    Json info;
    info["@type"] = "type.googleapis.com/google.rpc.ErrorInfo";
    info["reason"] = "SERVICE_DISABLED";
    info["domain"] = "googleapis.com";
    info["metadata"] = {{"service", "adsense.googleapis.com"},
                        {"consumer", "projects/" + project},
                        {"activationUrl", page},
                        {"containerInfo", project},
                        {"serviceTitle", "AdSense Management API"}};
    Json error;
    error["code"] = 403;
    error["message"] = "AdSense Management API has not been used in project " + project +
                       " before or it is disabled. Enable it by visiting " + page +
                       " then retry. If you enabled this API recently, wait a few minutes for "
                       "the action to propagate to our systems and retry.";
    error["status"] = "PERMISSION_DENIED";
    error["details"] = Json::array({help, info});
    return Fault{.status = 403, .body = Json{{"error", error}}.dump(2)};
}

Fault quotaExceededFault(std::optional<int> retryAfterSeconds) {
    const FakeAnswer answer = googleError(
        429, "RESOURCE_EXHAUSTED",
        "Quota exceeded for quota metric 'Requests' and limit 'Requests per day' of service "
        "'adsense.googleapis.com' for consumer 'project_number:123456789012'.");
    Fault fault{.status = 429, .body = answer.body};
    if (retryAfterSeconds)
        fault.headers.emplace_back("Retry-After", std::to_string(*retryAfterSeconds));
    return fault;
}

std::chrono::sys_days dayInZone(std::chrono::system_clock::time_point now,
                                const std::optional<std::string>& zone) {
    const std::string id = zone.value_or("America/Los_Angeles");
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id)), icu::Locale::getRoot(),
        status));
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    calendar->setTime(static_cast<UDate>(millis.count()), status);
    const int year = calendar->get(UCAL_EXTENDED_YEAR, status);
    const int month = calendar->get(UCAL_MONTH, status) + 1;
    const int day = calendar->get(UCAL_DATE, status);
    return std::chrono::year{year} / static_cast<unsigned>(month) / static_cast<unsigned>(day);
}

}  // namespace ambrel::fakes
