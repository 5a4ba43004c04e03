// The host's timeline scheduling without any window: the first request, the reload date, and
// reload requests that arrive while a refresh runs.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

#include "widget/host/timeline_scheduler.h"

namespace ambrel::widget {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

void ensureCoreApplication() {
    static int argc = 1;
    static char name[] = "host-scheduler-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

// A clock the test moves, and a producer that counts its calls and hands out timelines whose
// reload date lies `reloadAfter` past the clock.
struct FakeProvider {
    std::mutex mutex;
    Instant now = instantFromReferenceSeconds(1000);
    std::chrono::milliseconds reloadAfter = 1800s;
    std::atomic<int> calls = 0;
    QSemaphore* gate = nullptr;  // when set, each call waits for one release

    Instant time() {
        std::lock_guard lock(mutex);
        return now;
    }
    void advance(std::chrono::milliseconds by) {
        std::lock_guard lock(mutex);
        now += by;
    }
    Timeline produce() {
        if (gate) gate->acquire();
        ++calls;
        std::lock_guard lock(mutex);
        return {.entry = {.date = now, .snapshot = {}, .objectives = {}, .isConnected = true},
                .reloadDate = now + reloadAfter};
    }
};

class HostScheduler : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ensureCoreApplication(); }

    std::unique_ptr<TimelineScheduler> makeScheduler() {
        return std::make_unique<TimelineScheduler>([this] { return provider.produce(); },
                                                   [this] { return provider.time(); });
    }

    FakeProvider provider;
};

// Start asks once; the result arrives on the GUI thread and sets the timer by its date.
TEST_F(HostScheduler, StartRequestsOneTimelineAndWaitsForItsReloadDate) {
    provider.reloadAfter = 30s;
    auto scheduler = makeScheduler();
    QSignalSpy changed(scheduler.get(), &TimelineScheduler::timelineChanged);
    scheduler->start();
    scheduler->start();  // already running: no second request
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(provider.calls, 1);
    EXPECT_FALSE(scheduler->isRequestRunning());
    ASSERT_TRUE(scheduler->current().has_value());
    EXPECT_EQ(scheduler->timeUntilReload(), milliseconds(30s));
    EXPECT_EQ(scheduler->timerWait(), milliseconds(30s));
}

// A reload date is honoured up to a day away (Google's Retry-After moves it), never further:
// the date comes from another process's output.
TEST_F(HostScheduler, ReloadDateIsHonouredUpToADay) {
    for (auto [given, kept] : {std::pair{milliseconds(7200s), milliseconds(7200s)},
                               {milliseconds(std::chrono::days{400}), milliseconds(86400s)}}) {
        provider.reloadAfter = given;
        auto scheduler = makeScheduler();
        QSignalSpy changed(scheduler.get(), &TimelineScheduler::timelineChanged);
        scheduler->start();
        ASSERT_TRUE(changed.wait(5000));
        EXPECT_EQ(scheduler->timeUntilReload(), kept);
    }
}

// The timer looks at the clock at least every minute and waits at least a second.
TEST_F(HostScheduler, TimerWaitIsBoundedAndFollowsTheEntry) {
    auto scheduler = makeScheduler();
    QSignalSpy changed(scheduler.get(), &TimelineScheduler::timelineChanged);
    scheduler->start();
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(scheduler->timeUntilReload(), milliseconds(1800s));
    EXPECT_EQ(scheduler->timerWait(), milliseconds(TimelineScheduler::kLongestWait));

    // Not yet due: the check only waits again, for what is left.
    provider.advance(1790s);
    scheduler->checkReloadDate();
    EXPECT_EQ(provider.calls, 1);
    EXPECT_EQ(scheduler->timerWait(), milliseconds(10s));

    // Due: exactly one new request, and the timer follows the new entry.
    provider.advance(10s);
    scheduler->checkReloadDate();
    EXPECT_TRUE(scheduler->isRequestRunning());
    EXPECT_FALSE(scheduler->timerWait().has_value());
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(provider.calls, 2);
    EXPECT_EQ(scheduler->timeUntilReload(), milliseconds(1800s));
}

// With the real event loop: an entry due in a second brings the next timeline by itself.
TEST_F(HostScheduler, ReloadDateBringsTheNextTimeline) {
    provider.reloadAfter = 200ms;
    auto scheduler = makeScheduler();
    QSignalSpy changed(scheduler.get(), &TimelineScheduler::timelineChanged);
    scheduler->start();
    ASSERT_TRUE(changed.wait(5000));
    provider.advance(1s);  // the date has passed when the timer's shortest wait ends
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(provider.calls, 2);
}

