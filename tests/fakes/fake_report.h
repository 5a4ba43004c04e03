#pragma once

// accounts.reports.generate over the configured days: a CUSTOM date range, the metrics in
// the requested order, and either one row per day (dimension DATE) or totals only.

#include <string>
#include <vector>

#include "fakes/fake_answer.h"
#include "fakes/fake_google.h"

namespace ambrel::fakes {

// Answers the report query; a query the real API would refuse gets Google's 400 shape.
FakeAnswer answerReport(const Pairs& query, const std::vector<FakeDay>& days,
                        const std::string& currency);

}  // namespace ambrel::fakes
