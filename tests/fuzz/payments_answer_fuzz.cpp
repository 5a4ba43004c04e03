// The payments list and the balance and last payment made from it. Whatever the list holds:
// the balance exists exactly when the first "/unpaid" entry has an amount, and is either that
// amount read as a number and formatted, or the API's own text; a last payment (its date
// label) exists exactly when some paid entry has a date, and its amount never without it.

#include <variant>

#include "core/earnings/adsense_api.h"
#include "core/earnings/payment_text.h"
#include "core/earnings/slow_data_fetch.h"
#include "fuzz_check.h"
#include "fuzz_doubles.h"

using namespace ambrel;
using fuzz::require;

namespace {

constexpr const char* kAccount = "accounts/pub-1234567890123456";
constexpr const char* kCurrency = "EUR";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(fuzz::bytesOf(data, size));
    fuzz::CannedHttpClient http;
    http.answer = [&](const HttpRequest&) { return HttpResponse{200, body}; };
    const auto listed = AdSenseAPI(http, fuzz::kAdSenseBase).payments(kAccount, "token");
    if (!listed) {
        require(std::holds_alternative<DecodingError>(listed.error()),
                "a payments answer fails only as a decoding error");
        return 0;
    }
    const auto payments = listed->value_or(std::vector<Payment>{});
    const auto summary = summarizePayments(payments, kCurrency);

    const Payment* unpaid = nullptr;
    bool paidWithDate = false;
    for (const Payment& payment : payments) {
        if (payment.name.ends_with("/unpaid") && unpaid == nullptr) unpaid = &payment;
        if (!payment.name.ends_with("unpaid") && payment.date) paidWithDate = true;
    }
    require(summary.balance.has_value() == (unpaid != nullptr && unpaid->amount.has_value()),
            "a balance exactly when the first unpaid entry has an amount");
    if (summary.balance && !parseAmount(*unpaid->amount, kCurrency))
        require(*summary.balance == *unpaid->amount, "an unreadable balance keeps its text");
    require(summary.lastPaymentDateLabel.has_value() == paidWithDate,
            "a last payment exactly when a paid entry has a date");
    require(!summary.lastPaymentAmount || summary.lastPaymentDateLabel,
            "a last payment amount never comes without its date");
    return 0;
}
