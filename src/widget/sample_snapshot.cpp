#include "widget/sample_snapshot.h"

#include <chrono>

namespace ambrel {
namespace {

AmbrelSnapshot makeSample() {
    AmbrelSnapshot sample;
    sample.today = 9.21;
    sample.yesterday = 11.49;
    sample.yesterdayPrevWeek = 16.36;
    sample.last7 = 96.0;
    sample.prev7 = 112.58;
    sample.monthToDate = 217.81;
    sample.monthLastYear = 195.92;
    sample.perfYesterday = {.pageViews = 4510,
                            .rpm = 2.55,
                            .impressions = 15100,
                            .clicks = 203,
                            .cpc = 0.06,
                            .ctr = 4.5};
    sample.perfPrevWeek = {.pageViews = 3671,
                           .rpm = 4.45,
                           .impressions = 14493,
                           .clicks = 176,
                           .cpc = 0.09,
                           .ctr = 4.79};
    // The texts are fixed, whatever the display locale: the sample is an illustration, not
    // figures of the user's account.
    sample.balance = "389,85 €";
    sample.lastPaymentAmount = "341,95 €";
    sample.lastPaymentDateLabel = "21 mai 2026";
    sample.currency = "EUR";
    sample.updatedAt = Instant{};  // 1970-01-01T00:00:00Z
    return sample;
}

}  // namespace

const AmbrelSnapshot& sampleSnapshot() {
    // A function-local static is initialised exactly once, even under concurrent first calls.
    static const AmbrelSnapshot sample = makeSample();
    return sample;
}

}  // namespace ambrel
