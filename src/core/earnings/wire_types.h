#pragma once

// The JSON answers of the AdSense Management API v2 that the refresh relies on. Decoding is
// strict: a required member that is missing, or any member of the wrong JSON type, fails the
// whole answer; null reads as absent; members we do not use are ignored.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"

namespace ambrel {

struct Account {
    std::string name;  // resource name, a path segment of the later calls
    std::optional<std::string> displayName;
    // The IANA id of the zone whose days the reports count ("timeZone": {"id": …}); absent when
    // the account names none, which Google counts as America/Los_Angeles.
    std::optional<std::string> timeZone;
    std::optional<std::string> state;  // "READY", "NEEDS_ATTENTION", "CLOSED", …

    bool operator==(const Account&) const = default;
};

struct AccountsResponse {
    std::optional<std::vector<Account>> accounts;
};

struct Header {
    std::optional<std::string> name;  // "DATE", "ESTIMATED_EARNINGS", ...
    std::optional<std::string> type;
    std::optional<std::string> currencyCode;  // set on currency columns

    bool operator==(const Header&) const = default;
};

// Every cell value is text, metric columns included: the API writes numbers as strings.
struct Cell {
    std::optional<std::string> value;

    bool operator==(const Cell&) const = default;
};

struct Row {
    // One per header, in header order. Google leaves an empty list out of its JSON, so a row
    // (or totals) without "cells" holds none.
    std::vector<Cell> cells;

    bool operator==(const Row&) const = default;
};

struct ReportResponse {
    std::optional<std::vector<Header>> headers;
    std::optional<std::vector<Row>> rows;
    std::optional<Row> totals;
};

struct PaymentDate {
    std::optional<std::int64_t> year;
    std::optional<std::int64_t> month;
    std::optional<std::int64_t> day;

    bool operator==(const PaymentDate&) const = default;
};

struct Payment {
    std::string name;  // ends in "/unpaid" for the unpaid balance
    std::optional<PaymentDate> date;
    std::optional<std::string> amount;  // as the API writes it, currency sign included

    bool operator==(const Payment&) const = default;
};

struct PaymentsResponse {
    std::optional<std::vector<Payment>> payments;
};

Result<AccountsResponse> decodeAccountsResponse(std::string_view bytes);
Result<ReportResponse> decodeReportResponse(std::string_view bytes);
Result<PaymentsResponse> decodePaymentsResponse(std::string_view bytes);

}  // namespace ambrel
