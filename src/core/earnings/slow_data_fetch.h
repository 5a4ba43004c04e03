#pragma once

// The slowly changing figures, fetched at most once per 6 hours: the earnings of the same
// month-to-date period a year earlier, and the balance and last payment.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/earnings/adsense_api.h"
#include "core/earnings/wire_types.h"
#include "core/error.h"

namespace ambrel {

// The 8 query items of the report for day 1 to the reference day's day of the same month a
// year earlier, cut at that month's last day (29 February becomes 28 February).
QueryItems monthLastYearQuery(std::chrono::year_month_day referenceDate);

// The report's total: the first totals cell when it reads as a number, else the sum of the
// rows' last cells.
double monthLastYearTotal(const ReportResponse& report);

// The total of last year's report for the reference date, or why there is none.
Result<double> monthLastYearFrom(Result<ReportResponse> report,
                                 std::chrono::year_month_day referenceDate);

// One report request; the total of the answer.
Result<double> monthLastYearEarnings(const AdSenseAPI& api, std::string_view account,
                                     std::chrono::year_month_day referenceDate,
                                     const std::string& accessToken);

struct PaymentSummary {
    std::optional<std::string> balance;
    std::optional<std::string> lastPaymentAmount;
    std::optional<std::string> lastPaymentDateLabel;

    bool operator==(const PaymentSummary&) const = default;
};

// Balance from the first "/unpaid" entry, last payment the latest dated paid one (the
// earlier in the list on a tie); amounts as currency texts when they read as numbers. YouTube
// entries ("…/payments/youtube-unpaid", "…/payments/youtube-yyyy-MM-dd") count for neither.
PaymentSummary summarizePayments(const std::vector<Payment>& payments, std::string_view currency);

// The summary of a payments answer (an absent list counts as empty).
Result<PaymentSummary> paymentSummaryFrom(Result<std::optional<std::vector<Payment>>> payments,
                                          std::string_view currency);

// One payments request; its summary.
Result<PaymentSummary> paymentSummary(const AdSenseAPI& api, std::string_view account,
                                      std::string_view currency, const std::string& accessToken);

}  // namespace ambrel
