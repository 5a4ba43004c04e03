#include "widget/host/timeline_scheduler.h"

#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <utility>

#include "core/platform/elapsed_time.h"

namespace ambrel::widget {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

TimelineScheduler::TimelineScheduler(Producer produce, Clock now, QObject* parent)
    : QObject(parent), produce_(std::move(produce)), now_(std::move(now)) {
    reloadTimer_.setSingleShot(true);
    connect(&reloadTimer_, &QTimer::timeout, this, &TimelineScheduler::checkReloadDate);
}

TimelineScheduler::~TimelineScheduler() {
    reloadTimer_.stop();
    if (running_) work_.waitForFinished();
}

void TimelineScheduler::start() {
    if (!running_ && !reloadDate_) runRequest(Cause::schedule);
}

void TimelineScheduler::requestReload() {
    pending_ = true;
    checkReloadDate();
}

void TimelineScheduler::checkReloadDate() {
    if (running_) return;  // the running request re-arms the timer when it ends
    if (pending_ && !reloadSpacingLeft()) {
        runRequest(Cause::reloadRequest);
        return;
    }
    const auto remaining = timeUntilReload();
    if (remaining && *remaining <= milliseconds::zero()) {
        runRequest(Cause::schedule);
        return;
    }
    armTimer();
}

std::optional<milliseconds> TimelineScheduler::reloadSpacingLeft() const {
    if (!lastReloadRequestStart_) return std::nullopt;
    // A clock set back makes the last start look like the future: the spacing is then over
    // rather than stretched by however far the clock went back.
    const auto since = elapsedSince(*lastReloadRequestStart_, now_());
    if (!since || *since >= kReloadSpacing) return std::nullopt;
    return kReloadSpacing - duration_cast<milliseconds>(*since);
}

std::optional<milliseconds> TimelineScheduler::timeUntilReload() const {
    if (!reloadDate_) return std::nullopt;
    return duration_cast<milliseconds>(*reloadDate_ - now_());
}

std::optional<milliseconds> TimelineScheduler::timerWait() const {
    if (!reloadTimer_.isActive()) return std::nullopt;
    return milliseconds(reloadTimer_.interval());
}

void TimelineScheduler::runRequest(Cause cause) {
    reloadTimer_.stop();
    running_ = true;
    pending_ = false;  // this request reads the stores after every reload request so far
    if (cause == Cause::reloadRequest) lastReloadRequestStart_ = now_();
    ++requestsStarted_;
    work_ = QtConcurrent::run(produce_);
    // Applied on this object's thread, and dropped when the scheduler is gone by then. A
    // request that finishes before the continuation is attached would run it right here; the
    // extra hop through the event loop keeps apply() (and timelineChanged) out of the caller's
    // call, whatever the timing.
    work_.then(this, [this](std::optional<Timeline> timeline) {
        QMetaObject::invokeMethod(
            this, [this, result = std::move(timeline)]() mutable { apply(std::move(result)); },
            Qt::QueuedConnection);
    });
}

void TimelineScheduler::apply(std::optional<Timeline> timeline) {
    running_ = false;
    if (timeline) {
        // The date comes from the headless program's output: one beyond the provider's longest
        // delay (a damaged clock, a corrupt line) would stop the faces' refreshes for good.
        reloadDate_ = std::min(timeline->reloadDate, now_() + kLongestReloadDelay);
        current_ = std::move(timeline);
        Q_EMIT timelineChanged();
    } else {
        reloadDate_ = now_() + kTimelineReloadInterval;
    }
    // A remembered reload request runs now if its spacing allows; the reload date always goes
    // through the timer, whose shortest wait keeps a date in the past from looping.
    if (pending_ && !reloadSpacingLeft()) {
        runRequest(Cause::reloadRequest);
        return;
    }
    armTimer();
}

void TimelineScheduler::armTimer() {
    auto wait = timeUntilReload().value_or(milliseconds::zero());
    if (pending_) wait = std::min(wait, reloadSpacingLeft().value_or(milliseconds::zero()));
    reloadTimer_.start(std::clamp<milliseconds>(wait, kShortestWait, kLongestWait));
}

}  // namespace ambrel::widget
