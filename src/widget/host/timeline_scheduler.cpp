#include "widget/host/timeline_scheduler.h"

#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <utility>

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
    if (!running_ && !reloadDate_) runRequest();
}

void TimelineScheduler::requestReload() {
    if (running_) {
        pending_ = true;
        return;
    }
    runRequest();
}

void TimelineScheduler::checkReloadDate() {
    if (running_) return;  // the running request re-arms the timer when it ends
    const auto remaining = timeUntilReload();
    if (remaining && *remaining <= milliseconds::zero()) {
        runRequest();
        return;
    }
    armTimer();
}

std::optional<milliseconds> TimelineScheduler::timeUntilReload() const {
    if (!reloadDate_) return std::nullopt;
    return duration_cast<milliseconds>(*reloadDate_ - now_());
}

std::optional<milliseconds> TimelineScheduler::timerWait() const {
    if (!reloadTimer_.isActive()) return std::nullopt;
    return milliseconds(reloadTimer_.interval());
}

void TimelineScheduler::runRequest() {
    reloadTimer_.stop();
    running_ = true;
    pending_ = false;
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
        reloadDate_ = timeline->reloadDate;
        current_ = std::move(timeline);
        Q_EMIT timelineChanged();
    } else {
        reloadDate_ = now_() + kTimelineReloadInterval;
    }
    if (pending_) {
        runRequest();
        return;
    }
    armTimer();
}

void TimelineScheduler::armTimer() {
    const auto remaining = timeUntilReload().value_or(milliseconds::zero());
    const milliseconds wait = std::clamp<milliseconds>(remaining, kShortestWait, kLongestWait);
    reloadTimer_.start(wait);
}

}  // namespace ambrel::widget