// Requests during a running refresh are remembered as one, run after it.
TEST_F(HostScheduler, ReloadsDuringARequestRunOnceAfterIt) {
    QSemaphore gate;
    provider.gate = &gate;
    auto scheduler = makeScheduler();
    QSignalSpy changed(scheduler.get(), &TimelineScheduler::timelineChanged);
    scheduler->start();
    scheduler->requestReload();
    scheduler->requestReload();
    scheduler->requestReload();
    EXPECT_TRUE(scheduler->isReloadPending());
    EXPECT_EQ(scheduler->requestsStarted(), 1);

    gate.release();
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(scheduler->requestsStarted(), 2);  // the remembered one started at once
    EXPECT_FALSE(scheduler->isReloadPending());
    gate.release();
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_FALSE(changed.wait(300));
    EXPECT_EQ(provider.calls, 2);

    // Idle again, and the spacing since the last reload request's start has passed: a request
    // runs straight away.
    gate.release();
    provider.advance(TimelineScheduler::kReloadSpacing);
    scheduler->requestReload();
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(provider.calls, 3);
}

// A storm of reload requests starts one request per spacing; the ones inside it are served by
// one request when it ends, so the last of them is always followed by a fresh timeline.
TEST_F(HostScheduler, ReloadStormStartsOneRequestPerSpacing) {
    auto scheduler = makeScheduler();
    QSignalSpy changed(scheduler.get(), &TimelineScheduler::timelineChanged);
    scheduler->start();
    ASSERT_TRUE(changed.wait(5000));

    scheduler->requestReload();  // the first one of a quiet period runs at once
    ASSERT_TRUE(changed.wait(5000));
    for (int second = 0; second < 15; ++second) {
        for (int i = 0; i < 20; ++i) scheduler->requestReload();
        scheduler->checkReloadDate();
        EXPECT_EQ(scheduler->requestsStarted(), 2) << second;
        EXPECT_EQ(scheduler->timerWait(), milliseconds(15s - std::chrono::seconds(second)));
        provider.advance(1s);
    }
    EXPECT_TRUE(scheduler->isReloadPending());

    // The spacing is over: the timer's check starts the one request that serves them all, and
    // a request while it runs waits for the next spacing.
    scheduler->checkReloadDate();
    EXPECT_EQ(scheduler->requestsStarted(), 3);
    scheduler->requestReload();
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(scheduler->requestsStarted(), 3);
    EXPECT_EQ(scheduler->timerWait(), milliseconds(TimelineScheduler::kReloadSpacing));
    provider.advance(TimelineScheduler::kReloadSpacing);
    scheduler->checkReloadDate();
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(provider.calls, 4);
    EXPECT_FALSE(scheduler->isReloadPending());
    EXPECT_EQ(scheduler->timerWait(), milliseconds(TimelineScheduler::kLongestWait));
}

// No timeline (the headless program failed): the entry stays and the next try is a whole
// reload interval away, never a quick retry loop.
TEST_F(HostScheduler, FailedRequestKeepsTheEntryAndWaitsAFullInterval) {
    std::atomic<bool> fail = false;
    TimelineScheduler scheduler(
        [&]() -> std::optional<Timeline> {
            if (fail) return std::nullopt;
            return provider.produce();
        },
        [this] { return provider.time(); });
    QSignalSpy changed(&scheduler, &TimelineScheduler::timelineChanged);
    scheduler.start();
    ASSERT_TRUE(changed.wait(5000));
    const Instant shownDate = scheduler.current()->entry.date;

    fail = true;
    provider.advance(600s);
    scheduler.requestReload();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !scheduler.isRequestRunning(); }, 5000));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(scheduler.current()->entry.date, shownDate);
    EXPECT_EQ(scheduler.timeUntilReload(), milliseconds(kTimelineReloadInterval));
    EXPECT_EQ(scheduler.requestsStarted(), 2);
}

// Going away while a refresh runs waits for it and applies nothing afterwards.
TEST_F(HostScheduler, DestructionWaitsForTheRunningRequest) {
    QSemaphore gate;
    provider.gate = &gate;
    auto scheduler = makeScheduler();
    scheduler->start();
    gate.release();
    scheduler.reset();
    EXPECT_EQ(provider.calls, 1);
    QCoreApplication::processEvents();  // a continuation for the gone scheduler must not run
}

}  // namespace
}  // namespace ambrel::widget
