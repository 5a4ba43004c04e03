#pragma once

// The AdSense v2 answers besides the report: the accounts and payments lists, and the
// errors every AdSense call shares (bad credentials, an account the caller cannot see).

#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_answer.h"
#include "fakes/fake_google.h"

namespace ambrel::fakes {

struct FakeAccount {
    std::string name;  // "accounts/pub-…"
    std::string displayName;
};

// Empty lists are left out, as Google's JSON leaves out every empty repeated field.
FakeAnswer answerAccounts(const std::vector<FakeAccount>& accounts);
// A payment named without a "/" is taken as the last segment under `account`.
FakeAnswer answerPayments(const std::string& account, const std::vector<FakePayment>& payments);

// True when `authorization` is the "Bearer" header for `accessToken`.
bool isBearer(std::string_view authorization, std::string_view accessToken);

FakeAnswer unauthenticated();
FakeAnswer permissionDenied();
FakeAnswer notFound(std::string_view path);

}  // namespace ambrel::fakes
