#include "core/earnings/slow_data_fetch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/earnings/daily_report.h"
#include "core/earnings/formatting.h"
#include "core/earnings/payment_text.h"

namespace ambrel {
namespace {

using std::chrono::year_month_day;

// year × 10000 + month × 100 + day, a missing component counting as 0. The components come
// straight from the API as 64-bit integers, so the arithmetic saturates instead of
// overflowing on absurd values.
std::int64_t dateNumber(const PaymentDate& date) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    auto saturate = [&](bool negative) { return negative ? kMin : kMax; };
    std::int64_t total = 0;
    for (auto [component, factor] :
         {std::pair{date.year, 10000}, {date.month, 100}, {date.day, 1}}) {
        std::int64_t value = component.value_or(0);
        std::int64_t scaled = 0;
        if (__builtin_mul_overflow(value, std::int64_t{factor}, &scaled))
            return saturate(value < 0);
        if (__builtin_add_overflow(total, scaled, &total)) return saturate(scaled < 0);
    }
    return total;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.ends_with(suffix);
}

std::string amountText(const std::string& amount, std::string_view currency) {
    if (auto value = parseAmount(amount, currency)) return formatCurrency(currency, *value);
    return amount;
}

// ".../payments/youtube-unpaid" and ".../payments/youtube-2026-04-21": earnings of the
// publisher's YouTube channel, which Google lists beside the AdSense ones but pays apart.
bool isYouTubePayment(std::string_view name) {
    const auto slash = name.rfind('/');
    const std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
    return last.starts_with("youtube-");
}

const Payment* lastPaidPayment(const std::vector<Payment>& payments) {
    const Payment* last = nullptr;
    for (const Payment& payment : payments) {
        if (endsWith(payment.name, "unpaid") || isYouTubePayment(payment.name) || !payment.date)
            continue;
        // Strictly greater: on equal dates the one earlier in the list stays.
        if (last == nullptr || dateNumber(*payment.date) > dateNumber(*last->date)) last = &payment;
    }
    return last;
}

}  // namespace

QueryItems monthLastYearQuery(year_month_day referenceDate) {
    const auto lastYear = referenceDate.year() - std::chrono::years{1};
    const auto month = referenceDate.month();
    const auto monthLength =
        std::chrono::year_month_day_last{lastYear, std::chrono::month_day_last{month}}.day();
    const auto endDay = std::min(referenceDate.day(), monthLength);
    const std::string year = std::to_string(static_cast<int>(lastYear));
    const std::string monthText = std::to_string(static_cast<unsigned>(month));
    return {{"dateRange", "CUSTOM"},
            {"metrics", "ESTIMATED_EARNINGS"},
            {"startDate.year", year},
            {"startDate.month", monthText},
            {"startDate.day", "1"},
            {"endDate.year", year},
            {"endDate.month", monthText},
            {"endDate.day", std::to_string(static_cast<unsigned>(endDay))}};
}

double monthLastYearTotal(const ReportResponse& report) {
    if (report.totals && !report.totals->cells.empty()) {
        if (const auto& first = report.totals->cells.front().value) {
            if (auto total = readNumber(*first)) return *total;
        }
    }
    double sum = 0;
    if (!report.rows) return sum;
    for (const Row& row : *report.rows) {
        if (row.cells.empty() || !row.cells.back().value) continue;  // counts as "0"
        sum += readNumber(*row.cells.back().value).value_or(0);
    }
    return sum;
}

Result<double> monthLastYearEarnings(const AdSenseAPI& api, std::string_view account,
                                     year_month_day referenceDate, const std::string& accessToken) {
    // A date without valid components cannot name last year's month; no request is made.
    if (!referenceDate.ok()) return 0.0;
    return monthLastYearFrom(
        api.generateReport(account, monthLastYearQuery(referenceDate), accessToken), referenceDate);
}

Result<double> monthLastYearFrom(Result<ReportResponse> report, year_month_day referenceDate) {
    if (!report) return std::unexpected(std::move(report.error()));
    const double total = monthLastYearTotal(*report);
    // Rows of finite cells can still add up to infinity; such a figure could be stored nowhere.
    if (!std::isfinite(total)) {
        const year_month_day start{referenceDate.year() - std::chrono::years{1},
                                   referenceDate.month(), std::chrono::day{1}};
        return std::unexpected(
            Error{DecodingError{"last year's report: ESTIMATED_EARNINGS summed from " +
                                dateKey(start) + " is too large for a number (infinite)"}});
    }
    return total;
}

PaymentSummary summarizePayments(const std::vector<Payment>& payments, std::string_view currency) {
    PaymentSummary summary;
    // "…/payments/youtube-unpaid" does not end in "/unpaid": the YouTube balance is not ours.
    auto unpaid = std::find_if(payments.begin(), payments.end(),
                               [](const Payment& p) { return endsWith(p.name, "/unpaid"); });
    if (unpaid != payments.end() && unpaid->amount)
        summary.balance = amountText(*unpaid->amount, currency);
    if (const Payment* last = lastPaidPayment(payments)) {
        if (last->amount) summary.lastPaymentAmount = amountText(*last->amount, currency);
        summary.lastPaymentDateLabel =
            paymentDateLabel(last->date->year, last->date->month, last->date->day);
    }
    return summary;
}

Result<PaymentSummary> paymentSummary(const AdSenseAPI& api, std::string_view account,
                                      std::string_view currency, const std::string& accessToken) {
    return paymentSummaryFrom(api.payments(account, accessToken), currency);
}

Result<PaymentSummary> paymentSummaryFrom(Result<std::optional<std::vector<Payment>>> payments,
                                          std::string_view currency) {
    if (!payments) return std::unexpected(std::move(payments.error()));
    return summarizePayments(payments->value_or(std::vector<Payment>{}), currency);
}

}  // namespace ambrel
