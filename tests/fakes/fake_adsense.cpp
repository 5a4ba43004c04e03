#include "fakes/fake_adsense.h"

namespace ambrel::fakes {

namespace {

Json accountJson(const FakeAccount& account) {
    Json json;
    json["name"] = account.name;
    json["displayName"] = account.displayName;
    json["timeZone"] = {{"id", "Europe/Paris"}};
    json["createTime"] = "2016-03-14T09:21:37.381Z";
    json["state"] = "READY";
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

}  // namespace ambrel::fakes
