#pragma once

// The AdSense v2 answers besides the report: the accounts and payments lists, and the
// errors every AdSense call shares (bad credentials, an account the caller cannot see).

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_answer.h"
#include "fakes/fake_google.h"

namespace ambrel::fakes {

// Empty lists are left out, as Google's JSON leaves out every empty repeated field.
FakeAnswer answerAccounts(const std::vector<FakeAccount>& accounts);
// A payment named without a "/" is taken as the last segment under `account`.
FakeAnswer answerPayments(const std::string& account, const std::vector<FakePayment>& payments);

// True when `authorization` is the "Bearer" header for `accessToken`.
bool isBearer(std::string_view authorization, std::string_view accessToken);

FakeAnswer unauthenticated();
FakeAnswer permissionDenied();
FakeAnswer notFound(std::string_view path);

// Google's 403 for a project that never enabled the AdSense Management API: the message, a Help
// detail and the ErrorInfo detail with reason SERVICE_DISABLED and the activation page.
Fault serviceDisabledFault(std::string_view projectNumber = "123456789012");
// Google's 429 when the project's quota is used up, with Retry-After when given.
Fault quotaExceededFault(std::optional<int> retryAfterSeconds = std::nullopt);

// The calendar day `now` falls on in the IANA zone `zone` (America/Los_Angeles when none).
std::chrono::sys_days dayInZone(std::chrono::system_clock::time_point now,
                                const std::optional<std::string>& zone);

}  // namespace ambrel::fakes
