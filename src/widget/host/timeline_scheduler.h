#pragma once

// When the host asks the provider for a new timeline: once at start, when the current entry's
// reload date has come, and on every reload request of the application. The provider blocks
// while it refreshes, so each request runs on a worker thread and its result is applied on
// this object's thread.
//
// Never more than one request runs. A reload request that arrives while one runs is remembered
// and run once after it: the running request may have read the secret store before the
// application saved new objectives or signed out, and dropping the request would leave that
// stale state on the desktop until the next scheduled reload. Several requests arriving during
// one run still make only one more.
//
// Reload requests start at most one request per kReloadSpacing: each one costs a token request
// and a report, and an application that sends a storm of them must not turn into a storm of
// refreshes. One that arrives sooner is remembered and run when the spacing has passed, so the
// last request always gets a timeline that started after it. Any request that starts serves
// every reload request that came before it.
//
// A request that yields no timeline (the headless program could not be run) keeps the entry on
// screen and is tried again one reload interval later, as a failed refresh would be. The next
// request waits for the entry's reload date, which the provider moves past Google's Retry-After
// when its quota is used up, but never more than kLongestReloadDelay from now.

#include <QFuture>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

#include "core/platform/clock.h"
#include "widget/earnings_provider.h"

namespace ambrel::widget {

class TimelineScheduler final : public QObject {
    Q_OBJECT
  public:
    using Producer = std::function<std::optional<Timeline>()>;

    // The timer never waits longer than this before it looks at the clock again, so a suspended
    // machine or a clock that was set forward does not delay the reload past its date by long.
    static constexpr std::chrono::seconds kLongestWait{60};
    // Nor shorter than this, so a reload date in the past cannot turn into a busy loop.
    static constexpr std::chrono::seconds kShortestWait{1};
    // The least time between two requests that reload requests start.
    static constexpr std::chrono::seconds kReloadSpacing{15};

    // `produce` runs on a worker thread and must be safe to call from there.
    TimelineScheduler(Producer produce, Clock now, QObject* parent = nullptr);
    // Waits for a running request: the producer may refer to objects owned by the caller.
    ~TimelineScheduler() override;

    // The first request. Later ones come from the reload date and from requestReload().
    void start();

    const std::optional<Timeline>& current() const { return current_; }
    bool isRequestRunning() const { return running_; }
    bool isReloadPending() const { return pending_; }
    int requestsStarted() const { return requestsStarted_; }

    // Time from now to the next reload date; none before the first request has ended.
    std::optional<std::chrono::milliseconds> timeUntilReload() const;
    // What the reload timer waits for now; none while it is stopped.
    std::optional<std::chrono::milliseconds> timerWait() const;

  public Q_SLOTS:
    // A request from outside (the application's reload signal).
    void requestReload();
    // The timer's check: asks for a timeline once the reload date has come or a remembered
    // reload request may start, else waits again.
    void checkReloadDate();

  Q_SIGNALS:
    void timelineChanged();

  private:
    enum class Cause { schedule, reloadRequest };

    void runRequest(Cause cause);
    void apply(std::optional<Timeline> timeline);
    void armTimer();
    // Time left until a reload request may start another request; none when it may now.
    std::optional<std::chrono::milliseconds> reloadSpacingLeft() const;

    Producer produce_;
    Clock now_;
    QTimer reloadTimer_;
    QFuture<std::optional<Timeline>> work_;
    std::optional<Timeline> current_;
    std::optional<Instant> reloadDate_;
    std::optional<Instant> lastReloadRequestStart_;
    bool running_ = false;
    bool pending_ = false;
    int requestsStarted_ = 0;
};

}  // namespace ambrel::widget
