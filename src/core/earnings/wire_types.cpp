#include "core/earnings/wire_types.h"

#include <utility>

#include "core/platform/json.h"

namespace ambrel {
namespace {

using json::Decoded;
using json::Json;

// Short-circuits a member read: on failure the enclosing decoder returns the error.
#define AMBREL_TRY(var, expr)                                      \
    auto var##Result = (expr);                                     \
    if (!var##Result) return std::unexpected(var##Result.error()); \
    auto var = std::move(*var##Result)

// Decodes every element of a JSON array with `decode`; an element that is not an object
// fails the whole array, as a member of the wrong type does.
template <class Decode>
auto decodeElements(const Json& array, std::string_view what, Decode decode)
    -> Decoded<std::vector<typename decltype(decode(array))::value_type>> {
    std::vector<typename decltype(decode(array))::value_type> out;
    out.reserve(array.size());
    for (const Json& element : array) {
        if (!element.is_object())
            return std::unexpected(DecodingError{std::string(what) + ": not a JSON object"});
        AMBREL_TRY(value, decode(element));
        out.push_back(std::move(value));
    }
    return out;
}

// An optional array member whose elements are objects.
template <class Decode>
auto optionalList(const Json& object, std::string_view key, std::string_view where,
                  std::string_view elementWhat, Decode decode)
    -> Decoded<std::optional<std::vector<typename decltype(decode(object))::value_type>>> {
    using List = std::vector<typename decltype(decode(object))::value_type>;
    AMBREL_TRY(array, json::optionalArray(object, key, where));
    if (array == nullptr) return std::optional<List>{};
    AMBREL_TRY(list, decodeElements(*array, elementWhat, decode));
    return std::optional<List>{std::move(list)};
}

Decoded<std::optional<std::string>> decodeTimeZoneId(const Json& account) {
    AMBREL_TRY(zone, json::optionalObject(account, "timeZone", "account"));
    if (zone == nullptr) return std::optional<std::string>{};
    return json::optionalString(*zone, "id", "account time zone");
}

Decoded<Account> decodeAccount(const Json& object) {
    AMBREL_TRY(name, json::requiredString(object, "name", "account"));
    AMBREL_TRY(displayName, json::optionalString(object, "displayName", "account"));
    AMBREL_TRY(timeZone, decodeTimeZoneId(object));
    AMBREL_TRY(state, json::optionalString(object, "state", "account"));
    return Account{std::move(name), std::move(displayName), std::move(timeZone), std::move(state)};
}

Decoded<Header> decodeHeader(const Json& object) {
    AMBREL_TRY(name, json::optionalString(object, "name", "report header"));
    AMBREL_TRY(type, json::optionalString(object, "type", "report header"));
    AMBREL_TRY(currencyCode, json::optionalString(object, "currencyCode", "report header"));
    return Header{std::move(name), std::move(type), std::move(currencyCode)};
}

Decoded<Cell> decodeCell(const Json& object) {
    AMBREL_TRY(value, json::optionalString(object, "value", "report cell"));
    return Cell{std::move(value)};
}

Decoded<Row> decodeRow(const Json& object) {
    AMBREL_TRY(cells, json::optionalArray(object, "cells", "report row"));
    if (cells == nullptr) return Row{};
    AMBREL_TRY(list, decodeElements(*cells, "report cell", decodeCell));
    return Row{std::move(list)};
}

Decoded<PaymentDate> decodePaymentDate(const Json& object) {
    AMBREL_TRY(year, json::optionalInteger(object, "year", "payment date"));
    AMBREL_TRY(month, json::optionalInteger(object, "month", "payment date"));
    AMBREL_TRY(day, json::optionalInteger(object, "day", "payment date"));
    return PaymentDate{year, month, day};
}

Decoded<Payment> decodePayment(const Json& object) {
    AMBREL_TRY(name, json::requiredString(object, "name", "payment"));
    AMBREL_TRY(dateObject, json::optionalObject(object, "date", "payment"));
    AMBREL_TRY(amount, json::optionalString(object, "amount", "payment"));
    std::optional<PaymentDate> date;
    if (dateObject != nullptr) {
        AMBREL_TRY(decoded, decodePaymentDate(*dateObject));
        date = decoded;
    }
    return Payment{std::move(name), date, std::move(amount)};
}

Decoded<ReportResponse> decodeReport(const Json& object) {
    AMBREL_TRY(headers, optionalList(object, "headers", "report", "report header", decodeHeader));
    AMBREL_TRY(rows, optionalList(object, "rows", "report", "report row", decodeRow));
    AMBREL_TRY(totalsObject, json::optionalObject(object, "totals", "report"));
    std::optional<Row> totals;
    if (totalsObject != nullptr) {
        AMBREL_TRY(decoded, decodeRow(*totalsObject));
        totals = std::move(decoded);
    }
    return ReportResponse{std::move(headers), std::move(rows), std::move(totals)};
}

template <class T>
Result<T> widen(Decoded<T> decoded) {
    if (!decoded) return std::unexpected(Error{std::move(decoded.error())});
    return std::move(*decoded);
}

}  // namespace

Result<AccountsResponse> decodeAccountsResponse(std::string_view bytes) {
    auto object = json::parseObject(bytes, "accounts list");
    if (!object) return std::unexpected(Error{object.error()});
    auto accounts = optionalList(*object, "accounts", "accounts list", "account", decodeAccount);
    if (!accounts) return std::unexpected(Error{accounts.error()});
    return AccountsResponse{std::move(*accounts)};
}

Result<ReportResponse> decodeReportResponse(std::string_view bytes) {
    auto object = json::parseObject(bytes, "report");
    if (!object) return std::unexpected(Error{object.error()});
    return widen(decodeReport(*object));
}

Result<PaymentsResponse> decodePaymentsResponse(std::string_view bytes) {
    auto object = json::parseObject(bytes, "payments list");
    if (!object) return std::unexpected(Error{object.error()});
    auto payments = optionalList(*object, "payments", "payments list", "payment", decodePayment);
    if (!payments) return std::unexpected(Error{payments.error()});
    return PaymentsResponse{std::move(*payments)};
}

}  // namespace ambrel

#undef AMBREL_TRY
